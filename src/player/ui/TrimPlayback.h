#pragma once
// The trim window's playback through the one shared player: a range of the decoded sound,
// pause, resume and stop. It owns the player while it plays (the main window's preview stops
// first), and tells the window when playback started, paused, stopped or finished, and where
// it is.

#include "PlayerEvents.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace tv {

class Player;

class TrimPlayback : public QObject, public PlayerHost {
    Q_OBJECT
public:
    TrimPlayback(PlayerEvents *events, QWidget *window);
    ~TrimPlayback() override;

    // Plays [fromMs, toMs] of the file; 0 and 0 play the whole sound, and an end that is not
    // after the start plays from the start to the end of the sound. Answers "" or the
    // player's error text.
    QString PlayRange(const QString &path, qint64 fromMs, qint64 toMs);
    void Pause();
    void Resume();
    void Stop();
    // Whether this window's playback is under way (playing or paused).
    bool isActive() const { return m_active; }
    Player *player() const;

    QWidget *playerWindow() const override { return m_window; }
    PlayerOwnerKind playerOwnerKind() const override { return OwnerTrimWindow; }
    void PlayerStopAction() override;
    void PlayerOpenFailed(const QString &error) override;

Q_SIGNALS:
    void PlaybackStarted();
    void PlaybackPaused();
    void PlaybackStopped();
    void PlaybackFinished();
    void PositionChanged(qint64 ms);

private:
    bool owns() const;
    void onState(int state);

    // UI thread only.
    QPointer<PlayerEvents> m_events; // the main window's, which may go first at the end
    QWidget *m_window;
    bool m_active = false;
};

} // namespace tv

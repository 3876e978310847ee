#pragma once
// The player controls of one hosting window and what they do: play/pause, stop and mute
// (Cmd_Player 0, 1, 2), the time labels, the position bar that seeks where it is clicked, the
// volume slider and the picture window, all under their shared names so the player's events
// find them. The main window, frmPlayer and later the burners each own one pane.

#include "MediaPlayer_Mod.h"
#include "PlayerEvents.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QLabel;
class QPushButton;
class QWidget;

namespace tv {

class Player;
class PreviewPicture;
class SeekBar;
class Slider_Ctrl;

class PlayerPane : public QObject, public PlayerHost {
    Q_OBJECT
public:
    // Makes the controls as children of `window`; `buttons` of the Cmd_Player array (3, or 5
    // with close and snapshot, which the window handles itself).
    PlayerPane(PlayerEvents *events, QWidget *window, PlayerOwnerKind kind, int buttons);
    ~PlayerPane() override;

    QPushButton *Cmd_Player(int index) const { return m_buttons.value(index); }
    QLabel *lbl_PlayTime = nullptr;
    QLabel *lbl_PlayTotal = nullptr;
    SeekBar *ProgressBar_Play = nullptr;
    Slider_Ctrl *Slider_MPVolume = nullptr;
    PreviewPicture *picPreview = nullptr;

    // What the play button plays: fills the record; answers false when there is nothing to
    // play (having told the user why, when there is something to tell).
    using Source = std::function<bool(PlayerSettings &)>;
    void setSource(Source source) { m_source = std::move(source); }
    using FailureHandler = std::function<void(const QString &error)>;
    void setOpenFailedHandler(FailureHandler handler) { m_failed = std::move(handler); }

    Player *player() const;
    // Whether this window's play button stands for pausing (tag "Pause").
    bool isPlaying() const;
    bool ownsPlayer() const;

    void PlayClick();
    void StopClick();
    void MuteClick();

    QWidget *playerWindow() const override { return m_window; }
    PlayerOwnerKind playerOwnerKind() const override { return m_kind; }
    void PlayerStopAction() override { StopClick(); }
    void PlayerOpenFailed(const QString &error) override;

Q_SIGNALS:
    void playStarted();
    void playStopped();

private:
    void setPlayLook(bool playing);
    void setSoundLook(bool on);
    void onVolumeChanged();
    void onSeek(int x, int width);

    // UI thread only.
    QPointer<PlayerEvents> m_events; // the main window's, which may go first at the end
    QWidget *m_window;
    PlayerOwnerKind m_kind;
    QList<QPushButton *> m_buttons;
    Source m_source;
    FailureHandler m_failed;
};

} // namespace tv

#pragma once
// The player's events reach the window that owns the player (PlayerOwner): the file opened,
// the position and the state update that window's controls, found by their shared names
// (lbl_PlayTime, lbl_PlayTotal, ProgressBar_Play, picPreview); the end of a file runs the stop
// action of the window whose owner flag is set, so it reaches the window that started it.

#include "MediaPlayer_Mod.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>

class QWidget;

namespace tv {

class Player;

// A window that can own the player (main window, frmPlayer, the burners).
class PlayerHost {
public:
    virtual ~PlayerHost() = default;
    // The window whose controls the events address.
    virtual QWidget *playerWindow() const = 0;
    virtual PlayerOwnerKind playerOwnerKind() const = 0;
    // What stopping means in this window: clears its owner flag, stops the player and resets
    // its controls.
    virtual void PlayerStopAction() = 0;
    // The player could not open the file this window asked for.
    virtual void PlayerOpenFailed(const QString &error) = 0;
};

class PlayerEvents : public QObject {
    Q_OBJECT
public:
    // The player lives as long as these events; both belong to the UI thread.
    PlayerEvents(Player *player, QObject *parent = nullptr);
    Player *player() const;

    // Hosts register while they exist; the first one registered (the main window) is home:
    // the player returns to it when another host goes away.
    void registerHost(PlayerHost *host);
    void unregisterHost(PlayerHost *host);
    // Makes the host the owner and sets its flag; a window that still plays is stopped first.
    void TakeOwnership(PlayerHost *host);
    PlayerHost *owner() const;
    // Stops whichever window plays (a batch is about to start).
    void StopAll();

private:
    void onFileOpened(qint64 length);
    void onPosition(qint64 position);
    void onState(int state);
    void onPicture(const QImage &picture);
    void onOpenFailed(const QString &error);
    QWidget *ownerWindow() const;

    // UI thread only.
    QPointer<Player> m_player; // the main window's, which may go first at the end
    QList<PlayerHost *> m_hosts;
    PlayerHost *m_owner = nullptr;
};

} // namespace tv

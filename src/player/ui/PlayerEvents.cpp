#include "PlayerEvents.h"

#include "Player.h"
#include "PlayerWidgets.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace tv {

PlayerEvents::PlayerEvents(Player *player, QObject *parent) : QObject(parent), m_player(player) {
    connect(player, &Player::FileOpened, this,
            [this](qint64 length, const QSize &) { onFileOpened(length); });
    connect(player, &Player::PositionChanged, this, &PlayerEvents::onPosition);
    connect(player, &Player::StateChanged, this, &PlayerEvents::onState);
    connect(player, &Player::PictureReady, this,
            [this](const QImage &picture, qint64) { onPicture(picture); });
    connect(player, &Player::OpenFailed, this, &PlayerEvents::onOpenFailed);
}

void PlayerEvents::registerHost(PlayerHost *host) {
    if (!m_hosts.contains(host))
        m_hosts.append(host);
    if (!m_owner) {
        m_owner = host;
        MediaPlayer().PlayerOwner = host->playerWindow();
    }
}

void PlayerEvents::unregisterHost(PlayerHost *host) {
    m_hosts.removeAll(host);
    MediaPlayer().ownerFlags[host->playerOwnerKind()] = false;
    if (m_owner == host) {
        m_owner = m_hosts.isEmpty() ? nullptr : m_hosts.constFirst();
        MediaPlayer().PlayerOwner = m_owner ? m_owner->playerWindow() : nullptr;
    }
}

PlayerHost *PlayerEvents::owner() const {
    return m_owner;
}

Player *PlayerEvents::player() const {
    return m_player.data();
}

QWidget *PlayerEvents::ownerWindow() const {
    return m_owner ? m_owner->playerWindow() : nullptr;
}

void PlayerEvents::TakeOwnership(PlayerHost *host) {
    for (PlayerHost *other : std::as_const(m_hosts)) {
        if (other != host && MediaPlayer().ownerFlags[other->playerOwnerKind()])
            other->PlayerStopAction();
    }
    m_owner = host;
    MediaPlayer().PlayerOwner = host->playerWindow();
    MediaPlayer().ownerFlags[host->playerOwnerKind()] = true;
}

void PlayerEvents::StopAll() {
    for (PlayerHost *host : QList<PlayerHost *>(m_hosts)) {
        if (MediaPlayer().ownerFlags[host->playerOwnerKind()])
            host->PlayerStopAction();
    }
    if (m_player)
        m_player->Stop();
}

void PlayerEvents::onFileOpened(qint64 length) {
    MediaPlayerState &state = MediaPlayer();
    state.PlayerLength = length < 0 ? 0 : length;
    state.PlayerLoaded = true;
    QWidget *window = ownerWindow();
    if (!window)
        return;
    if (auto *total = window->findChild<QLabel *>(QStringLiteral("lbl_PlayTotal")))
        total->setText(PlayClockText(state.PlayerLength));
    if (auto *time = window->findChild<QLabel *>(QStringLiteral("lbl_PlayTime"))) {
        time->setText(QStringLiteral("00:00:00"));
        time->setProperty("Tag", QStringLiteral("00:00:00.000"));
    }
}

void PlayerEvents::onPosition(qint64 position) {
    MediaPlayerState &state = MediaPlayer();
    state.PlayerPosition = position < 0 ? 0 : position;
    QWidget *window = ownerWindow();
    if (!window)
        return;
    if (auto *time = window->findChild<QLabel *>(QStringLiteral("lbl_PlayTime"))) {
        time->setText(PlayClockText(state.PlayerPosition));
        time->setProperty("Tag", PlayTimeText(state.PlayerPosition));
    }
    auto *bar = window->findChild<QProgressBar *>(QStringLiteral("ProgressBar_Play"));
    if (bar && state.PlayerLength != 0) {
        // A bar that would show the same value is not rewritten.
        const int value = PlayBarValue(state.PlayerPosition, state.PlayerLength, bar->maximum());
        if (value != bar->value())
            bar->setValue(value);
    }
}

void PlayerEvents::onState(int state) {
    if (state != int(PlayerState::Stopped) && state != int(PlayerState::Ended))
        return;
    if (QWidget *window = ownerWindow()) {
        if (auto *picture = window->findChild<PreviewPicture *>(QStringLiteral("picPreview")))
            picture->update();
    }
    for (PlayerHost *host : QList<PlayerHost *>(m_hosts)) {
        if (MediaPlayer().ownerFlags[host->playerOwnerKind()])
            host->PlayerStopAction();
    }
}

void PlayerEvents::onPicture(const QImage &picture) {
    QWidget *window = ownerWindow();
    if (!window)
        return;
    if (auto *preview = window->findChild<PreviewPicture *>(QStringLiteral("picPreview")))
        preview->setPicture(picture);
}

void PlayerEvents::onOpenFailed(const QString &error) {
    // The window that asked has stopped by now (state 4 comes first) and still owns the player.
    if (m_owner)
        m_owner->PlayerOpenFailed(error);
}

} // namespace tv

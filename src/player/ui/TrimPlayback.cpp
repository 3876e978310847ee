#include "TrimPlayback.h"

#include "MessageBox.h"
#include "Player.h"

#include <QWidget>

namespace tv {

TrimPlayback::TrimPlayback(PlayerEvents *events, QWidget *window)
    : QObject(window), m_events(events), m_window(window) {
    Player *engine = player();
    if (engine) {
        connect(engine, &Player::StateChanged, this, &TrimPlayback::onState);
        connect(engine, &Player::PositionChanged, this, [this](qint64 position) {
            if (m_active && owns())
                Q_EMIT PositionChanged(position / 1000);
        });
    }
    m_events->registerHost(this);
}

TrimPlayback::~TrimPlayback() {
    MediaPlayer().ownerFlags[OwnerTrimWindow] = false;
    if (!m_events)
        return;
    if (m_active && owns() && player())
        player()->Stop();
    m_events->unregisterHost(this);
}

Player *TrimPlayback::player() const {
    return m_events ? m_events->player() : nullptr;
}

bool TrimPlayback::owns() const {
    return m_events && m_events->owner() == this;
}

QString TrimPlayback::PlayRange(const QString &path, qint64 fromMs, qint64 toMs) {
    Player *engine = player();
    if (!engine)
        return QString();
    m_events->TakeOwnership(this);
    PlayerSettings settings;
    settings.filePath = path;
    settings.startPosition = std::max<qint64>(0, fromMs) * 1000;
    settings.endPosition = toMs > fromMs ? toMs * 1000 : 0;
    settings.volume = engine->Volume();
    const QString error = PlayerCommand(*engine, -1, settings);
    if (!error.isEmpty()) {
        MediaPlayer().ownerFlags[OwnerTrimWindow] = false;
        return error;
    }
    m_active = true;
    // Playing again while playing keeps the player's state as it is, so the start is told here.
    Q_EMIT PlaybackStarted();
    return QString();
}

void TrimPlayback::Pause() {
    if (m_active && owns() && player()->State() == PlayerState::Playing)
        player()->Pause();
}

void TrimPlayback::Resume() {
    if (m_active && owns() && player()->State() == PlayerState::Paused)
        player()->Resume();
}

void TrimPlayback::Stop() {
    if (m_active)
        PlayerStopAction();
}

void TrimPlayback::PlayerStopAction() {
    MediaPlayer().ownerFlags[OwnerTrimWindow] = false;
    if (!m_active)
        return;
    m_active = false;
    Player *engine = player();
    const bool ended = engine && engine->State() == PlayerState::Ended;
    if (owns() && engine && engine->isActive())
        engine->Stop();
    if (ended)
        Q_EMIT PlaybackFinished();
    else
        Q_EMIT PlaybackStopped();
}

void TrimPlayback::onState(int state) {
    if (!m_active || !owns())
        return;
    if (state == int(PlayerState::Playing))
        Q_EMIT PlaybackStarted();
    else if (state == int(PlayerState::Paused))
        Q_EMIT PlaybackPaused();
    else if (state == int(PlayerState::Stopped) || state == int(PlayerState::Ended))
        PlayerStopAction();
}

void TrimPlayback::PlayerOpenFailed(const QString &error) {
    ShowMessage(error, MsgExclamation, QStringLiteral("Attention!"));
}

} // namespace tv

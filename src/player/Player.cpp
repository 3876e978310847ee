#include "Player.h"

#include "AudioOutput.h"
#include "MediaDecoder.h"
#include "PlayerClock.h"
#include "PlayerDecoder.h"

#include <QAudio>
#include <QMetaObject>
#include <QPointer>
#include <algorithm>

namespace tv {

Player::Player(QObject *parent) : QObject(parent) {
    // One decoder plays; a second may still be ending after a quick reopen.
    m_pool.setMaxThreadCount(2);
    m_positionTimer.setInterval(100);
    connect(&m_positionTimer, &QTimer::timeout, this, &Player::emitPosition);
}

Player::~Player() {
    stopDecoding();
    // Decoders stop within a packet once cancelled; their queued reports need this object.
    m_pool.waitForDone();
    if (m_audio) {
        connect(&m_audioThread, &QThread::finished, m_audio, &QObject::deleteLater);
        QMetaObject::invokeMethod(m_audio, &AudioDevice::stop, Qt::QueuedConnection);
        m_audioThread.quit();
        m_audioThread.wait();
    }
}

bool Player::Initialize(const QString &engineFolder) {
    Q_UNUSED(engineFolder) // the libraries are part of the program
    if (m_initialized)
        return true;
    InstallQuietLibavLog();
    m_soundCard = !qEnvironmentVariableIsSet("TUNEVANE_SILENT_PLAYER") && AudioDevice::available();
    if (m_soundCard) {
        m_audio = new AudioDevice;
        m_audio->moveToThread(&m_audioThread);
        connect(m_audio, &AudioDevice::failed, this, &Player::onSoundLost, Qt::QueuedConnection);
        m_audioThread.setObjectName(QStringLiteral("PlayerAudio"));
        m_audioThread.start();
    }
    m_initialized = true;
    m_lastError.clear();
    return true;
}

void Player::setState(PlayerState state) {
    if (m_state == state)
        return;
    m_state = state;
    if (state == PlayerState::Playing)
        m_positionTimer.start();
    else
        m_positionTimer.stop();
    emit StateChanged(int(state));
}

void Player::stopDecoding() {
    m_runner.cancel();
    if (m_shared)
        m_shared->wake.notify();
    if (m_audio)
        QMetaObject::invokeMethod(m_audio, &AudioDevice::stop, Qt::QueuedConnection);
}

void Player::Open(const PlayerOpenRequest &request) {
    TV_ASSERT_OWNER_THREAD(this);
    if (!m_initialized)
        Initialize(QString());
    stopDecoding();
    m_request = request;
    m_media = PlayerMedia();
    m_picture = QImage();
    m_lastError.clear();
    m_subtitleStream = request.subtitleStream;
    m_subtitles = request.subtitleStream >= 0;

    auto shared = std::make_shared<PlayerShared>();
    shared->soundCard = m_soundCard;
    shared->setBox(request.box, request.aspectMode);
    if (m_soundCard) {
        const QAudioFormat format = AudioDevice::chosenFormat();
        shared->feed->configure(format.sampleRate(), format.channelCount(), true);
        QMetaObject::invokeMethod(
            m_audio,
            [audio = m_audio, format, feed = shared->feed, clock = shared->clock]() {
                audio->start(format, feed, clock);
            },
            Qt::QueuedConnection);
    }
    const int epoch = shared->feed->clear(request.start);
    shared->clock->reset(request.start, epoch);
    m_shared = shared;
    applyVolume();

    // Reports of the decoder reach this object only while its open is the current one.
    const int generation = m_runner.generation();
    QPointer<Player> self(this);
    const auto post = [self, generation](auto call) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, call]() {
                if (self && self->m_runner.generation() == generation)
                    call(self.data());
            },
            Qt::QueuedConnection);
    };
    DecoderEvents events;
    events.opened = [post](const PlayerMedia &media) {
        post([media](Player *p) {
            p->m_media = media;
            emit p->FileOpened(media.length, media.videoSize);
        });
    };
    events.picture = [post](const QImage &picture, qint64 position) {
        post([picture, position](Player *p) {
            p->m_picture = picture;
            emit p->PictureReady(picture, position);
        });
    };
    events.firstSound = [post]() { post([](Player *p) { emit p->SoundStarted(); }); };

    m_runner.start(
        [shared, request, events](TaskControl &control, const TaskProgress &) {
            return RunDecoder(shared, request, events, control);
        },
        [this](const DecodeOutcome &outcome) { onFinished(outcome); });
    setState(PlayerState::Playing);
    emit PositionChanged(request.start);
}

void Player::Replay() {
    if (!m_request.path.isEmpty())
        Open(m_request);
}

void Player::onFinished(const DecodeOutcome &outcome) {
    if (m_audio)
        QMetaObject::invokeMethod(m_audio, &AudioDevice::stop, Qt::QueuedConnection);
    if (outcome.kind == DecodeOutcome::Failed) {
        m_lastError = outcome.error;
        setState(PlayerState::Stopped);
        emit OpenFailed(outcome.error);
        return;
    }
    if (outcome.kind == DecodeOutcome::Ended) {
        emitPosition();
        setState(PlayerState::Ended);
    }
}

void Player::onSoundLost() {
    // The card went away: this file goes on with the silent clock, and so do later ones.
    m_soundCard = false;
    if (m_shared) {
        m_shared->soundLost = true;
        m_shared->wake.notify();
    }
}

void Player::Pause() {
    if (m_state != PlayerState::Playing || !m_shared)
        return;
    m_shared->clock->pause();
    if (m_audio)
        QMetaObject::invokeMethod(m_audio, &AudioDevice::suspend, Qt::QueuedConnection);
    setState(PlayerState::Paused);
    emitPosition();
}

void Player::Resume() {
    if (m_state != PlayerState::Paused || !m_shared)
        return;
    m_shared->clock->resume();
    m_shared->wake.notify();
    if (m_audio)
        QMetaObject::invokeMethod(m_audio, &AudioDevice::resume, Qt::QueuedConnection);
    setState(PlayerState::Playing);
}

void Player::Stop() {
    if (!isActive())
        return;
    stopDecoding();
    setState(PlayerState::Stopped);
}

qint64 Player::Position() const {
    return m_shared ? m_shared->clock->now() : 0;
}

void Player::emitPosition() {
    emit PositionChanged(Position());
}

void Player::Seek(qint64 position) {
    if (!isActive() || !m_shared)
        return;
    position = std::max<qint64>(0, position);
    if (m_media.length > 0)
        position = std::min(position, m_media.length);
    // The feed and the clock move at once, so no position of before the seek shows again.
    const int epoch = m_shared->feed->clear(position);
    m_shared->clock->reset(position, epoch);
    m_shared->seekTarget = position;
    m_shared->wake.notify();
    if (m_audio)
        QMetaObject::invokeMethod(m_audio, &AudioDevice::restart, Qt::QueuedConnection);
    emit PositionChanged(position);
}

void Player::SetVolume(int volume) {
    m_volume = std::clamp(volume, 0, 100);
    applyVolume();
}

void Player::SetMute(bool mute) {
    m_mute = mute;
    applyVolume();
}

void Player::applyVolume() {
    if (!m_audio)
        return;
    const qreal linear = m_mute ? 0.0
                                : QAudio::convertVolume(m_volume / 100.0, QAudio::LogarithmicVolumeScale,
                                                        QAudio::LinearVolumeScale);
    QMetaObject::invokeMethod(
        m_audio, [audio = m_audio, linear]() { audio->setVolume(linear); }, Qt::QueuedConnection);
}

void Player::SetAudioStream(int index) {
    m_media.audioStream = index;
    if (m_shared) {
        m_shared->audioRequest = index;
        m_shared->wake.notify();
    }
}

void Player::SetSubtitleStream(int index) {
    m_subtitleStream = index;
    if (m_shared && m_subtitles) {
        m_shared->subtitleRequest = index;
        m_shared->wake.notify();
    }
}

void Player::SetSubtitles(bool on) {
    m_subtitles = on;
    if (m_shared) {
        m_shared->subtitleRequest = on ? m_subtitleStream : -1;
        m_shared->wake.notify();
    }
}

void Player::SetPictureBox(const QSize &box, int aspectMode) {
    m_request.box = box;
    m_request.aspectMode = aspectMode;
    if (m_shared)
        m_shared->setBox(box, aspectMode);
}

QImage Player::Snapshot() const {
    return m_shared ? m_shared->shownFrameImage() : QImage();
}

} // namespace tv

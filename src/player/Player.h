#pragma once
// The player engine: opens a media file, plays its sound through the sound card (or on the
// silent clock when there is none) and hands its pictures to whichever window owns it. It has
// no window of its own, so the main window, the separate player and the burners all drive the
// same engine.
//
// Threads: the Player object, its state and its events belong to the thread that created it
// (the UI thread). Each opened file is decoded by one piece of work of its TaskRunner on the
// player's own pool; that work reports by queued calls that are dropped once a newer open or a
// stop has begun. The sound card runs on an audio thread of its own (AudioDevice).

#include "PlayerTypes.h"
#include "Task.h"

#include <QImage>
#include <QObject>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <memory>

namespace tv {

class AudioDevice;
struct DecodeOutcome;
struct PlayerShared;

class Player : public QObject {
    Q_OBJECT
public:
    explicit Player(QObject *parent = nullptr);
    ~Player() override;

    // The engine is initialised once, with the folder of the media engine; it finds the sound
    // card then (none, or TUNEVANE_SILENT_PLAYER set: the silent clock).
    bool IsInitialized() const { return m_initialized; }
    bool Initialize(const QString &engineFolder);
    QString LastError() const { return m_lastError; }
    bool hasSoundCard() const { return m_soundCard; }

    // Opens the file and plays it; FileOpened or OpenFailed follows.
    void Open(const PlayerOpenRequest &request);
    // Plays the last opened file again from its start position.
    void Replay();
    void Pause();
    void Resume();
    void Stop();
    PlayerState State() const { return m_state; }
    bool isActive() const { return m_state == PlayerState::Playing || m_state == PlayerState::Paused; }
    QString FilePath() const { return m_request.path; }

    // Microseconds; the length is -1 when the file does not say.
    qint64 Length() const { return m_media.length; }
    qint64 Position() const;
    void Seek(qint64 position);

    // Volume 0 to 100 and the mute switch, which leaves the volume as it is.
    int Volume() const { return m_volume; }
    void SetVolume(int volume);
    bool Mute() const { return m_mute; }
    void SetMute(bool mute);

    const PlayerMedia &Media() const { return m_media; }
    int AudioStream() const { return m_media.audioStream; }
    void SetAudioStream(int index);
    int SubtitleStream() const { return m_subtitleStream; }
    void SetSubtitleStream(int index);
    bool Subtitles() const { return m_subtitles; }
    void SetSubtitles(bool on);

    // The owner's picture window: pictures are made at its size (device pixels).
    void SetPictureBox(const QSize &box, int aspectMode);
    // The picture shown last, as shown; and the frame under it at its own size (snapshots).
    QImage CurrentPicture() const { return m_picture; }
    QImage Snapshot() const;

Q_SIGNALS:
    void FileOpened(qint64 length, const QSize &videoSize);
    void OpenFailed(const QString &error);
    void PositionChanged(qint64 position);
    void StateChanged(int state);
    void PictureReady(const QImage &picture, qint64 position);
    // The first decoded sound of a file is on its way to the card.
    void SoundStarted();

private:
    void setState(PlayerState state);
    void stopDecoding();
    void onFinished(const DecodeOutcome &outcome);
    void onSoundLost();
    void applyVolume();
    void emitPosition();

    // UI thread only, except where the shared block says otherwise.
    QThreadPool m_pool; // the decode thread of each opened file
    TaskRunner m_runner{this, &m_pool};
    std::shared_ptr<PlayerShared> m_shared; // the file that plays now, shared with its decoder
    QThread m_audioThread;
    AudioDevice *m_audio = nullptr; // lives on m_audioThread
    QTimer m_positionTimer;
    PlayerOpenRequest m_request;
    PlayerMedia m_media;
    PlayerState m_state = PlayerState::Closed;
    QImage m_picture;
    QString m_lastError;
    int m_volume = 100;
    int m_subtitleStream = -1;
    bool m_subtitles = false;
    bool m_mute = false;
    bool m_initialized = false;
    bool m_soundCard = false;
};

} // namespace tv

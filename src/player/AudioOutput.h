#pragma once
// The sound side of the player: the feed of decoded samples (16-bit interleaved) between the
// decode thread and the sound card, and the sound card itself, driven by QAudioSink on an
// audio thread of its own so that a busy window never starves it.
//
// Without a sound card nothing reads the feed: it only remembers where the pushed sound ends,
// and the silent clock plays it.

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <memory>
#include <mutex>

class QAudioSink;
class QIODevice;

namespace tv {

class PlayerClock;

class AudioFeed {
public:
    // Fixes the sample format; storing is for a sound card only.
    void configure(int sampleRate, int channels, bool store);
    int sampleRate() const;
    int channels() const;
    qint64 bytesToMicroseconds(qint64 bytes) const;

    // Drops every sample and begins a new epoch at `position`: whatever an older epoch still
    // pushes or reads is ignored. Answers the new epoch.
    int clear(qint64 position);
    int epoch() const;

    // Decode thread: samples that start at `position`.
    void push(const char *data, qint64 bytes, qint64 position, int epoch);
    // Where the pushed sound ends (the clear position when none was pushed since).
    qint64 end() const;

    // Audio thread: up to `max` bytes; `position` and `epoch` receive the time of the first
    // byte and the epoch the bytes belong to.
    qint64 read(char *out, qint64 max, qint64 *position, int *epoch);

private:
    mutable std::mutex m_mutex; // guards every field below
    QByteArray m_data;          // stored samples from m_readOffset on
    qint64 m_readOffset = 0;
    qint64 m_headPosition = 0; // time of the first stored byte
    qint64 m_end = 0;
    int m_epoch = 0;
    int m_rate = 44100;
    int m_channels = 2;
    bool m_store = false;
};

// The sound card. Created on the UI thread, then moved to the audio thread; every call after
// that arrives there as a queued call, so the QAudioSink lives and dies on that one thread.
class AudioDevice : public QObject {
    Q_OBJECT
public:
    AudioDevice() = default;
    ~AudioDevice() override;

    // Whether the system has a sound card to play on.
    static bool available();
    // The format the card will be asked for: its own rate, at most two channels, 16 bits.
    static QAudioFormat chosenFormat();

    // Plays the feed of one opened file, anchoring its clock.
    void start(const QAudioFormat &format, std::shared_ptr<AudioFeed> feed,
               std::shared_ptr<PlayerClock> clock);
    // Drops what the card still holds (after a seek) and goes on from the feed.
    void restart();
    // The user's pause and resume.
    void suspend();
    void resume();
    void stop();
    void setVolume(qreal linear);

Q_SIGNALS:
    // The card refused or went away; the player goes on with the silent clock.
    void failed();

private:
    class FeedDevice;
    void onStateChanged();

    // Audio thread only.
    std::shared_ptr<AudioFeed> m_feed;
    std::shared_ptr<PlayerClock> m_clock;
    QAudioSink *m_sink = nullptr;
    FeedDevice *m_device = nullptr;
    QAudioFormat m_format;
    qreal m_volume = 1.0;
    bool m_suspended = false;
};

} // namespace tv

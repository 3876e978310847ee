#pragma once
// The decode thread of the player: demuxes one file, decodes its sound into the audio feed and
// its pictures into a short queue, and hands each picture over when the clock reaches it.
// One decoder runs per opened file, as one piece of work of the player's TaskRunner; it stops
// when its TaskControl is cancelled.

#include "PlayerTypes.h"

#include <QImage>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

struct AVFrame;

namespace tv {

class AudioFeed;
class PlayerClock;
class TaskControl;

// Wakes the decode thread early from its timed waits (seek, pause, stop, new streams).
class Wakeup {
public:
    void notify();
    // Waits up to `microseconds` or until notified.
    void wait(qint64 microseconds);

private:
    std::mutex m_mutex;
    std::condition_variable m_condition;
    bool m_signalled = false; // guarded by m_mutex
};

// What the player (UI thread) and its decode thread share. Each field says who writes it.
struct PlayerShared {
    PlayerShared();
    ~PlayerShared();
    std::shared_ptr<PlayerClock> clock; // see PlayerClock
    std::shared_ptr<AudioFeed> feed;    // see AudioFeed
    Wakeup wake;
    // Requests of the UI thread, taken by the decode thread: a seek (-1: none), another sound
    // stream (-1: none), another subtitle stream (-2: none, -1: subtitles off).
    std::atomic<qint64> seekTarget{-1};
    std::atomic<int> audioRequest{-1};
    std::atomic<int> subtitleRequest{-2};
    // Set by the UI thread when the sound card fails: the clock becomes the silent one.
    std::atomic_bool soundLost{false};
    // Whether the sound card plays the feed (set before the decoder starts).
    bool soundCard = false;

    // The window's size and aspect mode; written by the UI thread, read when a picture is made.
    void setBox(const QSize &box, int aspectMode);
    QSize box(int *aspectMode) const;
    // The frame shown last (a reference), for snapshots; written by the decode thread.
    void setShownFrame(const AVFrame *frame);
    QImage shownFrameImage() const; // at its display size, made on the calling thread

private:
    mutable std::mutex m_mutex; // guards the fields below
    QSize m_box;
    int m_aspectMode = 1;
    AVFrame *m_shown = nullptr;
    QSize m_shownDisplay;
};

// How a decoder tells the player what happens; every call comes from the decode thread.
struct DecoderEvents {
    std::function<void(const PlayerMedia &)> opened;
    std::function<void(const QImage &, qint64 position)> picture;
    std::function<void()> firstSound; // the first decoded sound reached the feed
};

struct DecodeOutcome {
    enum Kind { Ended, Stopped, Failed } kind = Stopped;
    QString error;
};

// Runs a whole playback; answers how it ended.
DecodeOutcome RunDecoder(const std::shared_ptr<PlayerShared> &shared, const PlayerOpenRequest &request,
                         const DecoderEvents &events, TaskControl &control);

} // namespace tv

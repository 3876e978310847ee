#pragma once
// The time the player plays at, in microseconds of the media. With a sound card the audio
// thread anchors it to what the card has played; without one it runs on the steady clock (the
// silent clock), so positions, frames and the end of the file arrive just the same.
//
// Thread-safe: the UI thread pauses, resumes and resets it, the audio thread anchors it and the
// decode thread reads it.

#include <QtGlobal>
#include <limits>
#include <mutex>

namespace tv {

class PlayerClock {
public:
    // Microseconds of a steady clock; the base every anchor is taken against.
    static qint64 steadyMicroseconds();

    // The position now.
    qint64 now() const;
    // Jumps to a position (open, seek) and holds there until the next start or anchor. Anchors
    // and starts of an older epoch are ignored from then on.
    void reset(qint64 position, int epoch);
    int epoch() const;
    // The silent clock runs from the held position (ignored while the user has paused).
    void start(int epoch);
    // What the card plays now is `position`; the clock never runs past `limit`, the end of what
    // the card has been given, so it waits when the sound runs dry.
    void anchor(qint64 position, qint64 limit, int epoch);
    // The user's pause: the position stays until resume.
    void pause();
    void resume();
    bool paused() const;
    // Whether the position moves now (started or anchored, and not paused).
    bool running() const;

private:
    qint64 nowLocked(qint64 steady) const;

    mutable std::mutex m_mutex; // guards every field below
    qint64 m_position = 0;      // position at m_anchorTime
    qint64 m_anchorTime = 0;    // steady microseconds of the anchor
    qint64 m_limit = std::numeric_limits<qint64>::max();
    int m_epoch = 0;
    bool m_started = false;
    bool m_paused = false;
};

} // namespace tv

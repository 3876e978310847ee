#pragma once
// What the player tells its owner about a file and what an owner asks it to play.

#include <QList>
#include <QSize>
#include <QString>

namespace tv {

// The player's states; the owner windows act on 4 (stopped) and 5 (ended).
enum class PlayerState : int { Closed = 0, Opening = 1, Playing = 2, Paused = 3, Stopped = 4, Ended = 5 };

// A sound or subtitle stream the user can choose: the container's stream index and its text.
struct PlayerStream {
    int index = -1;
    QString text;
};

// A file as the decode thread found it.
struct PlayerMedia {
    qint64 length = -1; // microseconds, -1 when the file does not say
    QSize videoSize;    // the picture's size as shown (pixel aspect applied); empty for sound
    bool hasAudio = false;
    int audioStream = -1; // the stream that plays
    QList<PlayerStream> audioStreams;
    QList<PlayerStream> subtitleStreams;
};

// What to play and how. Aspect mode 0 and 1 keep the picture's proportions inside the window,
// 2 stretches it to the window.
struct PlayerOpenRequest {
    QString path;
    qint64 start = 0; // microseconds
    qint64 end = 0;   // microseconds; 0 plays to the end of the file
    int audioStream = -1;
    int subtitleStream = -1; // -1: none
    int aspectMode = 1;
    QSize box; // the size of the picture window in device pixels
};

} // namespace tv

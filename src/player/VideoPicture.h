#pragma once
// Decoded video frames into pictures: scaled with libswscale to the window's size with the
// picture's proportions kept, and the subtitles of the moment drawn over them.

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

struct AVFrame;
struct AVSubtitle;
struct SwsContext;

namespace tv {

// The size of a picture as shown: the coded size with the pixel aspect applied.
QSize DisplaySize(int width, int height, int aspectNum, int aspectDen);
// The picture's size inside a box: fitted with its proportions (aspect modes 0 and 1) or the
// box itself (2); the display size when there is no box.
QSize FittedSize(const QSize &display, const QSize &box, int aspectMode);

// Scales frames of one stream; keeps its scaler between frames. One thread at a time.
class FrameScaler {
public:
    FrameScaler() = default;
    ~FrameScaler();
    FrameScaler(const FrameScaler &) = delete;
    FrameScaler &operator=(const FrameScaler &) = delete;
    QImage scale(const AVFrame *frame, const QSize &size);

private:
    SwsContext *m_context = nullptr;
};

// The subtitles of one stream: text lines drawn at the bottom of the picture, pictures
// (DVD and Blu-ray subtitles) placed where the stream puts them.
class SubtitleTrack {
public:
    // A decoded subtitle; `start` is its packet's time, `duration` the packet's length (both
    // microseconds, the duration 0 when unknown); `canvas` the size the stream's pictures refer to.
    void add(const AVSubtitle &subtitle, qint64 start, qint64 duration, const QSize &canvas);
    // Draws what shows at `position` and forgets what has ended.
    void draw(QImage &picture, qint64 position);
    void clear() { m_cues.clear(); }
    // The plain text of an ASS event line (override tags gone, line breaks kept).
    static QString PlainText(const QString &assLine);

private:
    struct Cue {
        qint64 start = 0;
        qint64 end = 0;
        QString text;
        QImage bitmap;
        QRect rect;
        QSize canvas;
    };
    QList<Cue> m_cues;
};

} // namespace tv

#pragma once
// Where the waveform view is: which frames its columns show (first frame and frames per
// column), how it zooms and scrolls, how pixels and milliseconds map onto each other, and the
// marks of its time ruler. The widget draws and handles the mouse; the arithmetic is here.

#include <QString>
#include <QVector>
#include <QtGlobal>

namespace tv {

class WaveformGeometry {
public:
    // A new sound is shown whole.
    void setSound(qint64 frames, int sampleRate);
    void setWidth(int columns);

    qint64 frames() const { return m_frames; }
    int sampleRate() const { return m_rate; }
    int width() const { return m_width; }
    qint64 lengthMs() const;
    bool isEmpty() const { return m_frames <= 0 || m_rate <= 0 || m_width <= 0; }

    double firstFrame() const { return m_first; }
    double framesPerColumn() const { return m_perColumn; }
    // The closest zoom: one frame per column (or the whole sound, when it is narrower).
    double minFramesPerColumn() const;
    double maxFramesPerColumn() const;

    // The first and the last millisecond on screen.
    qint64 viewStartMs() const;
    qint64 viewEndMs() const;

    // Shows [startMs, endMs]; endMs −1 means to the end of the sound.
    void showRange(qint64 startMs, qint64 endMs);
    // Halves or doubles the frames per column about the middle of the view.
    void zoomIn();
    void zoomOut();
    void zoomFull();
    // Zooms in or out by a factor (2: in, 0.5: out) keeping the frame under column x in place.
    void zoomAbout(double x, double factor);
    bool canZoomIn() const;
    bool canZoomOut() const;
    // Puts the view's first frame where asked, kept inside the sound.
    void scrollTo(double firstFrame);

    double frameAtX(double x) const;
    double xOfFrame(double frame) const;
    // The millisecond under a column position, inside the sound; and back.
    qint64 msAtX(double x) const;
    double xOfMs(qint64 ms) const;

private:
    void clamp();

    qint64 m_frames = 0;
    int m_rate = 0;
    int m_width = 0;
    double m_first = 0;
    double m_perColumn = 1;
};

// A mark of the time ruler: where it stands (x), and its text when it is a labelled one.
struct RulerMark {
    double x = 0;
    qint64 ms = 0;
    bool major = false;
    QString text;
};

// The ruler's marks for the view: labelled marks at a round step (1 ms … 1 h) no closer than
// minLabelSpacing pixels, with unlabelled marks between them.
QVector<RulerMark> RulerMarks(const WaveformGeometry &geometry, double minLabelSpacing);
// The text of a ruler label at a step: "1:05" , "1:05.250", "1:02:03".
QString RulerLabel(qint64 ms, qint64 stepMs);

} // namespace tv

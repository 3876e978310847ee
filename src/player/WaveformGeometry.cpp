#include "WaveformGeometry.h"

#include <algorithm>
#include <cmath>

namespace tv {

void WaveformGeometry::setSound(qint64 frames, int sampleRate) {
    m_frames = std::max<qint64>(0, frames);
    m_rate = std::max(0, sampleRate);
    zoomFull();
}

void WaveformGeometry::setWidth(int columns) {
    if (columns == m_width)
        return;
    // A wider or narrower view keeps its first frame and its zoom, unless the whole sound was
    // shown: then it stays whole.
    const bool whole = m_width <= 0 || m_perColumn >= maxFramesPerColumn() - 1e-9;
    m_width = std::max(0, columns);
    if (whole)
        zoomFull();
    else
        clamp();
}

qint64 WaveformGeometry::lengthMs() const {
    return m_rate > 0 ? m_frames * 1000 / m_rate : 0;
}

double WaveformGeometry::maxFramesPerColumn() const {
    return m_width > 0 ? std::max(1e-6, double(m_frames) / m_width) : 1.0;
}

double WaveformGeometry::minFramesPerColumn() const {
    return std::min(1.0, maxFramesPerColumn());
}

void WaveformGeometry::clamp() {
    m_perColumn = std::clamp(m_perColumn, minFramesPerColumn(), maxFramesPerColumn());
    const double lastFirst = std::max(0.0, double(m_frames) - m_width * m_perColumn);
    m_first = std::clamp(m_first, 0.0, lastFirst);
}

qint64 WaveformGeometry::viewStartMs() const {
    if (isEmpty())
        return 0;
    return std::min(lengthMs(), qint64(std::floor(m_first * 1000.0 / m_rate + 1e-6)));
}

qint64 WaveformGeometry::viewEndMs() const {
    if (isEmpty())
        return 0;
    const double end = m_first + m_width * m_perColumn;
    return std::min(lengthMs(), qint64(std::floor(end * 1000.0 / m_rate + 1e-6)));
}

void WaveformGeometry::showRange(qint64 startMs, qint64 endMs) {
    if (isEmpty())
        return;
    const qint64 length = lengthMs();
    if (endMs < 0 || endMs > length)
        endMs = length;
    startMs = std::clamp<qint64>(startMs, 0, endMs);
    const double from = double(startMs) * m_rate / 1000.0;
    // The end of the sound is its last frame, not the last whole millisecond.
    const double to = endMs >= length ? double(m_frames) : double(endMs) * m_rate / 1000.0;
    m_perColumn = std::max(minFramesPerColumn(), (to - from) / m_width);
    m_first = from;
    // Too short a range to fill the view at the closest zoom stays centred.
    if ((to - from) < m_width * m_perColumn)
        m_first = (from + to) / 2 - m_width * m_perColumn / 2;
    clamp();
}

void WaveformGeometry::zoomIn() {
    const double middle = m_first + m_width * m_perColumn / 2;
    m_perColumn = std::max(minFramesPerColumn(), m_perColumn / 2);
    m_first = middle - m_width * m_perColumn / 2;
    clamp();
}

void WaveformGeometry::zoomOut() {
    const double middle = m_first + m_width * m_perColumn / 2;
    m_perColumn = std::min(maxFramesPerColumn(), m_perColumn * 2);
    m_first = middle - m_width * m_perColumn / 2;
    clamp();
}

void WaveformGeometry::zoomFull() {
    m_first = 0;
    m_perColumn = maxFramesPerColumn();
    clamp();
}

void WaveformGeometry::zoomAbout(double x, double factor) {
    if (factor <= 0)
        return;
    const double frame = frameAtX(x);
    m_perColumn = std::clamp(m_perColumn / factor, minFramesPerColumn(), maxFramesPerColumn());
    m_first = frame - x * m_perColumn;
    clamp();
}

bool WaveformGeometry::canZoomIn() const {
    return !isEmpty() && m_perColumn > minFramesPerColumn() + 1e-9;
}

bool WaveformGeometry::canZoomOut() const {
    return !isEmpty() && m_perColumn < maxFramesPerColumn() - 1e-9;
}

void WaveformGeometry::scrollTo(double firstFrame) {
    m_first = firstFrame;
    clamp();
}

double WaveformGeometry::frameAtX(double x) const {
    return m_first + x * m_perColumn;
}

double WaveformGeometry::xOfFrame(double frame) const {
    return (frame - m_first) / m_perColumn;
}

qint64 WaveformGeometry::msAtX(double x) const {
    if (isEmpty())
        return 0;
    const double frame = std::clamp(frameAtX(x), 0.0, double(m_frames));
    if (frame >= double(m_frames))
        return lengthMs();
    return std::clamp<qint64>(std::llround(frame * 1000.0 / m_rate), 0, lengthMs());
}

double WaveformGeometry::xOfMs(qint64 ms) const {
    if (isEmpty())
        return 0;
    const double frame = ms >= lengthMs() ? double(m_frames) : double(ms) * m_rate / 1000.0;
    return xOfFrame(frame);
}

QString RulerLabel(qint64 ms, qint64 stepMs) {
    const qint64 seconds = ms / 1000;
    const auto two = [](qint64 v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); };
    QString text;
    if (seconds >= 3600)
        text = QString::number(seconds / 3600) + QLatin1Char(':') + two((seconds / 60) % 60);
    else
        text = QString::number(seconds / 60);
    text += QLatin1Char(':') + two(seconds % 60);
    if (stepMs < 1000) {
        // As many digits as the step needs: 0.5 s steps show tenths, 50 ms steps hundredths.
        const int digits = stepMs % 100 == 0 ? 1 : (stepMs % 10 == 0 ? 2 : 3);
        text +=
            QLatin1Char('.') + QString::number(ms % 1000).rightJustified(3, QLatin1Char('0')).left(digits);
    }
    return text;
}

QVector<RulerMark> RulerMarks(const WaveformGeometry &geometry, double minLabelSpacing) {
    QVector<RulerMark> marks;
    if (geometry.isEmpty())
        return marks;
    static const qint64 kSteps[] = {1,      2,      5,      10,     20,      50,      100,     200,
                                    500,    1000,   2000,   5000,   10000,   15000,   30000,   60000,
                                    120000, 300000, 600000, 900000, 1800000, 3600000, 7200000, 18000000};
    const double pixelsPerMs = geometry.sampleRate() / 1000.0 / geometry.framesPerColumn();
    qint64 step = kSteps[std::size(kSteps) - 1];
    for (qint64 candidate : kSteps) {
        if (candidate * pixelsPerMs >= minLabelSpacing) {
            step = candidate;
            break;
        }
    }
    const qint64 minor = step % 5 == 0 ? step / 5 : (step % 2 == 0 ? step / 2 : step);
    const qint64 first = geometry.viewStartMs() / minor * minor;
    const qint64 last = geometry.viewEndMs();
    for (qint64 ms = first; ms <= last; ms += minor) {
        RulerMark mark;
        mark.ms = ms;
        mark.x = geometry.xOfMs(ms);
        mark.major = ms % step == 0;
        if (mark.major)
            mark.text = RulerLabel(ms, step);
        if (mark.x >= -0.5 && mark.x <= geometry.width() + 0.5)
            marks.append(mark);
    }
    return marks;
}

} // namespace tv

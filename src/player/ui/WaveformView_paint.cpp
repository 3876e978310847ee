// Drawing the waveform view: its colours by theme, the rulers, the lanes from the peaks of the
// columns on screen (or the samples themselves at the closest zooms), the selection with its
// handles and the playing position.
#include "PeakPyramid.h"
#include "SoundEditor.h"
#include "WaveFile.h"
#include "WaveformView.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace tv {

namespace {

QString ChannelName(int channel, int channels) {
    if (channels == 1)
        return QStringLiteral("M");
    if (channels == 2)
        return channel == 0 ? QStringLiteral("L") : QStringLiteral("R");
    return QString::number(channel + 1);
}

} // namespace

void WaveformView::setThemeNo(int themeNo) {
    m_themeNo = themeNo;
    updateColours();
}

void WaveformView::changeEvent(QEvent *event) {
    if (event->type() == QEvent::PaletteChange)
        updateColours();
    QWidget::changeEvent(event);
}

void WaveformView::updateColours() {
    if (m_themeNo == 1) {
        // The system's own colours, with the wave in its highlight colour.
        const QPalette p = palette();
        m_colours.background = p.color(QPalette::Base);
        m_colours.lane = p.color(QPalette::Base);
        m_colours.wave = p.color(QPalette::Highlight).darker(115);
        m_colours.centre = p.color(QPalette::Mid);
        m_colours.text = p.color(QPalette::WindowText);
        m_colours.ruler = p.color(QPalette::Window);
        m_colours.rulerText = p.color(QPalette::WindowText);
        m_colours.selection = p.color(QPalette::Highlight);
        m_colours.selection.setAlpha(60);
        m_colours.handle = p.color(QPalette::Highlight).darker(140);
    } else {
        m_colours.background = QColor(0x161616);
        m_colours.lane = QColor(0x161616);
        m_colours.wave = QColor(0x4aa3ff);
        m_colours.centre = QColor(0x4a4a4a);
        m_colours.text = Qt::white;
        m_colours.ruler = QColor(0x232323);
        m_colours.rulerText = Qt::white;
        m_colours.selection = QColor(0x7fb8ff);
        m_colours.selection.setAlpha(70);
        m_colours.handle = QColor(0xd8e9ff);
    }
    m_colours.play = QColor(0xff8a00);
    update();
}

void WaveformView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRect lanes = lanesRect();
    const QRect ruler(lanes.left(), 0, lanes.width(), kRulerHeight);
    painter.fillRect(rect(), m_colours.ruler);
    painter.fillRect(lanes, m_colours.background);
    paintRuler(painter, ruler);
    paintAmplitudeRuler(painter, lanes);
    if (hasSound()) {
        paintLanes(painter, lanes);
        paintSelection(painter, lanes, ruler);
        if (m_playMs >= 0) {
            const double x = lanes.left() + m_geometry.xOfMs(m_playMs);
            if (x >= lanes.left() && x <= lanes.right() + 1) {
                painter.setPen(QPen(m_colours.play, 1.5));
                painter.drawLine(QPointF(x, lanes.top()), QPointF(x, lanes.bottom() + 1));
            }
        }
    }
}

void WaveformView::paintRuler(QPainter &painter, const QRect &area) {
    painter.save();
    painter.setClipRect(area);
    QFont font = painter.font();
    font.setPointSizeF(std::max(6.5, font.pointSizeF() * 0.85));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    painter.setPen(m_colours.rulerText);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    if (!m_geometry.isEmpty()) {
        const double spacing = metrics.horizontalAdvance(QStringLiteral("0:00:00.000")) + 14;
        for (const RulerMark &mark : RulerMarks(m_geometry, spacing)) {
            const double x = area.left() + mark.x;
            const double tick = mark.major ? area.height() * 0.45 : area.height() * 0.2;
            painter.drawLine(QPointF(x, area.bottom() - tick), QPointF(x, area.bottom()));
            // A label that would run past the ruler's end is left out rather than cut.
            if (mark.major && x + 3 + metrics.horizontalAdvance(mark.text) <= area.right())
                painter.drawText(QPointF(x + 3, area.top() + metrics.ascent() + 2), mark.text);
        }
    }
    painter.restore();
}

void WaveformView::paintAmplitudeRuler(QPainter &painter, const QRect &lanes) {
    const int channels = hasSound() ? std::max(1, m_peaks->channels()) : 1;
    painter.save();
    QFont font = painter.font();
    font.setPointSizeF(std::max(6.0, font.pointSizeF() * 0.8));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const double laneHeight = double(lanes.height()) / channels;
    painter.setPen(m_colours.rulerText);
    for (int c = 0; c < channels; ++c) {
        const double top = lanes.top() + c * laneHeight;
        const double middle = top + laneHeight / 2;
        const double half = laneHeight / 2 - 2;
        const int right = lanes.left() - 1;
        const QList<QPair<double, QString>> ticks = {{middle - half, QStringLiteral("1")},
                                                     {middle, QStringLiteral("0")},
                                                     {middle + half, QStringLiteral("-1")}};
        for (const auto &[y, text] : ticks) {
            painter.drawLine(QPointF(right - 5, y), QPointF(right, y));
            // Labels keep inside their own lane, clear of the neighbour's.
            const double baseline = std::clamp(y + metrics.ascent() / 2.0 - 1, top + metrics.ascent() + 3,
                                               top + laneHeight - metrics.descent() - 3);
            painter.drawText(QPointF(right - 7 - metrics.horizontalAdvance(text), baseline), text);
        }
        painter.drawText(QPointF(4, top + metrics.ascent() + 2),
                         hasSound() ? ChannelName(c, channels) : QString());
    }
    painter.drawLine(QPointF(lanes.left() - 1, lanes.top()), QPointF(lanes.left() - 1, lanes.bottom() + 1));
    painter.restore();
}

void WaveformView::paintLanes(QPainter &painter, const QRect &lanes) {
    const int channels = m_peaks->channels();
    const double laneHeight = double(lanes.height()) / channels;
    painter.save();
    painter.setClipRect(lanes);
    for (int c = 0; c < channels; ++c) {
        const double middle = lanes.top() + c * laneHeight + laneHeight / 2;
        painter.setPen(QPen(m_colours.centre, 0));
        painter.drawLine(QPointF(lanes.left(), middle), QPointF(lanes.right() + 1, middle));
        if (c > 0) {
            painter.setPen(QPen(m_colours.rulerText, 0));
            painter.drawLine(QPointF(lanes.left(), lanes.top() + c * laneHeight),
                             QPointF(lanes.right() + 1, lanes.top() + c * laneHeight));
        }
    }
    // Closer than two frames a column, the samples are joined by lines.
    if (m_geometry.framesPerColumn() < 2) {
        for (int c = 0; c < channels; ++c)
            paintSamples(
                painter,
                QRect(lanes.left(), int(lanes.top() + c * laneHeight), lanes.width(), int(laneHeight)), c);
        painter.restore();
        return;
    }
    // One column per device pixel, so a screen of twice the density shows twice the detail.
    const qreal ratio = devicePixelRatioF();
    const ColumnsKey key{m_geometry.firstFrame(), m_geometry.framesPerColumn() / ratio,
                         int(std::ceil(lanes.width() * ratio)), m_peaks.get()};
    if (!(key == m_columnsKey)) {
        m_columns.resize(size_t(channels));
        for (int c = 0; c < channels; ++c)
            ViewColumns(*m_peaks, *m_wave, c, key.first, key.perColumn, key.count, m_columns[size_t(c)]);
        m_columnsKey = key;
    }
    painter.setPen(QPen(m_colours.wave, 0));
    QVector<QLineF> lines;
    lines.reserve(key.count);
    for (int c = 0; c < channels; ++c) {
        const double middle = lanes.top() + c * laneHeight + laneHeight / 2;
        const double scale = (laneHeight / 2 - 2) / 32768.0;
        lines.clear();
        const std::vector<ColumnPeak> &columns = m_columns[size_t(c)];
        for (int x = 0; x < key.count; ++x) {
            const ColumnPeak &column = columns[size_t(x)];
            if (!column.covered)
                continue;
            const double px = lanes.left() + (x + 0.5) / ratio;
            double top = middle - column.peak.max * scale;
            double bottom = middle - column.peak.min * scale;
            // Silence still shows as a line one device pixel high.
            if (bottom - top < 1 / ratio)
                bottom = top + 1 / ratio;
            lines.append(QLineF(px, top, px, bottom));
        }
        painter.drawLines(lines);
    }
    painter.restore();
}

void WaveformView::paintSamples(QPainter &painter, const QRect &lane, int channel) {
    const int channels = m_peaks->channels();
    const qint64 first = std::max<qint64>(0, qint64(std::floor(m_geometry.firstFrame())));
    const qint64 last = std::min<qint64>(
        m_wave->frames(),
        qint64(std::ceil(m_geometry.firstFrame() + m_geometry.width() * m_geometry.framesPerColumn())) + 1);
    if (last <= first)
        return;
    std::vector<qint16> samples(size_t((last - first) * channels));
    m_wave->readFrames(first, last - first, samples.data());
    const double middle = lane.top() + lane.height() / 2.0;
    const double scale = (lane.height() / 2.0 - 2) / 32768.0;
    QPolygonF line;
    line.reserve(int(last - first));
    for (qint64 f = first; f < last; ++f)
        line.append(QPointF(lane.left() + m_geometry.xOfFrame(double(f)),
                            middle - samples[size_t((f - first) * channels + channel)] * scale));
    // Smooth lines cost ten times as much; with many samples on screen nobody sees the steps.
    const bool smooth = line.size() < 600;
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setPen(smooth ? QPen(m_colours.wave, 1.2) : QPen(m_colours.wave, 0));
    painter.drawPolyline(line);
    // Far enough apart, every sample is marked.
    if (1.0 / m_geometry.framesPerColumn() >= 6) {
        painter.setBrush(m_colours.wave);
        for (const QPointF &point : std::as_const(line))
            painter.drawEllipse(point, 1.8, 1.8);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void WaveformView::paintSelection(QPainter &painter, const QRect &lanes, const QRect &ruler) {
    if (!m_selShown)
        return;
    const double x0 = lanes.left() + m_geometry.xOfMs(m_selStart);
    const double x1 = lanes.left() + m_geometry.xOfMs(m_selEnd);
    painter.save();
    painter.setClipRect(lanes.united(ruler));
    if (x1 > x0)
        painter.fillRect(QRectF(QPointF(x0, lanes.top()), QPointF(x1, lanes.bottom() + 1)),
                         m_colours.selection);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(m_colours.handle, 1));
    painter.setBrush(m_colours.handle);
    for (const double x : {x0, x1}) {
        painter.drawLine(QPointF(x, lanes.top()), QPointF(x, lanes.bottom() + 1));
        // Grips at the ruler's foot and the lanes' foot show where an end can be taken.
        const double top = lanes.top();
        painter.drawPolygon(QPolygonF({QPointF(x - kHandleSize, top - kHandleSize),
                                       QPointF(x + kHandleSize, top - kHandleSize), QPointF(x, top)}));
        const double bottom = lanes.bottom() + 1;
        painter.drawPolygon(QPolygonF({QPointF(x - kHandleSize, bottom), QPointF(x + kHandleSize, bottom),
                                       QPointF(x, bottom - kHandleSize)}));
    }
    painter.restore();
}

} // namespace tv

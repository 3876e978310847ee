#include "VideoPicture.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace tv {

QSize DisplaySize(int width, int height, int aspectNum, int aspectDen) {
    if (width <= 0 || height <= 0)
        return QSize();
    if (aspectNum > 0 && aspectDen > 0 && aspectNum != aspectDen)
        width = std::max(1, static_cast<int>(qint64(width) * aspectNum / aspectDen));
    return QSize(width, height);
}

QSize FittedSize(const QSize &display, const QSize &box, int aspectMode) {
    if (box.isEmpty() || display.isEmpty())
        return display;
    if (aspectMode == 2)
        return box;
    QSize fitted = display.scaled(box, Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

FrameScaler::~FrameScaler() {
    sws_freeContext(m_context);
}

QImage FrameScaler::scale(const AVFrame *frame, const QSize &size) {
    if (!frame || frame->width <= 0 || frame->height <= 0 || size.isEmpty())
        return QImage();
    m_context = sws_getCachedContext(m_context, frame->width, frame->height,
                                     static_cast<AVPixelFormat>(frame->format), size.width(), size.height(),
                                     AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_context)
        return QImage();
    // BGRA in memory is what QImage calls RGB32 on little-endian machines; the scaler fills
    // the alpha byte with 255, as RGB32 wants.
    QImage picture(size, QImage::Format_RGB32);
    uint8_t *planes[4] = {picture.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {static_cast<int>(picture.bytesPerLine()), 0, 0, 0};
    if (sws_scale(m_context, frame->data, frame->linesize, 0, frame->height, planes, strides) <= 0)
        return QImage();
    return picture;
}

QString SubtitleTrack::PlainText(const QString &assLine) {
    // "ReadOrder,Layer,Style,Name,MarginL,MarginR,MarginV,Effect,Text": the text follows the
    // eighth comma and may hold commas itself.
    QString text = assLine;
    int commas = 0;
    for (int i = 0; i < assLine.size(); ++i) {
        if (assLine.at(i) == QLatin1Char(',') && ++commas == 8) {
            text = assLine.mid(i + 1);
            break;
        }
    }
    static const QRegularExpression overrides(QStringLiteral("\\{[^}]*\\}"));
    text.remove(overrides);
    text.replace(QLatin1String("\\N"), QLatin1String("\n"));
    text.replace(QLatin1String("\\n"), QLatin1String("\n"));
    text.replace(QLatin1String("\\h"), QLatin1String(" "));
    return text.trimmed();
}

void SubtitleTrack::add(const AVSubtitle &subtitle, qint64 start, qint64 duration, const QSize &canvas) {
    Cue cue;
    cue.start = start + qint64(subtitle.start_display_time) * 1000;
    if (subtitle.end_display_time > subtitle.start_display_time && subtitle.end_display_time != UINT32_MAX)
        cue.end = start + qint64(subtitle.end_display_time) * 1000;
    else if (duration > 0)
        cue.end = start + duration;
    else
        cue.end = std::numeric_limits<qint64>::max(); // until the next one
    cue.canvas = canvas;
    // A picture subtitle without an end lasts until the next one replaces it.
    for (Cue &open : m_cues) {
        if (open.end == std::numeric_limits<qint64>::max() && open.start < cue.start)
            open.end = cue.start;
    }
    for (unsigned i = 0; i < subtitle.num_rects; ++i) {
        const AVSubtitleRect *rect = subtitle.rects[i];
        Cue part = cue;
        if (rect->type == SUBTITLE_BITMAP && rect->w > 0 && rect->h > 0 && rect->data[0] && rect->data[1]) {
            QImage bitmap(rect->w, rect->h, QImage::Format_ARGB32);
            const auto *palette = reinterpret_cast<const uint32_t *>(rect->data[1]);
            for (int y = 0; y < rect->h; ++y) {
                const uint8_t *source = rect->data[0] + y * rect->linesize[0];
                auto *target = reinterpret_cast<QRgb *>(bitmap.scanLine(y));
                for (int x = 0; x < rect->w; ++x)
                    target[x] = source[x] < rect->nb_colors ? palette[source[x]] : 0;
            }
            part.bitmap = bitmap;
            part.rect = QRect(rect->x, rect->y, rect->w, rect->h);
        } else if (rect->type == SUBTITLE_ASS && rect->ass) {
            part.text = PlainText(QString::fromUtf8(rect->ass));
        } else if (rect->type == SUBTITLE_TEXT && rect->text) {
            part.text = QString::fromUtf8(rect->text).trimmed();
        } else {
            continue;
        }
        m_cues.append(part);
    }
}

void SubtitleTrack::draw(QImage &picture, qint64 position) {
    m_cues.erase(
        std::remove_if(m_cues.begin(), m_cues.end(), [position](const Cue &c) { return c.end <= position; }),
        m_cues.end());
    QStringList lines;
    QPainter painter;
    for (const Cue &cue : std::as_const(m_cues)) {
        if (cue.start > position)
            continue;
        if (!cue.text.isEmpty()) {
            lines << cue.text;
            continue;
        }
        if (!painter.isActive())
            painter.begin(&picture);
        const QSize canvas = cue.canvas.isEmpty() ? picture.size() : cue.canvas;
        const double sx = double(picture.width()) / canvas.width();
        const double sy = double(picture.height()) / canvas.height();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(
            QRectF(cue.rect.x() * sx, cue.rect.y() * sy, cue.rect.width() * sx, cue.rect.height() * sy),
            cue.bitmap);
    }
    if (lines.isEmpty())
        return;
    if (!painter.isActive())
        painter.begin(&picture);
    // White text with a dark outline, about a fifteenth of the picture high per line.
    QFont font;
    font.setPixelSize(std::max(10, picture.height() / 15));
    font.setBold(true);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font);
    const QStringList rows = lines.join(QLatin1Char('\n')).split(QLatin1Char('\n'));
    int baseline = picture.height() - metrics.descent() - picture.height() / 20;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        QPainterPath path;
        const int x = (picture.width() - metrics.horizontalAdvance(*row)) / 2;
        path.addText(x, baseline, font, *row);
        painter.strokePath(path, QPen(QColor(0, 0, 0, 220), std::max(2, font.pixelSize() / 8)));
        painter.fillPath(path, Qt::white);
        baseline -= metrics.lineSpacing();
    }
}

} // namespace tv

#include "PlayerWidgets.h"

#include <QMouseEvent>
#include <QPainter>

namespace tv {

PreviewPicture::PreviewPicture(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picPreview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 90);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PreviewPicture::setPicture(const QImage &picture) {
    m_picture = picture;
    update();
}

void PreviewPicture::setIdlePixmap(const QPixmap &pixmap) {
    m_idle = pixmap;
    update();
}

void PreviewPicture::setSoundPixmap(const QPixmap &pixmap) {
    m_sound = pixmap;
    update();
}

void PreviewPicture::setPlaying(bool playing) {
    m_playing = playing;
    update();
}

void PreviewPicture::clear() {
    m_picture = QImage();
    update();
}

QSize PreviewPicture::pictureBox() const {
    return size() * devicePixelRatioF();
}

void PreviewPicture::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!m_picture.isNull()) {
        const QSizeF shown = QSizeF(m_picture.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
        const QRectF target(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(target, m_picture);
    } else if (m_playing && !m_sound.isNull()) {
        // A sound file without a cover: its symbol, at its own size, in the middle.
        const QSizeF shown = m_sound.deviceIndependentSize();
        p.drawPixmap(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), m_sound);
    } else if (!m_playing && !m_idle.isNull()) {
        const QSizeF shown = m_idle.deviceIndependentSize().scaled(QSizeF(size()), Qt::KeepAspectRatio);
        const QRectF target(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(target, m_idle, QRectF(m_idle.rect()));
    }
}

void PreviewPicture::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    emit boxChanged(pictureBox());
}

void PreviewPicture::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

SeekBar::SeekBar(QWidget *parent) : QProgressBar(parent) {
    setObjectName(QStringLiteral("ProgressBar_Play"));
    setRange(0, 1000);
    setValue(0);
    setTextVisible(false);
    setMaximumHeight(10);
    setCursor(Qt::PointingHandCursor);
}

void SeekBar::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        emit clickedAt(qRound(event->position().x()), width());
    QProgressBar::mousePressEvent(event);
}

} // namespace tv

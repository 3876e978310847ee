#include "Slider_Ctrl.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <algorithm>
#include <cmath>

namespace tv {

namespace {

constexpr int kDefaultThumb = 12; // the thumb's size when no SliderImage is set

QByteArray PixmapBytes(const QPixmap &pixmap) {
    QByteArray bytes;
    if (pixmap.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pixmap.save(&buffer, "PNG");
    return bytes;
}

QPixmap BytesPixmap(const QByteArray &bytes) {
    QPixmap pixmap;
    if (!bytes.isEmpty())
        pixmap.loadFromData(bytes);
    return pixmap;
}

// Writes a property unless it holds its default, as a property bag does.
void Write(QSettings &bag, const QString &name, const QVariant &value, const QVariant &defaultValue) {
    if (value == defaultValue)
        bag.remove(name);
    else
        bag.setValue(name, value);
}

} // namespace

int RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5)
        return int(floor);
    if (fraction > 0.5)
        return int(floor) + 1;
    return std::fmod(floor, 2.0) == 0.0 ? int(floor) : int(floor) + 1;
}

frmSliderCtrl::frmSliderCtrl() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSliderCtrl"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    lblTip = new QLabel(this);
    lblTip->setObjectName(QStringLiteral("lblTip"));
    layout->addWidget(lblTip);
    setStyleSheet(QStringLiteral("frmSliderCtrl { background: palette(tool-tip-base); border: 1px solid "
                                 "palette(mid); }"));
}

void frmSliderCtrl::showValue(int value, const QPoint &globalPointer) {
    lblTip->setText(QString::number(value));
    adjustSize();
    // Above and to the right of the pointer, where the thumb does not hide it.
    move(globalPointer + QPoint(12, -height() - 8));
    show();
}

Slider_Ctrl::Slider_Ctrl(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Slider_Ctrl"));
    setMouseTracking(false);
    placeThumb();
}

QSize Slider_Ctrl::sizeHint() const {
    return horizontal() ? QSize(100, 20) : QSize(20, 100);
}

void Slider_Ctrl::setBackColor(quint32 colour) {
    m_backColor = colour;
    update();
}

void Slider_Ctrl::setMousePointer(qint16 pointer) {
    m_mousePointer = pointer;
    applyPointer();
}

void Slider_Ctrl::setMouseIcon(const QPixmap &icon) {
    m_mouseIcon = icon;
    applyPointer();
}

void Slider_Ctrl::applyPointer() {
    // The classic pointer numbers: 0 default, 1 arrow, 2 cross, 3 I-beam, 11 busy, 99 MouseIcon.
    switch (m_mousePointer) {
    case 1:
        setCursor(Qt::ArrowCursor);
        break;
    case 2:
        setCursor(Qt::CrossCursor);
        break;
    case 3:
        setCursor(Qt::IBeamCursor);
        break;
    case 11:
        setCursor(Qt::WaitCursor);
        break;
    case 99:
        if (!m_mouseIcon.isNull()) {
            setCursor(QCursor(m_mouseIcon));
            break;
        }
        [[fallthrough]];
    default:
        unsetCursor();
        break;
    }
}

void Slider_Ctrl::setMax(int max) {
    m_max = max;
    placeThumb();
    update();
}

void Slider_Ctrl::setMin(int min) {
    m_min = min;
    placeThumb();
    update();
}

int Slider_Ctrl::setValue(int value) {
    if (value < m_min || value > m_max)
        return kInvalidPropertyValue;
    m_value = value;
    if (value == m_previous)
        return 0;
    if (!m_dragging)
        placeThumb();
    update();
    m_previous = value;
    emit Changed();
    if (value == m_max)
        emit ReachedMax();
    if (value == m_min)
        emit ReachedMin();
    return 0;
}

void Slider_Ctrl::setOrientation(qint16 orientation) {
    m_orientation = orientation == 0 ? 0 : 1;
    placeThumb();
    updateGeometry();
    update();
}

void Slider_Ctrl::setRailStyle(qint16 style) {
    m_railStyle = style;
    update();
}

void Slider_Ctrl::setSliderImage(const QPixmap &image) {
    m_sliderImage = image;
    placeThumb();
    update();
}

void Slider_Ctrl::setRailImage(const QPixmap &image) {
    m_railImage = image;
    update();
}

void Slider_Ctrl::setShowValueTip(bool show) {
    m_showValueTip = show;
}

void Slider_Ctrl::ReadProperties(QSettings &bag) {
    setBackColor(bag.value(QStringLiteral("BackColor"), kButtonFace).toUInt());
    setMousePointer(qint16(bag.value(QStringLiteral("MousePointer"), 0).toInt()));
    setMouseIcon(BytesPixmap(bag.value(QStringLiteral("MouseIcon")).toByteArray()));
    setEnabled(bag.value(QStringLiteral("Enabled"), true).toBool());
    setOrientation(qint16(bag.value(QStringLiteral("Orientation"), 1).toInt()));
    setRailStyle(qint16(bag.value(QStringLiteral("RailStyle"), 0).toInt()));
    setShowValueTip(bag.value(QStringLiteral("ShowValueTip"), true).toBool());
    // Min and Max come before Value, so a stored value fits the stored range.
    setMin(bag.value(QStringLiteral("Min"), 0).toInt());
    setMax(bag.value(QStringLiteral("Max"), 10).toInt());
    if (setValue(bag.value(QStringLiteral("Value"), 0).toInt()) != 0)
        placeThumb(); // a stored value outside the range is left out
    setSliderImage(BytesPixmap(bag.value(QStringLiteral("SliderImage")).toByteArray()));
    setRailImage(BytesPixmap(bag.value(QStringLiteral("RailImage")).toByteArray()));
}

void Slider_Ctrl::WriteProperties(QSettings &bag) const {
    Write(bag, QStringLiteral("BackColor"), m_backColor, kButtonFace);
    Write(bag, QStringLiteral("Enabled"), isEnabled(), true);
    Write(bag, QStringLiteral("MouseIcon"), PixmapBytes(m_mouseIcon), QByteArray());
    Write(bag, QStringLiteral("MousePointer"), int(m_mousePointer), 0);
    Write(bag, QStringLiteral("SliderImage"), PixmapBytes(m_sliderImage), QByteArray());
    Write(bag, QStringLiteral("Orientation"), int(m_orientation), 1);
    Write(bag, QStringLiteral("RailImage"), PixmapBytes(m_railImage), QByteArray());
    Write(bag, QStringLiteral("RailStyle"), int(m_railStyle), 0);
    Write(bag, QStringLiteral("ShowValueTip"), m_showValueTip, true);
    Write(bag, QStringLiteral("Min"), m_min, 0);
    Write(bag, QStringLiteral("Max"), m_max, 10);
    Write(bag, QStringLiteral("Value"), m_value, 0);
}

QSize Slider_Ctrl::thumbSize() const {
    if (!m_sliderImage.isNull())
        return m_sliderImage.deviceIndependentSize().toSize();
    return horizontal() ? QSize(kDefaultThumb, std::min(height(), 2 * kDefaultThumb))
                        : QSize(std::min(width(), 2 * kDefaultThumb), kDefaultThumb);
}

int Slider_Ctrl::freeLength() const {
    const QSize thumb = thumbSize();
    return std::max(0, horizontal() ? width() - thumb.width() : height() - thumb.height());
}

QRect Slider_Ctrl::thumbRect() const {
    const QSize thumb = thumbSize();
    if (horizontal())
        return QRect(QPoint(m_thumbPos, (height() - thumb.height()) / 2), thumb);
    return QRect(QPoint((width() - thumb.width()) / 2, m_thumbPos), thumb);
}

void Slider_Ctrl::placeThumb() {
    const int free = freeLength();
    const qint64 range = qint64(m_max) - m_min;
    // With no range (Max = Min) the thumb rests at the minimum's end.
    const double share =
        range > 0 ? std::clamp(double(qint64(m_value) - m_min) / double(range), 0.0, 1.0) : 0.0;
    m_thumbPos = horizontal() ? qRound(free * share) : free - qRound(free * share);
}

void Slider_Ctrl::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (!m_dragging)
        placeThumb();
}

void Slider_Ctrl::dragTo(const QPoint &pointer) {
    const int free = freeLength();
    const int along = horizontal() ? pointer.x() - m_grab.x() : pointer.y() - m_grab.y();
    m_thumbPos = std::clamp(along, 0, free);
    const qint64 range = qint64(m_max) - m_min;
    int value = m_min;
    if (free > 0 && range > 0) {
        const double share = horizontal() ? double(m_thumbPos) / free : double(free - m_thumbPos) / free;
        value = int(m_min + RoundHalfEven(share * double(range)));
    }
    update();
    (void)setValue(value); // always inside the range
    if (m_tip)
        m_tip->showValue(m_value, mapToGlobal(pointer));
}

void Slider_Ctrl::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    const QPoint pointer = event->position().toPoint();
    const QRect thumb = thumbRect();
    if (thumb.contains(pointer)) {
        m_grab = pointer - thumb.topLeft();
    } else {
        m_grab = QPoint(thumb.width() / 2, thumb.height() / 2);
        dragTo(pointer);
    }
    if (m_showValueTip) {
        if (!m_tip)
            m_tip = new frmSliderCtrl;
        m_tip->showValue(m_value, event->globalPosition().toPoint());
    }
    emit SlideStart(event->button());
}

void Slider_Ctrl::mouseMoveEvent(QMouseEvent *event) {
    if (m_dragging)
        dragTo(event->position().toPoint());
}

void Slider_Ctrl::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
    if (m_dragging)
        emit SlideEnd(event->button());
    m_dragging = false;
    placeThumb();
    update();
    if (m_tip)
        m_tip->deleteLater();
}

QColor Slider_Ctrl::backgroundColour() const {
    if (m_backColor & 0x80000000u) {
        // System colours: the button face (15) and the window (5) are the ones sliders use.
        return (m_backColor & 0xff) == 5 ? palette().color(QPalette::Base)
                                         : palette().color(QPalette::Button);
    }
    return QColor(int(m_backColor & 0xff), int((m_backColor >> 8) & 0xff), int((m_backColor >> 16) & 0xff));
}

void Slider_Ctrl::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), backgroundColour());
    const QRect thumb = thumbRect();
    const int thickness = m_railImage.isNull() ? 4
                          : horizontal()       ? int(m_railImage.deviceIndependentSize().height())
                                               : int(m_railImage.deviceIndependentSize().width());
    QRect rail;
    if (horizontal())
        rail = QRect(thumb.width() / 2, (height() - thickness) / 2, width() - thumb.width(), thickness);
    else
        rail = QRect((width() - thickness) / 2, thumb.height() / 2, thickness, height() - thumb.height());
    // Rail style 0 stretches the rail image along the slider, 1 repeats it.
    if (m_railImage.isNull())
        p.fillRect(rail, palette().color(QPalette::Mid));
    else if (m_railStyle == 1)
        p.drawTiledPixmap(rail, m_railImage);
    else
        p.drawPixmap(rail, m_railImage);
    // The filled part runs from the minimum's end to the thumb's middle.
    QRect filled = rail;
    if (horizontal())
        filled.setRight(thumb.center().x());
    else
        filled.setTop(thumb.center().y());
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlpha(isEnabled() ? 200 : 90);
    p.fillRect(filled, fill);
    if (!m_sliderImage.isNull()) {
        p.drawPixmap(thumb, m_sliderImage);
    } else {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(palette().color(QPalette::Dark));
        p.setBrush(palette().color(isEnabled() ? QPalette::Light : QPalette::Midlight));
        p.drawRoundedRect(QRectF(thumb).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
}

} // namespace tv

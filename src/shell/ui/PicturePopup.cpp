#include "PicturePopup.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

namespace tv {

PicturePopup::PicturePopup(QWidget *parent)
    : QLabel(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_displayTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("PopupControl_Tag"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setScaledContents(true);
    m_displayTimer->setSingleShot(true);
    connect(m_displayTimer, &QTimer::timeout, this, &PicturePopup::closeNow);
}

void PicturePopup::closeNow() {
    m_displayTimer->stop();
    if (m_running)
        m_running->stop();
    hide();
}

bool PicturePopup::showPicture(const QString &path, const QString &animation, int animationTime,
                               int displayTime) {
    QImageReader reader(path);
    // Large pictures are read at a notice's size, never at their full resolution.
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > 400 || size.height() > 400))
        reader.setScaledSize(size.scaled(400, 400, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    const QString lower = animation.trimmed().toLower();
    if (lower == QLatin1String("none") || lower == QLatin1String("fade") || lower == QLatin1String("slide") ||
        lower == QLatin1String("unfold"))
        m_animation = lower;

    closeNow();
    setPixmap(QPixmap::fromImage(image));
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QRect target(area.right() - image.width() - 16, area.bottom() - image.height() - 16, image.width(),
                       image.height());
    setGeometry(target);
    setWindowOpacity(1.0);
    show();
    if (m_animation != QLatin1String("none") && animationTime > 0) {
        auto *run = new QPropertyAnimation(
            this, m_animation == QLatin1String("fade") ? "windowOpacity" : "geometry", this);
        run->setDuration(animationTime);
        if (m_animation == QLatin1String("fade")) {
            run->setStartValue(0.0);
            run->setEndValue(1.0);
        } else if (m_animation == QLatin1String("slide")) {
            run->setStartValue(target.translated(0, target.height() + 16));
            run->setEndValue(target);
        } else {
            run->setStartValue(QRect(target.center(), QSize(1, 1)));
            run->setEndValue(target);
        }
        m_running = run;
        run->start(QAbstractAnimation::DeleteWhenStopped);
    }
    m_displayTimer->start(std::max(0, displayTime) + std::max(0, animationTime));
    return true;
}

} // namespace tv

#pragma once
// A picture notice near the corner of the screen: shown with an animation ("none", "fade",
// "slide" or "unfold"), kept for a while, then closed. Times are in milliseconds.

#include <QLabel>
#include <QPointer>

class QPropertyAnimation;
class QTimer;

namespace tv {

class PicturePopup : public QLabel {
    Q_OBJECT
public:
    explicit PicturePopup(QWidget *parent = nullptr);

    // Answers false when the picture cannot be read (nothing is shown then).
    bool showPicture(const QString &path, const QString &animation, int animationTime, int displayTime);
    QString animation() const { return m_animation; }
    bool isOpen() const { return isVisible(); }
    void closeNow();

private:
    QString m_animation = QStringLiteral("none"); // kept when an unknown animation is asked for
    QTimer *m_displayTimer;
    QPointer<QPropertyAnimation> m_running;
};

} // namespace tv

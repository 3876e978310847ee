#pragma once
// The two widgets a player window is made of besides buttons and labels: the picture window
// picPreview and the position bar ProgressBar_Play that seeks where it is clicked.

#include <QImage>
#include <QPixmap>
#include <QProgressBar>
#include <QWidget>

namespace tv {

class PreviewPicture : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPicture(QWidget *parent = nullptr);
    // The player's picture, shown centred with its proportions on black.
    void setPicture(const QImage &picture);
    QImage picture() const { return m_picture; }
    // What shows when nothing plays, and while a file without pictures plays (empty: black).
    void setIdlePixmap(const QPixmap &pixmap);
    void setSoundPixmap(const QPixmap &pixmap);
    void setPlaying(bool playing);
    void clear();
    // The window's size in device pixels, which is the size the player makes its pictures.
    QSize pictureBox() const;

Q_SIGNALS:
    void boxChanged(const QSize &box);
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    QPixmap m_idle;
    QPixmap m_sound;
    bool m_playing = false;
};

class SeekBar : public QProgressBar {
    Q_OBJECT
public:
    explicit SeekBar(QWidget *parent = nullptr);

Q_SIGNALS:
    // A click at x of a bar `width` pixels wide.
    void clickedAt(int x, int width);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace tv

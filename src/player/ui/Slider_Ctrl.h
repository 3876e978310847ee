#pragma once
// The slider control of every volume slider: a rail image and a thumb image, an integer value
// between Min and Max, dragging in either orientation, events on change and at the ends of the
// range, and a tip window with the value while the thumb is dragged.

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QLabel;
class QSettings;

namespace tv {

// The small window that shows the value while dragging.
class frmSliderCtrl : public QWidget {
    Q_OBJECT
public:
    frmSliderCtrl();
    void showValue(int value, const QPoint &globalPointer);

private:
    QLabel *lblTip;
};

class Slider_Ctrl : public QWidget {
    Q_OBJECT
public:
    // The run-time error a value outside Min…Max raises (invalid property value).
    static constexpr int kInvalidPropertyValue = 380;
    // The system button face colour, as colour values name it.
    static constexpr quint32 kButtonFace = 0x8000000F;

    explicit Slider_Ctrl(QWidget *parent = nullptr);

    // Enabled is the widget's own (isEnabled / setEnabled).
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 colour);
    qint16 MousePointer() const { return m_mousePointer; }
    void setMousePointer(qint16 pointer);
    QPixmap MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap &icon);
    int Max() const { return m_max; }
    void setMax(int max);
    int Min() const { return m_min; }
    void setMin(int min);
    int Value() const { return m_value; }
    // Answers 0, or kInvalidPropertyValue for a value outside Min…Max (then nothing changes).
    [[nodiscard]] int setValue(int value);
    qint16 Orientation() const { return m_orientation; }
    void setOrientation(qint16 orientation);
    qint16 RailStyle() const { return m_railStyle; }
    void setRailStyle(qint16 style);
    QPixmap SliderImage() const { return m_sliderImage; }
    void setSliderImage(const QPixmap &image);
    QPixmap RailImage() const { return m_railImage; }
    void setRailImage(const QPixmap &image);
    bool ShowValueTip() const { return m_showValueTip; }
    void setShowValueTip(bool show);

    // The property bag: a settings group, read and written property by property; a value
    // equal to its default is not written, and a missing one reads as its default.
    void ReadProperties(QSettings &bag);
    void WriteProperties(QSettings &bag) const;

    // Where the thumb's left (horizontal) or top (vertical) edge is, in pixels.
    int thumbPosition() const { return m_thumbPos; }
    QRect thumbRect() const;
    bool isDragging() const { return m_dragging; }
    QSize sizeHint() const override;

Q_SIGNALS:
    void Click();
    void ReachedMin();
    void ReachedMax();
    void Changed();
    void SlideStart(Qt::MouseButton button);
    void SlideEnd(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool horizontal() const { return m_orientation == 0; }
    QSize thumbSize() const;
    int freeLength() const;
    void placeThumb();
    void dragTo(const QPoint &pointer);
    void applyPointer();
    QColor backgroundColour() const;

    // UI thread only.
    quint32 m_backColor = kButtonFace;
    qint16 m_mousePointer = 0;
    QPixmap m_mouseIcon;
    int m_max = 10;
    int m_min = 0;
    int m_value = 0;
    qint16 m_orientation = 1;
    qint16 m_railStyle = 0;
    QPixmap m_sliderImage;
    QPixmap m_railImage;
    bool m_showValueTip = true;

    int m_previous = 0; // the value last placed and announced
    int m_thumbPos = 0;
    bool m_dragging = false;
    QPoint m_grab; // pointer minus the thumb's left and top when the drag began
    QPointer<frmSliderCtrl> m_tip;
};

// Whole numbers to the nearest, halves to the even neighbour (2.5 → 2, 3.5 → 4).
int RoundHalfEven(double value);

} // namespace tv

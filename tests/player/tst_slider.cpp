// The slider control driven with the mouse and through its properties: placement, dragging in
// both orientations, rounding, events and their order, the value tip, error 380 and an empty
// range.
#include "Slider_Ctrl.h"
#include "TestEnv.h"
#include "WindowDriver.h"

#include <QLabel>

using namespace tv;

namespace {

// Every event of a slider as its name, in order.
struct Events : QObject {
    explicit Events(Slider_Ctrl &s) {
        connect(&s, &Slider_Ctrl::Click, this, [this]() { names << "Click"; });
        connect(&s, &Slider_Ctrl::ReachedMin, this, [this]() { names << "ReachedMin"; });
        connect(&s, &Slider_Ctrl::ReachedMax, this, [this]() { names << "ReachedMax"; });
        connect(&s, &Slider_Ctrl::Changed, this,
                [this, &s]() { names << QString("Changed %1").arg(s.Value()); });
        connect(&s, &Slider_Ctrl::SlideStart, this, [this](Qt::MouseButton) { names << "SlideStart"; });
        connect(&s, &Slider_Ctrl::SlideEnd, this, [this](Qt::MouseButton) { names << "SlideEnd"; });
    }
    QStringList names;
};

// A slider of a known geometry: thumb 10x10, so the free length is the size minus 10.
void Shape(Slider_Ctrl &s, qint16 orientation, QSize size, int min, int max) {
    QPixmap thumb(10, 10);
    thumb.fill(Qt::darkGray);
    s.setSliderImage(thumb);
    s.setOrientation(orientation);
    s.setMin(min);
    s.setMax(max);
    s.resize(size);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
}

void Drag(Slider_Ctrl &s, QPoint from, QPoint to) {
    QTest::mousePress(&s, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, s.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&s, &move);
    QTest::mouseRelease(&s, Qt::LeftButton, {}, to);
}

} // namespace

class SliderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valuesOutsideTheRangeAreRefusedAndEventsComeInOrder() {
        Slider_Ctrl s;
        Shape(s, 0, QSize(110, 20), 0, 100);
        Events events(s);
        QCOMPARE(s.setValue(40), 0);
        QCOMPARE(s.thumbPosition(), 40);
        QCOMPARE(s.setValue(101), Slider_Ctrl::kInvalidPropertyValue);
        QCOMPARE(s.setValue(-1), Slider_Ctrl::kInvalidPropertyValue);
        QCOMPARE(s.Value(), 40);
        QCOMPARE(s.thumbPosition(), 40);
        QCOMPARE(s.setValue(40), 0); // the same value again says nothing
        QCOMPARE(s.setValue(100), 0);
        QCOMPARE(s.setValue(0), 0);
        QCOMPARE(events.names,
                 QStringList({"Changed 40", "Changed 100", "ReachedMax", "Changed 0", "ReachedMin"}));

        // With Max = Min the range is empty: nothing divides by it, the thumb rests at the start
        // and a drag anywhere gives that one value.
        Slider_Ctrl empty;
        Shape(empty, 0, QSize(110, 20), 5, 5);
        QCOMPARE(empty.setValue(5), 0);
        QCOMPARE(empty.thumbPosition(), 0);
        Events emptyEvents(empty);
        Drag(empty, QPoint(2, 10), QPoint(90, 10));
        QCOMPARE(empty.Value(), 5);
        QCOMPARE(emptyEvents.names, QStringList({"SlideStart", "Click", "SlideEnd"}));
    }

    void draggingReachesBothEndsInEitherOrientation() {
        Slider_Ctrl h;
        Shape(h, 0, QSize(110, 20), 0, 10);
        Events events(h);
        // Grabbing the thumb keeps the grab offset; dragging past the end clamps to Max.
        Drag(h, QPoint(5, 10), QPoint(300, 10));
        QCOMPARE(h.Value(), 10);
        QCOMPARE(h.thumbPosition(), 100);
        QCOMPARE(events.names, QStringList({"SlideStart", "Changed 10", "ReachedMax", "SlideEnd"}));

        // A click on the rail away from the thumb centres it under the pointer at once, before
        // the slide starts.
        events.names.clear();
        QTest::mouseClick(&h, Qt::LeftButton, {}, QPoint(35, 10));
        QCOMPARE(h.Value(), 3);
        QCOMPARE(h.thumbPosition(), 30);
        QCOMPARE(events.names, QStringList({"Changed 3", "SlideStart", "Click", "SlideEnd"}));

        // The vertical slider has its minimum at the bottom and its maximum at the top.
        Slider_Ctrl v;
        Shape(v, 1, QSize(20, 110), -50, 50);
        QCOMPARE(v.setValue(-50), 0);
        QCOMPARE(v.thumbPosition(), 100);
        Drag(v, QPoint(10, 105), QPoint(10, -40));
        QCOMPARE(v.Value(), 50);
        QCOMPARE(v.thumbPosition(), 0);
        Drag(v, QPoint(10, 5), QPoint(10, 55));
        QCOMPARE(v.Value(), 0);
        Drag(v, QPoint(10, 55), QPoint(10, 500));
        QCOMPARE(v.Value(), -50);

        // A disabled slider takes no mouse input.
        v.setEnabled(false);
        QTest::mouseClick(&v, Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(v.Value(), -50);
    }

    void dragValuesRoundHalvesToEven() {
        // Free length 10 over a range of 5: every odd pixel is exactly half a step.
        Slider_Ctrl s;
        Shape(s, 0, QSize(20, 20), 0, 5);
        const QList<QPair<int, int>> pixelToValue = {{1, 0}, {3, 2}, {5, 2}, {7, 4}, {9, 4}, {4, 2}, {6, 3}};
        for (const auto &[pixel, value] : pixelToValue) {
            // Pressed off the thumb, the thumb's middle goes to the pointer: left = x - 5.
            QCOMPARE(s.setValue(pixel + 5 < 10 ? 5 : 0), 0);
            QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(pixel + 5, 10));
            QCOMPARE(s.Value(), value);
            QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(pixel + 5, 10));
        }
        QCOMPARE(RoundHalfEven(-2.5), -2);
        QCOMPARE(RoundHalfEven(-3.5), -4);
    }

    void theValueTipFollowsTheDrag() {
        Slider_Ctrl s;
        Shape(s, 0, QSize(110, 20), 0, 10);
        QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(75, 10));
        auto *tip = qobject_cast<QWidget *>(tv::test::VisibleWindow("frmSliderCtrl"));
        QVERIFY(tip);
        QCOMPARE(tip->findChild<QLabel *>("lblTip")->text(), QStringLiteral("7"));
        QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(75, 10));
        QTRY_VERIFY(!tv::test::VisibleWindow("frmSliderCtrl"));
    }
};

TV_TEST_MAIN(SliderTest)
#include "tst_slider.moc"

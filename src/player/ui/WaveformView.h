#pragma once
// The waveform of the sound editor's sound: a time ruler on top, an amplitude ruler at the
// left, one lane per channel, a scroll bar beneath. Dragging selects a part (a click without
// dragging selects 0 ms at that point); the handles at either end of a selection move that
// end; the wheel scrolls, and zooms about the pointer with Ctrl. Its operations and events are
// the ones the trim window uses (get and set selection, show range, the four zooms, refresh;
// selection changed, view range changed).

#include "WaveformGeometry.h"

#include <QColor>
#include <QWidget>
#include <memory>
#include <vector>

class QScrollBar;
class QTimer;

namespace tv {

class PeakPyramid;
class SoundEditor;
class WaveFile;
struct ColumnPeak;

class WaveformView : public QWidget {
    Q_OBJECT
public:
    explicit WaveformView(SoundEditor *editor, QWidget *parent = nullptr);
    ~WaveformView() override;

    // The selection in milliseconds; shown is false while there is none.
    void GetSelection(bool *shown, qint64 *start, qint64 *end) const;
    void SetSelection(bool shown, qint64 start, qint64 end);
    // Shows [start, end]; end −1 is the end of the sound.
    void ShowRange(qint64 start, qint64 end);
    void ZoomIn();
    void ZoomOut();
    void ZoomToFull();
    void ZoomToSelection();
    // Has the editor analyse the sound again.
    void Refresh();

    // Theme 1: the system's colours; otherwise light text on a dark background.
    void setThemeNo(int themeNo);
    // The playing position (a line across the lanes); −1 for none.
    void setPlayPosition(qint64 ms);
    qint64 playPosition() const { return m_playMs; }

    const WaveformGeometry &geometry() const { return m_geometry; }
    bool hasSound() const { return m_peaks != nullptr; }
    // The area the lanes take, in the widget's coordinates (the ruler above, the scroll bar below).
    QRect lanesRect() const;
    // The column a millisecond stands at, in the widget's coordinates.
    int xOfMs(qint64 ms) const;

Q_SIGNALS:
    void SelectionChanged(int shown, qint64 start, qint64 end);
    void ViewRangeChanged(qint64 start, qint64 end);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    static constexpr int kRulerHeight = 24;
    static constexpr int kGutter = 40;
    static constexpr int kHandleReach = 5; // pixels either side of a selection end that grab it
    static constexpr int kHandleSize = 6;

    enum class Drag { None, Creating, StartHandle, EndHandle };
    struct Colours {
        QColor background, lane, wave, centre, text, ruler, rulerText, selection, handle, play;
    };

    void onSoundChanged();
    void viewChanged();
    void syncScrollBar();
    void onScrolled(int value);
    void setSelectionFromUser(qint64 start, qint64 end);
    void dragTo(double x);
    void autoScroll();
    Drag handleAt(const QPoint &pos) const;
    double laneX(const QPoint &pos) const;
    void updateColours();
    void paintRuler(QPainter &painter, const QRect &area);
    void paintAmplitudeRuler(QPainter &painter, const QRect &lanes);
    void paintLanes(QPainter &painter, const QRect &lanes);
    void paintSamples(QPainter &painter, const QRect &lane, int channel);
    void paintSelection(QPainter &painter, const QRect &lanes, const QRect &ruler);

    // UI thread only.
    SoundEditor *m_editor;
    std::shared_ptr<const WaveFile> m_wave;
    std::shared_ptr<const PeakPyramid> m_peaks;
    WaveformGeometry m_geometry;
    QScrollBar *m_scroll = nullptr;
    QTimer *m_autoScroll = nullptr;
    bool m_selShown = false;
    qint64 m_selStart = 0;
    qint64 m_selEnd = 0;
    qint64 m_playMs = -1;
    Drag m_drag = Drag::None;
    qint64 m_anchorMs = 0;
    double m_lastDragX = 0;
    qint64 m_lastViewStart = -1;
    qint64 m_lastViewEnd = -1;
    bool m_syncingScroll = false;
    int m_themeNo = 1;
    Colours m_colours;
    // The peaks of the columns on screen, one vector per channel, and what they were made for.
    std::vector<std::vector<ColumnPeak>> m_columns;
    struct ColumnsKey {
        double first = -1, perColumn = -1;
        int count = -1;
        const PeakPyramid *peaks = nullptr;
        bool operator==(const ColumnsKey &) const = default;
    } m_columnsKey;
};

} // namespace tv

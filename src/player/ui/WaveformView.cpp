#include "WaveformView.h"

#include "PeakPyramid.h"
#include "SoundEditor.h"
#include "WaveFile.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace tv {

WaveformView::WaveformView(SoundEditor *editor, QWidget *parent) : QWidget(parent), m_editor(editor) {
    setObjectName(QStringLiteral("PicWave"));
    setMouseTracking(true);
    setMinimumSize(320, 160);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::IBeamCursor);
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setObjectName(QStringLiteral("ScrollWave"));
    m_scroll->setCursor(Qt::ArrowCursor);
    connect(m_scroll, &QScrollBar::valueChanged, this, &WaveformView::onScrolled);
    m_autoScroll = new QTimer(this);
    m_autoScroll->setInterval(40);
    connect(m_autoScroll, &QTimer::timeout, this, &WaveformView::autoScroll);
    connect(m_editor, &SoundEditor::SoundChanged, this, &WaveformView::onSoundChanged);
    // Once the waveform is analysed the view tells its selection (or that there is none).
    connect(m_editor, &SoundEditor::WaveformAnalysisFinished, this,
            [this]() { Q_EMIT SelectionChanged(m_selShown ? 1 : 0, m_selStart, m_selEnd); });
    updateColours();
}

WaveformView::~WaveformView() = default;

QRect WaveformView::lanesRect() const {
    const int bottom = height() - m_scroll->sizeHint().height();
    return QRect(kGutter, kRulerHeight, std::max(1, width() - kGutter), std::max(1, bottom - kRulerHeight));
}

int WaveformView::xOfMs(qint64 ms) const {
    return lanesRect().left() + int(std::lround(m_geometry.xOfMs(ms)));
}

void WaveformView::resizeEvent(QResizeEvent *) {
    const int barHeight = m_scroll->sizeHint().height();
    m_scroll->setGeometry(kGutter, height() - barHeight, std::max(1, width() - kGutter), barHeight);
    m_geometry.setWidth(lanesRect().width());
    viewChanged();
}

void WaveformView::onSoundChanged() {
    m_wave = m_editor->wave();
    m_peaks = m_editor->peaks();
    m_columnsKey = ColumnsKey();
    m_selShown = false;
    m_selStart = m_selEnd = 0;
    m_playMs = -1;
    m_drag = Drag::None;
    if (m_wave && m_peaks)
        m_geometry.setSound(m_wave->frames(), m_wave->sampleRate());
    else
        m_geometry.setSound(0, 0);
    m_geometry.setWidth(lanesRect().width());
    viewChanged();
}

void WaveformView::viewChanged() {
    syncScrollBar();
    update();
    const qint64 start = m_geometry.viewStartMs();
    const qint64 end = m_geometry.viewEndMs();
    if (start != m_lastViewStart || end != m_lastViewEnd) {
        m_lastViewStart = start;
        m_lastViewEnd = end;
        Q_EMIT ViewRangeChanged(start, end);
    }
}

void WaveformView::syncScrollBar() {
    m_syncingScroll = true;
    const double perColumn = m_geometry.framesPerColumn();
    const double columns = m_geometry.isEmpty() ? 0 : m_geometry.frames() / perColumn;
    const int maximum = int(std::clamp(std::ceil(columns - m_geometry.width()), 0.0, 2e9));
    m_scroll->setRange(0, maximum);
    m_scroll->setPageStep(std::max(1, m_geometry.width()));
    m_scroll->setSingleStep(std::max(1, m_geometry.width() / 16));
    m_scroll->setValue(int(std::lround(m_geometry.firstFrame() / perColumn)));
    m_scroll->setEnabled(maximum > 0);
    m_syncingScroll = false;
}

void WaveformView::onScrolled(int value) {
    if (m_syncingScroll)
        return;
    m_geometry.scrollTo(value * m_geometry.framesPerColumn());
    viewChanged();
}

void WaveformView::GetSelection(bool *shown, qint64 *start, qint64 *end) const {
    *shown = m_selShown;
    *start = m_selShown ? m_selStart : 0;
    *end = m_selShown ? m_selEnd : 0;
}

void WaveformView::SetSelection(bool shown, qint64 start, qint64 end) {
    if (!shown || !hasSound()) {
        m_selShown = false;
        m_selStart = m_selEnd = 0;
        update();
        Q_EMIT SelectionChanged(0, 0, 0);
        return;
    }
    const qint64 length = m_geometry.lengthMs();
    m_selShown = true;
    m_selStart = std::clamp<qint64>(std::min(start, end), 0, length);
    m_selEnd = std::clamp<qint64>(std::max(start, end), 0, length);
    update();
    Q_EMIT SelectionChanged(1, m_selStart, m_selEnd);
}

void WaveformView::setSelectionFromUser(qint64 start, qint64 end) {
    if (m_selShown && start == m_selStart && end == m_selEnd)
        return;
    SetSelection(true, start, end);
}

void WaveformView::ShowRange(qint64 start, qint64 end) {
    m_geometry.showRange(start, end);
    viewChanged();
}

void WaveformView::ZoomIn() {
    m_geometry.zoomIn();
    viewChanged();
}

void WaveformView::ZoomOut() {
    m_geometry.zoomOut();
    viewChanged();
}

void WaveformView::ZoomToFull() {
    m_geometry.zoomFull();
    viewChanged();
}

void WaveformView::ZoomToSelection() {
    if (m_selShown && m_selEnd > m_selStart)
        ShowRange(m_selStart, m_selEnd);
}

void WaveformView::Refresh() {
    m_editor->RefreshWaveform();
}

void WaveformView::setPlayPosition(qint64 ms) {
    if (ms == m_playMs)
        return;
    m_playMs = ms;
    update();
}

// Mouse ---------------------------------------------------------------------------------------

double WaveformView::laneX(const QPoint &pos) const {
    return pos.x() - lanesRect().left();
}

WaveformView::Drag WaveformView::handleAt(const QPoint &pos) const {
    if (!m_selShown)
        return Drag::None;
    const int toStart = std::abs(pos.x() - xOfMs(m_selStart));
    const int toEnd = std::abs(pos.x() - xOfMs(m_selEnd));
    // Where both ends meet, the end is taken: the drag's direction sorts them out.
    if (toEnd <= kHandleReach && toEnd <= toStart)
        return Drag::EndHandle;
    if (toStart <= kHandleReach)
        return Drag::StartHandle;
    return Drag::None;
}

void WaveformView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !hasSound() || event->position().y() >= lanesRect().bottom() + 1)
        return;
    const QPoint pos = event->position().toPoint();
    m_lastDragX = laneX(pos);
    m_drag = handleAt(pos);
    if (m_drag != Drag::None)
        return;
    // A click selects 0 ms where it lands; dragging from there selects the part passed over.
    m_drag = Drag::Creating;
    m_anchorMs = m_geometry.msAtX(std::clamp(m_lastDragX, 0.0, double(m_geometry.width())));
    setSelectionFromUser(m_anchorMs, m_anchorMs);
}

void WaveformView::mouseMoveEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    if (m_drag == Drag::None) {
        setCursor(handleAt(pos) != Drag::None ? Qt::SizeHorCursor : Qt::IBeamCursor);
        return;
    }
    const double x = laneX(pos);
    if (m_drag == Drag::Creating && std::abs(x - m_lastDragX) < QApplication::startDragDistance() &&
        m_selEnd == m_selStart)
        return;
    m_lastDragX = x;
    // Past either edge the view follows the pointer.
    if (x < 0 || x > m_geometry.width()) {
        if (!m_autoScroll->isActive())
            m_autoScroll->start();
    } else {
        m_autoScroll->stop();
    }
    dragTo(x);
}

void WaveformView::dragTo(double x) {
    const qint64 ms = m_geometry.msAtX(std::clamp(x, 0.0, double(m_geometry.width())));
    switch (m_drag) {
    case Drag::Creating:
        setSelectionFromUser(std::min(m_anchorMs, ms), std::max(m_anchorMs, ms));
        break;
    case Drag::StartHandle:
        if (ms > m_selEnd) {
            m_drag = Drag::EndHandle;
            setSelectionFromUser(m_selEnd, ms);
        } else {
            setSelectionFromUser(ms, m_selEnd);
        }
        break;
    case Drag::EndHandle:
        if (ms < m_selStart) {
            m_drag = Drag::StartHandle;
            setSelectionFromUser(ms, m_selStart);
        } else {
            setSelectionFromUser(m_selStart, ms);
        }
        break;
    case Drag::None:
        break;
    }
}

void WaveformView::autoScroll() {
    if (m_drag == Drag::None) {
        m_autoScroll->stop();
        return;
    }
    const double x = m_lastDragX;
    const double overshoot = x < 0 ? x : x - m_geometry.width();
    m_geometry.scrollTo(m_geometry.firstFrame() + overshoot * m_geometry.framesPerColumn());
    viewChanged();
    dragTo(x);
}

void WaveformView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_autoScroll->stop();
    m_drag = Drag::None;
}

void WaveformView::wheelEvent(QWheelEvent *event) {
    if (!hasSound())
        return;
    const QPoint delta = event->angleDelta();
    const int steps = delta.y() != 0 ? delta.y() : delta.x();
    if (steps == 0)
        return;
    if (event->modifiers() & Qt::ControlModifier) {
        m_geometry.zoomAbout(laneX(event->position().toPoint()), std::pow(2.0, steps / 120.0));
    } else {
        const double view = m_geometry.width() * m_geometry.framesPerColumn();
        m_geometry.scrollTo(m_geometry.firstFrame() - steps / 120.0 * view / 8);
    }
    viewChanged();
    event->accept();
}

} // namespace tv

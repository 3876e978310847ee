#include "BurnListView.h"

#include "BurnListModel.h"
#include "BurnSpace.h"
#include "ImageStore.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace tv {

void BurnListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const {
    const QString icon = index.data(BurnListModel::IconRole).toString();
    if (icon.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    const int side = qMin(16, option.rect.height() - 2);
    painter->drawPixmap(
        QRect(option.rect.center().x() - side / 2 + 1, option.rect.center().y() - side / 2 + 1, side, side),
        ThemePixmap(icon, QSize(side, side)));
}

BurnListView::BurnListView(BurnListModel *model, QWidget *parent) : QTableView(parent), m_model(model) {
    setObjectName(QStringLiteral("FileViewMain"));
    setModel(model);
    setItemDelegate(new BurnListDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    const QList<int> widths = BurnListModel::Widths(model->kind());
    for (int column = 0; column < widths.size(); ++column) {
        setColumnWidth(column, widths.at(column));
        setColumnHidden(column, column >= BurnListModel::VisibleColumns(model->kind()));
    }
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    setDragDropOverwriteMode(false);
}

QList<int> BurnListView::selectedRowNumbers() const {
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void BurnListView::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        Q_EMIT removeRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

BurnListFooter::BurnListFooter(BurnListView *view, QWidget *parent) : QWidget(parent), m_view(view) {
    setObjectName(QStringLiteral("FileViewMain_Footer"));
    connect(view->list(), &BurnListModel::footerTextChanged, this, qOverload<>(&QWidget::update));
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, qOverload<>(&QWidget::update));
    connect(view->horizontalHeader(), &QHeaderView::geometriesChanged, this, qOverload<>(&QWidget::update));
}

QSize BurnListFooter::sizeHint() const {
    return {200, fontMetrics().height() + 8};
}

void BurnListFooter::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::AlternateBase));
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    const QHeaderView *header = m_view->horizontalHeader();
    const int shift = m_view->frameWidth();
    for (int column = 1; column < BurnListModel::VisibleColumns(m_view->list()->kind()); ++column) {
        const QString text = m_view->list()->footerText(column);
        if (text.isEmpty())
            continue;
        const QRect cell(header->sectionViewportPosition(column) + shift + 4, 0,
                         header->sectionSize(column) - 8, height());
        painter.drawText(cell, Qt::AlignVCenter | (column == 1 ? Qt::AlignLeft : Qt::AlignHCenter), text);
    }
}

DiscGauge::DiscGauge(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PicCDSize"));
    setFixedSize(64, 64);
}

QString DiscGauge::imageName() const {
    return QStringLiteral("img_cdsize_%1.png").arg(m_step);
}

void DiscGauge::setSpace(const DiscSpace &space) {
    m_step = space.known ? space.step : 0;
    m_burnEnd = space.known ? qMin(1.0, space.burnPercent / 100.0) : 0;
    m_overfull = space.known && space.free < 0;
    setToolTip(space.known ? QStringLiteral("%1 % used").arg(space.percent) : QString());
    update();
}

void DiscGauge::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height());
    const QRect box((width() - side) / 2, (height() - side) / 2, side, side);
    painter.drawPixmap(box, ThemePixmap(imageName(), box.size()));
    // The images fill clockwise from the top up to their step; the part still to be burned
    // continues from there. Their disc has a radius of 29 and a hole of 8 in 64.
    const double start = m_step == kGaugeSteps - 1 ? 1.0 : m_step * 5 / 100.0;
    if (m_burnEnd <= start && !m_overfull)
        return;
    const QPointF centre = QRectF(box).center();
    const double radius = side * 29.0 / 64.0;
    const double hole = side * 8.0 / 64.0;
    const QRectF outer(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    const QRectF inner(centre.x() - hole, centre.y() - hole, 2 * hole, 2 * hole);
    const double end = m_overfull ? 1.0 : m_burnEnd;
    QPainterPath wedge;
    wedge.moveTo(centre);
    wedge.arcTo(outer, 90 - start * 360, -(end - start) * 360);
    wedge.closeSubpath();
    QPainterPath cut;
    cut.addEllipse(inner);
    painter.fillPath(wedge.subtracted(cut), m_overfull ? QColor(220, 40, 40, 190) : QColor(255, 149, 0, 170));
}

} // namespace tv

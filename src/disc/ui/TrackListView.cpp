#include "TrackListView.h"

#include "FileListDelegate.h"
#include "ImageStore.h"
#include "TrackListModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace tv {

void TrackListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const {
    const QString icon = index.data(TrackListModel::StatusIconRole).toString();
    const int percent = index.column() == TrackListModel::ProgressColumn
                            ? index.data(TrackListModel::ProgressRole).toInt()
                            : -1;
    if (icon.isEmpty() && percent < 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    painter->save();
    painter->setClipRect(option.rect);
    if (!icon.isEmpty()) {
        const int side = qMin(16, option.rect.height() - 2);
        const QPixmap pixmap = ThemePixmap(icon);
        if (!pixmap.isNull())
            painter->drawPixmap(QRect(option.rect.center().x() - side / 2 + 1,
                                      option.rect.center().y() - side / 2 + 1, side, side),
                                pixmap);
    }
    if (percent >= 0) {
        // The same figure the main list shows for a row being converted.
        const QRect track = option.rect.adjusted(1, 2, -1, -2);
        painter->fillRect(track, QColor(QLatin1String(kProgressTrackColor)));
        const QRect bar(track.left(), track.top(), track.width() * percent / 100, track.height());
        painter->fillRect(bar, QColor(QLatin1String(kProgressBarColor)));
        painter->setClipRect(bar);
        QFont font = opt.font;
        font.setBold(true);
        painter->setFont(font);
        painter->setPen(Qt::white);
        painter->drawText(bar, Qt::AlignCenter, QString::number(percent) + QLatin1Char('%'));
    }
    painter->restore();
}

TrackListView::TrackListView(TrackListModel *model, QWidget *parent) : QTableView(parent), m_model(model) {
    setObjectName(QStringLiteral("TrackViewMain"));
    setModel(model);
    setItemDelegate(new TrackListDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(22);
    horizontalHeader()->setHighlightSections(false);
    const int widths[] = {22, 20, 270, 100, 150, 600};
    for (int column = 0; column < 6; ++column)
        setColumnWidth(column, widths[column]);
    horizontalHeader()->setStretchLastSection(true);
    connect(model, &TrackListModel::emptyTextChanged, viewport(), [this]() { viewport()->update(); });
}

void TrackListView::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        const QModelIndex tick = m_model->index(currentIndex().row(), TrackListModel::TickColumn);
        if (m_model->rowCount() > 0 && tick.isValid() && isEnabled() &&
            (m_model->flags(tick) & Qt::ItemIsEnabled))
            m_model->setTicked(tick.row(), !m_model->isTicked(tick.row()));
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TrackListView::paintEvent(QPaintEvent *event) {
    QTableView::paintEvent(event);
    if (m_model->rowCount() > 0 || m_model->emptyText().isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect().adjusted(12, 24, -12, -12),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_model->emptyText());
}

TrackListFooter::TrackListFooter(TrackListView *view, QWidget *parent) : QWidget(parent), m_view(view) {
    setObjectName(QStringLiteral("TrackViewMainFooter"));
    connect(view->tracks(), &TrackListModel::footerTextChanged, this, qOverload<>(&QWidget::update));
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, qOverload<>(&QWidget::update));
    connect(view->horizontalHeader(), &QHeaderView::geometriesChanged, this, qOverload<>(&QWidget::update));
}

QSize TrackListFooter::sizeHint() const {
    return QSize(200, fontMetrics().height() + 8);
}

void TrackListFooter::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::AlternateBase));
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    const QHeaderView *header = m_view->horizontalHeader();
    const int shift = m_view->frameWidth();
    for (const int column : {TrackListModel::TitleColumn, TrackListModel::DurationColumn}) {
        const QRect cell(header->sectionViewportPosition(column) + shift + 4, 0,
                         header->sectionSize(column) - 8, height());
        painter.drawText(cell, Qt::AlignVCenter | Qt::AlignLeft, m_view->tracks()->footerText(column));
    }
}

} // namespace tv

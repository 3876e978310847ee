#include "FileListFooter.h"

#include "FileListModel.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyleOption>

namespace tv {

FileListFooter::FileListFooter(QHeaderView *header, FileListModel *model, QWidget *parent)
    : QWidget(parent), m_header(header), m_model(model) {
    setObjectName(QStringLiteral("FileViewMain_Footer"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    connect(model, &FileListModel::footerTextChanged, this, qOverload<>(&QWidget::update));
    connect(header, &QHeaderView::sectionResized, this, qOverload<>(&QWidget::update));
    connect(header, &QHeaderView::sectionMoved, this, qOverload<>(&QWidget::update));
    connect(header, &QHeaderView::geometriesChanged, this, qOverload<>(&QWidget::update));
}

QSize FileListFooter::sizeHint() const {
    return {100, fontMetrics().height() + 8};
}

void FileListFooter::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, width(), 0);
    painter.setPen(palette().color(QPalette::ButtonText));
    const int offset = m_header->pos().x();
    for (int column = 0; column < m_header->count(); ++column) {
        if (m_header->isSectionHidden(column))
            continue;
        const QString text = m_model->footerText(column);
        if (text.isEmpty())
            continue;
        const int x = m_header->sectionViewportPosition(column) + offset;
        const QRect cell(x + 4, 0, m_header->sectionSize(column) - 8, height());
        const QVariant align = m_model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole);
        const int flags = (align.isValid() ? align.toInt() : int(Qt::AlignLeft)) | Qt::AlignVCenter;
        painter.drawText(cell, flags, fontMetrics().elidedText(text, Qt::ElideRight, cell.width()));
    }
}

} // namespace tv

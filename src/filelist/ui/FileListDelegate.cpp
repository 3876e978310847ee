#include "FileListDelegate.h"

#include "FileListModel.h"
#include "ImageStore.h"
#include "KeyFilters.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>

namespace tv {

void FileListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const {
    const QString icon = index.data(FileListModel::StatusIconRole).toString();
    const QVariant progress = index.data(FileListModel::ProgressRole);
    if (icon.isEmpty() && !progress.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        // A trimmed file carries the trim mark before its duration.
        if (index.data(FileListModel::DurationIconRole).toInt() == kTrimmedIcon) {
            const int side = qMin(14, option.rect.height() - 4);
            const QRect target(option.rect.left() + 3, option.rect.center().y() - side / 2 + 1, side, side);
            QPixmap mark = ThemePixmap(QStringLiteral("img_trim_selected.png"), target.size());
            // On a selected row the mark takes the selected text's colour, or the blue of the
            // selection would swallow it.
            if (option.state & QStyle::State_Selected) {
                QPainter tint(&mark);
                tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
                tint.fillRect(mark.rect(), option.palette.color(QPalette::HighlightedText));
            }
            painter->drawPixmap(target, mark);
        }
        return;
    }

    // The row's background (selection, hover) as the style draws it, then the cell's content.
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    opt.icon = QIcon();
    const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    painter->save();
    painter->setClipRect(option.rect);
    if (!icon.isEmpty()) {
        const int side = qMin(16, option.rect.height() - 2);
        const QPixmap pixmap = ThemePixmap(icon);
        const QRect target(option.rect.center().x() - side / 2 + 1, option.rect.center().y() - side / 2 + 1,
                           side, side);
        if (!pixmap.isNull())
            painter->drawPixmap(target, pixmap);
    }
    if (progress.isValid()) {
        const RowProgressCell cell = progress.value<RowProgressCell>();
        const int height = qBound(0, cell.height, option.rect.height());
        const QRect track(option.rect.left(), option.rect.top() + (option.rect.height() - height) / 2,
                          cell.width, height);
        painter->fillRect(track, QColor(QLatin1String(kProgressTrackColor)));
        const QRect bar(track.left(), track.top(), qMax(0, cell.bar), height);
        if (bar.width() > 0) {
            painter->fillRect(bar, QColor(QLatin1String(kProgressBarColor)));
            // The figure belongs to the bar: it shows only as far as the bar reaches.
            painter->setClipRect(bar.intersected(option.rect));
            QFont font = opt.font;
            font.setBold(true);
            painter->setFont(font);
            painter->setPen(Qt::white);
            painter->drawText(bar, Qt::AlignCenter, QString::number(cell.percent) + QLatin1Char('%'));
        }
    }
    painter->restore();
}

QWidget *FileListDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const {
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setObjectName(QStringLiteral("Txt_RenameInPlace"));
        InstallFileNameKeyFilter(line);
    }
    return editor;
}

} // namespace tv

#pragma once
// Draws the cells of the file list that are more than text: the status icon of column 0, the
// trim mark of column 3 and the progress figure of column 4 (a blue bar on light grey with the bold white
// percentage inside the bar). Gives the "Name" cell an editor that keeps out characters a file name cannot
// hold.

#include <QStyledItemDelegate>

namespace tv {

class FileListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};

// Colours of the progress figure.
inline constexpr char kProgressTrackColor[] = "#ebebeb";
inline constexpr char kProgressBarColor[] = "#007AFF";

} // namespace tv

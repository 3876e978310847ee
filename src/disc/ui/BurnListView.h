#pragma once
// A burner's list on screen: the type icons, the shown columns with the hidden fields after
// them, rows dragged within the list, files dropped onto it, the footer row, and the space
// gauge picture PicCDSize beside it.

#include <QStyledItemDelegate>
#include <QTableView>
#include <QWidget>

namespace tv {

class BurnListModel;
struct DiscSpace;

class BurnListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

class BurnListView : public QTableView {
    Q_OBJECT
public:
    BurnListView(BurnListModel *model, QWidget *parent = nullptr);
    BurnListModel *list() const { return m_model; }
    QList<int> selectedRowNumbers() const;

Q_SIGNALS:
    // Delete was pressed on the list.
    void removeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    BurnListModel *m_model;
};

// The footer row under the list: the file count and the total length or size.
class BurnListFooter : public QWidget {
    Q_OBJECT
public:
    BurnListFooter(BurnListView *view, QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    BurnListView *m_view;
};

// PicCDSize: the gauge image of the used percentage, with what is still to be burned drawn
// over it (red where it would not fit).
class DiscGauge : public QWidget {
    Q_OBJECT
public:
    explicit DiscGauge(QWidget *parent = nullptr);
    void setSpace(const DiscSpace &space);
    int step() const { return m_step; }
    // The image shown: "img_cdsize_<step>.png".
    QString imageName() const;
    QSize sizeHint() const override { return {64, 64}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_step = 0;
    double m_burnEnd = 0; // fraction of the disc reached once the compilation is burned
    bool m_overfull = false;
};

} // namespace tv

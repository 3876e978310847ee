#pragma once
// The ripper's track list on screen: status icons, ticks, the progress figure of the track being
// read, the empty-list text, a footer under the title and duration columns, and the Space key
// that ticks or unticks the focused track.

#include <QStyledItemDelegate>
#include <QTableView>
#include <QWidget>

namespace tv {

class TrackListModel;

class TrackListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

class TrackListView : public QTableView {
    Q_OBJECT
public:
    TrackListView(TrackListModel *model, QWidget *parent = nullptr);
    TrackListModel *tracks() const { return m_model; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    TrackListModel *m_model;
};

// The footer row: the track count under "Title", the total length under "Duration".
class TrackListFooter : public QWidget {
    Q_OBJECT
public:
    TrackListFooter(TrackListView *view, QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TrackListView *m_view;
};

} // namespace tv

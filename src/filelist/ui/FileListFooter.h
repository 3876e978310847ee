#pragma once
// The footer row under the file list: one text per column, aligned with the column above it
// (the file count, the total duration, the elapsed time of a batch).

#include <QWidget>

class QHeaderView;

namespace tv {

class FileListModel;

class FileListFooter : public QWidget {
    Q_OBJECT
public:
    FileListFooter(QHeaderView *header, FileListModel *model, QWidget *parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QHeaderView *m_header;
    FileListModel *m_model;
};

} // namespace tv

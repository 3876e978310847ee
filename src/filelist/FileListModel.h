#pragma once
// The rows of the main file list: one media item per row, shown through 46 columns (items 0
// to 44, item 27 twice), with each row's status icon and progress figure and the list's
// footers. Owned and used by the UI thread only.

#include "MediaItem.h"
#include "RowProgress.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <vector>

namespace tv {

// The icon of the "Duration" column that marks a trimmed file.
inline constexpr int kTrimmedIcon = 14;

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Extra data of a cell beside its text.
    enum Role {
        StatusIconRole = Qt::UserRole + 1, // column 0: image file name of the status icon
        ProgressRole,                      // column 4: RowProgressCell while a figure is shown
        ProgressMarkupRole,                // column 4: the markup of that figure
        DurationIconRole,                  // column 3: icon number of the list's icon strip (0 none)
    };

    explicit FileListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Rows move inside the list under the program's private clipboard format; dropped files
    // (a list of addresses) are passed on through filesDropped.
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    // Rows and their items.
    int appendItem(const MediaItem &item);
    const MediaItem &mediaItem(int row) const;
    QString item(int row, int index) const;
    void setItem(int row, int index, const QString &text);
    // Removes the rows (any order, duplicates ignored); answers the removed items.
    QList<MediaItem> removeRowsAt(QList<int> rows);
    QList<MediaItem> clearRows();
    // Moves rows so that they stand before the row "before" (rowCount() = to the end).
    bool moveRowsTo(QList<int> rows, int before);

    // The status icon of column 0, by image file name ("" for none).
    QString statusIcon(int row) const;
    void setStatusIcon(int row, const QString &imageName);
    // The next frame (1 to 10) of the busy animation of this list.
    int nextBusyFrame();

    // The icon of column 3 "Duration", by its number in the list's icon strip: 14 marks a
    // trimmed file, 0 shows none.
    int durationIcon(int row) const;
    void setDurationIcon(int row, int icon);

    // The progress figure of column 4; setting the column's text removes it.
    void setRowProgress(int row, const RowProgressCell &cell);
    bool hasRowProgress(int row) const;
    RowProgressCell rowProgress(int row) const;

    // While set, the "Name" column is the list's only editable column.
    void setRenameEnabled(bool enabled);
    bool renameEnabled() const { return m_renameEnabled; }

    // Footer texts by column. UpdateListFooters recomputes the count (column 1) and the total
    // duration (column 3); other footers (the elapsed time of column 4) are set by their owners.
    QString footerText(int column) const { return m_footers.value(column); }
    void setFooterText(int column, const QString &text);
    void UpdateListFooters();

Q_SIGNALS:
    void footerTextChanged(int column);
    // Files or folders dropped onto the list from outside.
    void filesDropped(const QStringList &paths);
    // Rows were moved by dragging.
    void rowsRearranged();

private:
    struct Row {
        MediaItem item;
        QString icon;
        RowProgressCell progress;
        bool hasProgress = false;
        int durationIcon = 0;
    };
    bool validRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    void emitRowChanged(int row, int firstColumn, int lastColumn);
    void shareCommonTexts(MediaItem &item);

    std::vector<Row> m_rows;
    QHash<int, QString> m_footers;
    QSet<QString> m_sharedTexts;
    bool m_renameEnabled = false;
    int m_busyFrame = 0;
};

// The private clipboard format of dragged rows (the configuration value "CLIPBOARD_ID").
QString RowClipboardFormat();

} // namespace tv

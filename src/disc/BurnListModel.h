#pragma once
// The burn list FileViewMain of a burner window: one record per track (audio CD) or per file
// or folder (data disc), in the order they go to the disc, with the column captions and widths
// of the burner, its footers, and rows dragged within the list under the burner's own drag
// format. Owner's (UI) thread only.

#include "AudioImage.h"
#include "BurnSpace.h"
#include "DataImage.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <QVector>

namespace tv {

// Items of an audio CD record (column n shows item n).
namespace AudioItem {
enum : int { Icon = 0, Name, Duration, Status, Number, FilePath, AudioChannels, Raw, ErrMsg, Count };
}
// Items of a data disc record.
namespace DataItem {
enum : int { Icon = 0, Name, Type, Size, SrcSize, FilePath, Folder, Channels, Count };
}

// One record: its items, and what the writer needs beyond them.
struct BurnRecord {
    QStringList items;
    QString title; // CD-Text of a track: the source's title, artist and album tags
    QString performer;
    QString album;
    qint64 bytes = -1; // a track's bytes of samples, or a data entry's bytes
    int files = 1;     // files and folders below a folder entry
    int folders = 0;
};

class BurnListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role { IconRole = Qt::UserRole + 1 }; // column 0: image file name of the type icon

    explicit BurnListModel(BurnKind kind, QObject *parent = nullptr);
    BurnKind kind() const { return m_kind; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    // The captions and widths of the columns.
    static QStringList Captions(BurnKind kind);
    static QList<int> Widths(BurnKind kind);
    // How many of the columns are shown (the rest are hidden fields).
    static int VisibleColumns(BurnKind kind);

    int addRecord(const BurnRecord &record);
    const BurnRecord &record(int row) const { return m_records.at(row); }
    QString item(int row, int index) const;
    void setItem(int row, int index, const QString &text);
    void removeRecords(QList<int> rows);
    void clear();
    // Moves the rows (in their order) before row `before` of the list as it was.
    void moveRowsTo(const QList<int> &rows, int before);

    // What a record writes: the WAV of a track (item 7), the file or folder of a data entry
    // (item 6 followed by item 1), surrounding blanks removed.
    QString sourcePath(int row) const;
    AudioTrackSource trackOf(int row) const;
    DataEntry entryOf(int row) const;

    // The footers: the count under "Name" (" 1 file", " 2 files"), and the total length of the
    // tracks or the total size of the entries.
    QString footerText(int column) const { return m_footers.value(column); }
    void UpdateListFooters();

Q_SIGNALS:
    void footerTextChanged();
    // Files were dropped onto the list from outside.
    void filesDropped(const QStringList &paths);
    // Rows were dragged to another place.
    void rowsRearranged();

private:
    BurnKind m_kind;
    QVector<BurnRecord> m_records;
    QHash<int, QString> m_footers;
};

// "Tunevane:frmBurnAudioCD" …: the format rows are dragged under.
QString BurnListDragFormat(BurnKind kind);
// The burner's window name: "frmBurnAudioCD", "frmBurnDataCD", "frmBurnDataDVD".
QString BurnerName(BurnKind kind);
// " 0 file", " 1 file", " 2 files".
QString BurnFileCountText(int count);
// "01:02:03" back to seconds (0 for anything else).
qint64 ClockTextSeconds(const QString &text);

} // namespace tv

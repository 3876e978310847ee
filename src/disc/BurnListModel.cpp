#include "BurnListModel.h"

#include "TimeFormat.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

namespace tv {

namespace {

QList<int> SortedUnique(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

QString BurnListDragFormat(BurnKind kind) {
    return QStringLiteral("Tunevane:") + BurnerName(kind);
}

QString BurnerName(BurnKind kind) {
    switch (kind) {
    case BurnKind::AudioCD:
        return QStringLiteral("frmBurnAudioCD");
    case BurnKind::DataCD:
        return QStringLiteral("frmBurnDataCD");
    case BurnKind::DataDVD:
        break;
    }
    return QStringLiteral("frmBurnDataDVD");
}

QString BurnFileCountText(int count) {
    return QStringLiteral(" %1 %2").arg(count).arg(count < 2 ? QStringLiteral("file")
                                                             : QStringLiteral("files"));
}

qint64 ClockTextSeconds(const QString &text) {
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3)
        return 0;
    return parts.at(0).toLongLong() * 3600 + parts.at(1).toLongLong() * 60 + parts.at(2).toLongLong();
}

BurnListModel::BurnListModel(BurnKind kind, QObject *parent) : QAbstractTableModel(parent), m_kind(kind) {
    UpdateListFooters();
}

QStringList BurnListModel::Captions(BurnKind kind) {
    if (kind == BurnKind::AudioCD)
        return {QStringLiteral(" "),
                QStringLiteral("Name"),
                QStringLiteral("Duration"),
                QString(),
                QString(),
                QStringLiteral("FilePath"),
                QStringLiteral("AudioChannels"),
                QStringLiteral("Raw"),
                QStringLiteral("ErrMsg")};
    return {QStringLiteral(" "),
            QStringLiteral("Name"),
            QStringLiteral("Type"),
            QStringLiteral("Size"),
            QStringLiteral("SrcSize"),
            QStringLiteral("FilePath"),
            QStringLiteral("AudioChannels"),
            QStringLiteral("ErrMsg")};
}

QList<int> BurnListModel::Widths(BurnKind kind) {
    if (kind == BurnKind::AudioCD)
        return {22, 470, 100, 150, 150, 150, 150, 150, 150};
    return {22, 470, 100, 100, 150, 150, 150, 150};
}

int BurnListModel::VisibleColumns(BurnKind kind) {
    return kind == BurnKind::AudioCD ? 5 : 4;
}

int BurnListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_records.size());
}

int BurnListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_kind == BurnKind::AudioCD ? int(AudioItem::Count) : int(DataItem::Count);
}

QVariant BurnListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_records.size())
        return QVariant();
    const BurnRecord &r = m_records.at(index.row());
    if (role == IconRole && index.column() == 0) {
        const bool folder =
            m_kind != BurnKind::AudioCD && r.items.value(DataItem::Type) == QLatin1String("Folder");
        return folder ? QStringLiteral("img_open_folder.png") : QStringLiteral("img_type_audio.png");
    }
    if (role == Qt::DisplayRole && index.column() > 0)
        return r.items.value(index.column());
    if (role == Qt::ToolTipRole && index.column() == 1)
        return sourcePath(index.row());
    if (role == Qt::TextAlignmentRole && index.column() >= 2)
        return int(Qt::AlignCenter);
    return QVariant();
}

QVariant BurnListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return Captions(m_kind).value(section);
}

Qt::ItemFlags BurnListModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

Qt::DropActions BurnListModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

QStringList BurnListModel::mimeTypes() const {
    return {BurnListDragFormat(m_kind), QStringLiteral("text/uri-list")};
}

QMimeData *BurnListModel::mimeData(const QModelIndexList &indexes) const {
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        rows << index.row();
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << SortedUnique(rows);
    auto *mime = new QMimeData;
    mime->setData(BurnListDragFormat(m_kind), bytes);
    return mime;
}

bool BurnListModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int,
                                    const QModelIndex &) const {
    if (!data)
        return false;
    // Rows of another burner's list carry another format and are not taken.
    if (data->hasFormat(BurnListDragFormat(m_kind)))
        return action == Qt::MoveAction;
    return data->hasUrls();
}

bool BurnListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                 const QModelIndex &parent) {
    if (!canDropMimeData(data, action, row, 0, parent))
        return false;
    if (data->hasFormat(BurnListDragFormat(m_kind))) {
        QList<int> rows;
        QDataStream stream(data->data(BurnListDragFormat(m_kind)));
        stream >> rows;
        moveRowsTo(rows, row >= 0 ? row : (parent.isValid() ? parent.row() : rowCount()));
        // The rows were moved here: the view must not remove the originals afterwards.
        return false;
    }
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (!paths.isEmpty())
        Q_EMIT filesDropped(paths);
    return false;
}

int BurnListModel::addRecord(const BurnRecord &record) {
    const int row = static_cast<int>(m_records.size());
    beginInsertRows(QModelIndex(), row, row);
    BurnRecord r = record;
    while (r.items.size() < columnCount())
        r.items << QString();
    m_records << r;
    endInsertRows();
    return row;
}

QString BurnListModel::item(int row, int index) const {
    return row >= 0 && row < m_records.size() ? m_records.at(row).items.value(index) : QString();
}

void BurnListModel::setItem(int row, int index, const QString &text) {
    if (row < 0 || row >= m_records.size() || index < 0 || index >= columnCount())
        return;
    m_records[row].items[index] = text;
    Q_EMIT dataChanged(this->index(row, index), this->index(row, index));
}

void BurnListModel::removeRecords(QList<int> rows) {
    rows = SortedUnique(rows);
    for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
        const int row = rows.at(i);
        if (row < 0 || row >= m_records.size())
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        m_records.remove(row);
        endRemoveRows();
    }
}

void BurnListModel::clear() {
    beginResetModel();
    m_records.clear();
    endResetModel();
}

void BurnListModel::moveRowsTo(const QList<int> &rows, int before) {
    const QList<int> moving = SortedUnique(rows);
    if (moving.isEmpty())
        return;
    QVector<BurnRecord> taken;
    QVector<BurnRecord> kept;
    int insertAt = 0;
    for (int row = 0; row < m_records.size(); ++row) {
        if (row == before)
            insertAt = static_cast<int>(kept.size());
        if (moving.contains(row))
            taken << m_records.at(row);
        else
            kept << m_records.at(row);
    }
    if (before >= m_records.size())
        insertAt = static_cast<int>(kept.size());
    beginResetModel();
    m_records = kept;
    for (int i = 0; i < taken.size(); ++i)
        m_records.insert(insertAt + i, taken.at(i));
    endResetModel();
    Q_EMIT rowsRearranged();
}

QString BurnListModel::sourcePath(int row) const {
    if (m_kind == BurnKind::AudioCD)
        return item(row, AudioItem::Raw).trimmed();
    return (item(row, DataItem::Folder) + item(row, DataItem::Name)).trimmed();
}

AudioTrackSource BurnListModel::trackOf(int row) const {
    AudioTrackSource track;
    track.wavPath = sourcePath(row);
    track.title = m_records.at(row).title;
    track.performer = m_records.at(row).performer;
    track.bytes = m_records.at(row).bytes;
    return track;
}

DataEntry BurnListModel::entryOf(int row) const {
    const BurnRecord &r = m_records.at(row);
    DataEntry entry;
    entry.path = sourcePath(row);
    entry.name = item(row, DataItem::Name).trimmed();
    entry.folder = item(row, DataItem::Type) == QLatin1String("Folder");
    entry.bytes = item(row, DataItem::SrcSize).toLongLong();
    entry.files = r.files;
    entry.folders = r.folders;
    return entry;
}

void BurnListModel::UpdateListFooters() {
    m_footers.insert(DataItem::Name, BurnFileCountText(rowCount()));
    if (m_kind == BurnKind::AudioCD) {
        qint64 seconds = 0;
        for (const BurnRecord &r : std::as_const(m_records))
            seconds += ClockTextSeconds(r.items.value(AudioItem::Duration));
        m_footers.insert(AudioItem::Duration, FormatClock(seconds));
    } else {
        qint64 bytes = 0;
        for (const BurnRecord &r : std::as_const(m_records))
            bytes += r.items.value(DataItem::SrcSize).toLongLong();
        m_footers.insert(DataItem::Size, bytes > 0 ? FormatSize(double(bytes)) : QStringLiteral("0"));
    }
    Q_EMIT footerTextChanged();
}

} // namespace tv

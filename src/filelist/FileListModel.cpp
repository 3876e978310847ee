#include "FileListModel.h"

#include "Config.h"
#include "MediaDuration.h"
#include "TimeFormat.h"

#include <QDataStream>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace tv {

namespace {

constexpr int kNameColumn = 1;
constexpr int kDurationColumn = 3;
constexpr int kStatusColumn = 4;

QList<int> SortedUnique(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

QString RowClipboardFormat() {
    const QString id = Config().clipboardId;
    return id.isEmpty() ? QStringLiteral("application/x-tunevane-rows") : id;
}

FileListModel::FileListModel(QObject *parent) : QAbstractTableModel(parent) {
    UpdateListFooters();
}

int FileListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FileListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : kListColumnCount;
}

QVariant FileListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || !validRow(index.row()))
        return QVariant();
    const Row &row = m_rows[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (column == kStatusColumn && row.hasProgress && role == Qt::DisplayRole)
            return QVariant();
        return row.item[ColumnItem(column)];
    case Qt::TextAlignmentRole:
        if (column >= 2 && column <= kStatusColumn)
            return QVariant(Qt::AlignCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (column == kNameColumn)
            return row.item.inputPath();
        return QVariant();
    case StatusIconRole:
        return column == 0 ? QVariant(row.icon) : QVariant();
    case DurationIconRole:
        return column == kDurationColumn ? QVariant(row.durationIcon) : QVariant();
    case ProgressRole:
        if (column == kStatusColumn && row.hasProgress)
            return QVariant::fromValue(row.progress);
        return QVariant();
    case ProgressMarkupRole:
        if (column == kStatusColumn && row.hasProgress)
            return RowProgressMarkup(row.progress);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kListColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return ColumnCaptions().at(section);
    if (role == Qt::TextAlignmentRole)
        return section >= 2 && section <= kStatusColumn ? QVariant(Qt::AlignCenter)
                                                        : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (m_renameEnabled && index.column() == kNameColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

bool FileListModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !validRow(index.row()) || index.column() != kNameColumn)
        return false;
    QString name = value.toString();
    // An emptied name goes back to the file's own base name.
    if (name.trimmed().isEmpty())
        name = QFileInfo(m_rows[static_cast<std::size_t>(index.row())].item.inputPath()).completeBaseName();
    setItem(index.row(), Item::Name, name);
    return true;
}

Qt::DropActions FileListModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

QStringList FileListModel::mimeTypes() const {
    return {RowClipboardFormat(), QStringLiteral("text/uri-list")};
}

QMimeData *FileListModel::mimeData(const QModelIndexList &indexes) const {
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        rows << index.row();
    rows = SortedUnique(rows);
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << rows;
    auto *mime = new QMimeData;
    mime->setData(RowClipboardFormat(), bytes);
    return mime;
}

bool FileListModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int,
                                    const QModelIndex &) const {
    if (!data)
        return false;
    if (data->hasFormat(RowClipboardFormat()))
        return action == Qt::MoveAction;
    return data->hasUrls();
}

bool FileListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                 const QModelIndex &parent) {
    if (!canDropMimeData(data, action, row, 0, parent))
        return false;
    if (data->hasFormat(RowClipboardFormat())) {
        QList<int> rows;
        QDataStream stream(data->data(RowClipboardFormat()));
        stream >> rows;
        const int before = row >= 0 ? row : (parent.isValid() ? parent.row() : rowCount());
        moveRowsTo(rows, before);
        // The rows were moved here, so the view must not remove the originals afterwards.
        return false;
    }
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (!paths.isEmpty())
        emit filesDropped(paths);
    return false;
}

void FileListModel::shareCommonTexts(MediaItem &item) {
    // Most fields repeat from row to row ("True", "44100", the codec, the folder); rows share
    // one copy of such texts, which keeps a list of many thousand files small.
    static const int kShared[] = {Item::Format,
                                  Item::FilePath,
                                  Item::VideoStream,
                                  Item::AudioStream,
                                  Item::SubtitleStream,
                                  Item::SubtitleCount,
                                  Item::VideoStreamCount,
                                  Item::VideoCodecName,
                                  Item::VideoWidth,
                                  Item::VideoHeight,
                                  Item::VideoBitRate,
                                  Item::VideoFrameRateNumerator,
                                  Item::VideoSampleAspectRatio,
                                  Item::VideoLanguage,
                                  Item::AudioStreamCount,
                                  Item::AudioCodecName,
                                  Item::AudioBitRate,
                                  Item::AudioSampleRate,
                                  Item::AudioChannels,
                                  Item::AudioBitsDepth,
                                  Item::TagArtist,
                                  Item::TagAlbum,
                                  Item::TagYear,
                                  Item::TagGenre,
                                  Item::TagCopyright,
                                  Item::TrimStart,
                                  Item::TrimStartInMs,
                                  Item::TrimDurationInMs,
                                  Item::FileType};
    for (int index : kShared) {
        QString &text = item[index];
        if (text.isEmpty())
            continue;
        const auto found = m_sharedTexts.constFind(text);
        if (found != m_sharedTexts.constEnd())
            text = *found;
        else
            m_sharedTexts.insert(text);
    }
}

int FileListModel::appendItem(const MediaItem &item) {
    const int row = rowCount();
    MediaItem shared = item;
    shareCommonTexts(shared);
    beginInsertRows(QModelIndex(), row, row);
    m_rows.push_back(Row{std::move(shared), QString(), RowProgressCell(), false});
    endInsertRows();
    return row;
}

const MediaItem &FileListModel::mediaItem(int row) const {
    static const MediaItem kEmpty;
    return validRow(row) ? m_rows[static_cast<std::size_t>(row)].item : kEmpty;
}

QString FileListModel::item(int row, int index) const {
    if (!validRow(row) || index < 0 || index >= kMediaItemCount)
        return QString();
    return m_rows[static_cast<std::size_t>(row)].item[index];
}

void FileListModel::setItem(int row, int index, const QString &text) {
    if (!validRow(row) || index < 0 || index >= kMediaItemCount)
        return;
    Row &r = m_rows[static_cast<std::size_t>(row)];
    r.item[index] = text;
    if (index == Item::Progress)
        r.hasProgress = false;
    const int column = ItemColumn(index);
    if (column >= 0)
        emitRowChanged(row, column, index == Item::AudioDurationLow ? column + 1 : column);
}

QList<MediaItem> FileListModel::removeRowsAt(QList<int> rows) {
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return !validRow(r); }), rows.end());
    rows = SortedUnique(rows);
    QList<MediaItem> removed;
    // From the bottom up, one contiguous run at a time, so the indexes below stay valid.
    int i = static_cast<int>(rows.size()) - 1;
    while (i >= 0) {
        const int last = rows[i];
        int first = last;
        while (i > 0 && rows[i - 1] == first - 1) {
            --i;
            --first;
        }
        --i;
        beginRemoveRows(QModelIndex(), first, last);
        for (int r = first; r <= last; ++r)
            removed << m_rows[static_cast<std::size_t>(r)].item;
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
    }
    return removed;
}

QList<MediaItem> FileListModel::clearRows() {
    QList<MediaItem> removed;
    removed.reserve(static_cast<qsizetype>(m_rows.size()));
    beginResetModel();
    for (const Row &r : m_rows)
        removed << r.item;
    m_rows.clear();
    m_sharedTexts.clear();
    endResetModel();
    return removed;
}

bool FileListModel::moveRowsTo(QList<int> rows, int before) {
    rows = SortedUnique(rows);
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return !validRow(r); }), rows.end());
    if (rows.isEmpty())
        return false;
    before = std::clamp(before, 0, rowCount());
    std::vector<Row> moving;
    std::vector<Row> staying;
    int insertAt = 0;
    for (int r = 0; r < rowCount(); ++r) {
        if (r == before)
            insertAt = static_cast<int>(staying.size());
        if (rows.contains(r))
            moving.push_back(m_rows[static_cast<std::size_t>(r)]);
        else
            staying.push_back(m_rows[static_cast<std::size_t>(r)]);
    }
    if (before == rowCount())
        insertAt = static_cast<int>(staying.size());
    emit layoutAboutToBeChanged();
    staying.insert(staying.begin() + insertAt, moving.begin(), moving.end());
    m_rows.swap(staying);
    emit layoutChanged();
    emit rowsRearranged();
    return true;
}

QString FileListModel::statusIcon(int row) const {
    return validRow(row) ? m_rows[static_cast<std::size_t>(row)].icon : QString();
}

void FileListModel::setStatusIcon(int row, const QString &imageName) {
    if (!validRow(row))
        return;
    m_rows[static_cast<std::size_t>(row)].icon = imageName;
    emitRowChanged(row, 0, 0);
}

int FileListModel::durationIcon(int row) const {
    return validRow(row) ? m_rows[static_cast<std::size_t>(row)].durationIcon : 0;
}

void FileListModel::setDurationIcon(int row, int icon) {
    if (!validRow(row))
        return;
    m_rows[static_cast<std::size_t>(row)].durationIcon = icon;
    emitRowChanged(row, kDurationColumn, kDurationColumn);
}

int FileListModel::nextBusyFrame() {
    m_busyFrame = m_busyFrame >= 10 ? 1 : m_busyFrame + 1;
    return m_busyFrame;
}

void FileListModel::setRowProgress(int row, const RowProgressCell &cell) {
    if (!validRow(row))
        return;
    Row &r = m_rows[static_cast<std::size_t>(row)];
    r.progress = cell;
    r.hasProgress = true;
    emitRowChanged(row, kStatusColumn, kStatusColumn);
}

bool FileListModel::hasRowProgress(int row) const {
    return validRow(row) && m_rows[static_cast<std::size_t>(row)].hasProgress;
}

RowProgressCell FileListModel::rowProgress(int row) const {
    return hasRowProgress(row) ? m_rows[static_cast<std::size_t>(row)].progress : RowProgressCell();
}

void FileListModel::setRenameEnabled(bool enabled) {
    m_renameEnabled = enabled;
}

void FileListModel::setFooterText(int column, const QString &text) {
    if (m_footers.value(column) == text && m_footers.contains(column))
        return;
    m_footers.insert(column, text);
    emit footerTextChanged(column);
}

void FileListModel::UpdateListFooters() {
    const int count = rowCount();
    setFooterText(kNameColumn,
                  QString::number(count) + (count < 2 ? QStringLiteral(" file") : QStringLiteral(" files")));
    qint64 seconds = 0;
    for (const Row &r : m_rows)
        seconds += std::llround(SecondsTextToSeconds(r.item[Item::FileDurationInMs]));
    setFooterText(kDurationColumn, FormatClock(seconds));
}

void FileListModel::emitRowChanged(int row, int firstColumn, int lastColumn) {
    emit dataChanged(index(row, firstColumn), index(row, lastColumn));
}

} // namespace tv

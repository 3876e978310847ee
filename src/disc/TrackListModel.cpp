#include "TrackListModel.h"

#include <QColor>

namespace tv {

TrackListModel::TrackListModel(QObject *parent) : QAbstractTableModel(parent) {
    m_footers.insert(TitleColumn, AudioTrackCountText(0));
    m_footers.insert(DurationColumn, QStringLiteral("00:00"));
}

QString AudioTrackCountText(int count) {
    return QStringLiteral(" %1 audio %2")
        .arg(count)
        .arg(count == 1 || count == 0 ? QStringLiteral("track") : QStringLiteral("tracks"));
}

int TrackListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_records.size());
}

int TrackListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 6;
}

QVariant TrackListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case StatusColumn:
        return QStringLiteral(" ");
    case TitleColumn:
        return QStringLiteral("Title");
    case DurationColumn:
        return QStringLiteral("Duration");
    default:
        return QString();
    }
}

QVariant TrackListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || !valid(index.row()))
        return QVariant();
    const Record &r = m_records.at(index.row());
    switch (index.column()) {
    case StatusColumn:
        if (role == StatusIconRole)
            return r.icon;
        break;
    case TickColumn:
        if (role == Qt::CheckStateRole)
            return r.ticked ? Qt::Checked : Qt::Unchecked;
        break;
    case TitleColumn:
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return r.title;
        break;
    case DurationColumn:
        if (role == Qt::DisplayRole)
            return r.duration;
        break;
    case ProgressColumn:
        if (role == Qt::DisplayRole)
            return r.progress >= 0 ? QVariant() : QVariant(r.statusText);
        if (role == ProgressRole)
            return r.progress;
        if (role == Qt::ForegroundRole)
            return QColor(r.red ? Qt::red : Qt::black);
        break;
    case FileColumn:
        if (role == Qt::DisplayRole)
            return r.file;
        break;
    default:
        break;
    }
    return QVariant();
}

Qt::ItemFlags TrackListModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == TickColumn)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool TrackListModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || index.column() != TickColumn || role != Qt::CheckStateRole ||
        !(flags(index) & Qt::ItemIsEnabled))
        return false;
    setTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

void TrackListModel::changed(int record, int first, int last) {
    emit dataChanged(index(record, first), index(record, last));
}

void TrackListModel::clear() {
    beginResetModel();
    m_records.clear();
    endResetModel();
    emit tickChanged();
}

int TrackListModel::addTrack(int trackNumber, const QString &title, const QString &durationText) {
    const int row = static_cast<int>(m_records.size());
    beginInsertRows(QModelIndex(), row, row);
    Record r;
    r.track = trackNumber;
    r.title = title;
    r.duration = durationText;
    m_records.append(r);
    endInsertRows();
    setStatus(row, RowStatus::Ready);
    emit tickChanged();
    return row;
}

int TrackListModel::trackNumber(int record) const {
    return valid(record) ? m_records.at(record).track : 0;
}

QString TrackListModel::title(int record) const {
    return valid(record) ? m_records.at(record).title : QString();
}

bool TrackListModel::isTicked(int record) const {
    return valid(record) && m_records.at(record).ticked;
}

void TrackListModel::setTicked(int record, bool ticked) {
    if (!valid(record) || m_records.at(record).ticked == ticked)
        return;
    m_records[record].ticked = ticked;
    changed(record, TickColumn, TickColumn);
    emit tickChanged();
}

int TrackListModel::tickedCount() const {
    int count = 0;
    for (const Record &r : m_records)
        count += r.ticked ? 1 : 0;
    return count;
}

void TrackListModel::setStatus(int record, RowStatus status) {
    if (!valid(record))
        return;
    Record &r = m_records[record];
    switch (status) {
    case RowStatus::Converting:
        if (m_busyFrame == 0 || m_busyFrame == 5)
            m_busyFrame = 1;
        r.icon = BusyFrameIconName(m_busyFrame);
        ++m_busyFrame;
        break;
    case RowStatus::Ready:
        r.icon = QStringLiteral("img_type_cd.png");
        r.statusText.clear();
        r.red = false;
        r.progress = -1;
        break;
    case RowStatus::Done:
        r.icon = QStringLiteral("img_status_done.png");
        r.statusText = QStringLiteral("Done");
        r.red = false;
        r.progress = -1;
        break;
    case RowStatus::Unsuccessful:
        r.icon = QStringLiteral("img_status_failed.png");
        r.statusText = QStringLiteral("Unsuccessful!");
        r.red = true;
        r.progress = -1;
        break;
    case RowStatus::Canceled:
        r.icon = QStringLiteral("img_status_canceled.png");
        r.statusText = QStringLiteral("Canceled!");
        r.red = true;
        r.progress = -1;
        break;
    }
    changed(record, StatusColumn, ProgressColumn);
}

QString TrackListModel::statusText(int record) const {
    return valid(record) ? m_records.at(record).statusText : QString();
}

QString TrackListModel::statusIcon(int record) const {
    return valid(record) ? m_records.at(record).icon : QString();
}

void TrackListModel::setProgress(int record, int percent) {
    if (!valid(record))
        return;
    m_records[record].progress = qBound(0, percent, 100);
    changed(record, ProgressColumn, ProgressColumn);
}

int TrackListModel::progress(int record) const {
    return valid(record) ? m_records.at(record).progress : -1;
}

QString TrackListModel::filePath(int record) const {
    return valid(record) ? m_records.at(record).file : QString();
}

void TrackListModel::setFilePath(int record, const QString &path) {
    if (!valid(record))
        return;
    m_records[record].file = path;
    changed(record, FileColumn, FileColumn);
}

void TrackListModel::setFooterText(int column, const QString &text) {
    if (m_footers.value(column) == text)
        return;
    m_footers.insert(column, text);
    emit footerTextChanged();
}

void TrackListModel::setEmptyText(const QString &text) {
    if (m_emptyText == text)
        return;
    m_emptyText = text;
    emit emptyTextChanged();
}

} // namespace tv

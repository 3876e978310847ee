#include "CatalogTable.h"

#include <QSize>
#include <algorithm>

namespace tv {

CatalogTable::CatalogTable(QObject *parent) : QAbstractTableModel(parent) {}

int CatalogTable::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : rows();
}

int CatalogTable::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : columns();
}

QVariant CatalogTable::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole))
        return QVariant();
    return cell(index.row() + 1, index.column());
}

QVariant CatalogTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_captions.at(section);
    if (role == Qt::SizeHintRole)
        return QSize(m_widths.at(section), 0);
    return QVariant();
}

void CatalogTable::addColumn(const QString &caption, int width) {
    const int column = columns();
    if (m_bulkDepth == 0)
        beginInsertColumns(QModelIndex(), column, column);
    m_captions.append(caption);
    m_widths.append(width);
    for (QStringList &row : m_rows)
        row.append(QString());
    m_columnIndex.insert(caption.toLower(), column);
    if (m_bulkDepth == 0)
        endInsertColumns();
}

int CatalogTable::columnOf(const QString &name) const {
    return m_columnIndex.value(name.toLower(), -1);
}

QString CatalogTable::cell(int row, int column) const {
    if (!isRow(row))
        return QString();
    return m_rows.at(row - 1).value(column);
}

void CatalogTable::setCell(int row, int column, const QString &text) {
    if (!isRow(row) || column < 0 || column >= columns())
        return;
    QString &target = m_rows[row - 1][column];
    if (target == text)
        return;
    target = text;
    if (m_bulkDepth == 0) {
        const QModelIndex at = index(row - 1, column);
        emit dataChanged(at, at);
    }
}

int CatalogTable::appendRow() {
    const int row = rows();
    if (m_bulkDepth == 0)
        beginInsertRows(QModelIndex(), row, row);
    QStringList cells;
    cells.resize(columns());
    m_rows.append(cells);
    m_selected.clear();
    if (m_bulkDepth == 0)
        endInsertRows();
    return row + 1;
}

int CatalogTable::insertRowBefore(int row) {
    if (!isRow(row))
        return appendRow();
    if (m_bulkDepth == 0)
        beginInsertRows(QModelIndex(), row - 1, row - 1);
    QStringList cells;
    cells.resize(columns());
    m_rows.insert(row - 1, cells);
    m_selected.clear();
    if (m_bulkDepth == 0)
        endInsertRows();
    return row;
}

void CatalogTable::removeRowAt(int row) {
    if (!isRow(row))
        return;
    if (m_bulkDepth == 0)
        beginRemoveRows(QModelIndex(), row - 1, row - 1);
    m_rows.removeAt(row - 1);
    m_selected.clear();
    if (m_bulkDepth == 0)
        endRemoveRows();
}

void CatalogTable::removeAllRows() {
    if (m_bulkDepth == 0)
        beginResetModel();
    m_rows.clear();
    m_selected.clear();
    if (m_bulkDepth == 0)
        endResetModel();
}

void CatalogTable::removeAll() {
    if (m_bulkDepth == 0)
        beginResetModel();
    m_rows.clear();
    m_captions.clear();
    m_widths.clear();
    m_columnIndex.clear();
    m_selected.clear();
    if (m_bulkDepth == 0)
        endResetModel();
}

void CatalogTable::selectRow(int row, bool addToSelection) {
    if (!addToSelection)
        m_selected.clear();
    if (isRow(row))
        m_selected.insert(row);
}

void CatalogTable::clearSelection() {
    m_selected.clear();
}

QList<int> CatalogTable::selectedRows() const {
    QList<int> list(m_selected.cbegin(), m_selected.cend());
    std::sort(list.begin(), list.end());
    return list;
}

void CatalogTable::removeSelected() {
    const QList<int> selected = selectedRows();
    // From the last to the first, so the numbers of the rows still to go stay valid.
    for (auto it = selected.crbegin(); it != selected.crend(); ++it)
        removeRowAt(*it);
    m_selected.clear();
}

void CatalogTable::beginBulkChange() {
    if (m_bulkDepth++ == 0)
        beginResetModel();
}

void CatalogTable::endBulkChange() {
    if (m_bulkDepth > 0 && --m_bulkDepth == 0)
        endResetModel();
}

} // namespace tv

#pragma once
// The catalog table: columns captioned with field names and rows of text cells. It holds the
// format catalog, the preset catalog, the favorites and the search results, and is a table
// model that any view can show. Rows are addressed from 1 in every lookup operation.

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

namespace tv {

class CatalogTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CatalogTable(QObject *parent = nullptr);

    // Table model (0-based, as views expect).
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Columns (0-based).
    int columns() const { return static_cast<int>(m_captions.size()); }
    QString caption(int column) const { return m_captions.value(column); }
    int columnWidth(int column) const { return m_widths.value(column); }
    QStringList captions() const { return m_captions; }
    void addColumn(const QString &caption, int width);
    // The last column whose caption equals the name, ignoring case; -1 when none.
    int columnOf(const QString &name) const;

    // Rows (1-based).
    int rows() const { return static_cast<int>(m_rows.size()); }
    bool isRow(int row) const { return row >= 1 && row <= rows(); }
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    QStringList rowCells(int row) const { return isRow(row) ? m_rows.at(row - 1) : QStringList(); }
    // Appends a row with one empty cell per column; answers its number.
    int appendRow();
    // Inserts a row of empty cells before the given row; answers the new row's number.
    int insertRowBefore(int row);
    void removeRowAt(int row);
    void removeAllRows();
    // Removes every column and row.
    void removeAll();

    // Selection of the hidden lists, made by code (1-based rows).
    void selectRow(int row, bool addToSelection = false);
    void clearSelection();
    QList<int> selectedRows() const;
    void removeSelected();

    // Bulk loading: no view is told about every single row.
    void beginBulkChange();
    void endBulkChange();

private:
    QStringList m_captions;
    QList<int> m_widths;
    QList<QStringList> m_rows;
    QHash<QString, int> m_columnIndex; // lower-case caption -> last column with it
    QSet<int> m_selected;              // 1-based rows
    int m_bulkDepth = 0;
};

} // namespace tv

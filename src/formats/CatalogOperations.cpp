#include "CatalogOperations.h"

#include "CatalogTable.h"
#include "Chooser.h"

namespace tv {

QString GetCatalogField(const CatalogTable &table, int row, const QString &field) {
    const int column = table.columnOf(field);
    return column < 0 ? QString() : table.cell(row, column);
}

void SetCatalogField(CatalogTable &table, int row, const QString &field, const QString &value, bool force,
                     bool plain) {
    const int column = table.columnOf(field);
    if (column < 0 || !table.isRow(row))
        return;
    QString stored = value;
    if (force) {
        if (!plain)
            stored = QChar(kFixedMarker) + value;
    } else if (table.cell(row, column).startsWith(QChar(kFixedMarker))) {
        stored = QChar(kFixedMarker) + value;
    }
    table.setCell(row, column, stored);
}

int FindCatalogRow(const CatalogTable &table, const QString &field, const QString &value) {
    const int column = table.columnOf(field);
    if (column < 0)
        return 0;
    for (int row = 1; row <= table.rows(); ++row) {
        if (table.cell(row, column) == value)
            return row;
    }
    return 0;
}

int AddCatalogRow(CatalogTable &table, const QString &values, int mode, bool overrideMarker, int row) {
    if (mode == 0)
        row = table.appendRow();
    else if (!table.isRow(row))
        return 0;
    const QStringList pieces = values.split(QStringLiteral("//"));
    for (int k = 0; k < pieces.size() && k < table.columns(); ++k) {
        QString stored = pieces.at(k).trimmed();
        if (!overrideMarker && table.cell(row, k).startsWith(QChar(kFixedMarker)))
            stored.prepend(QChar(kFixedMarker));
        table.setCell(row, k, stored);
    }
    return row;
}

bool RemoveSelectedRows(CatalogTable &table, bool confirm, const YesNoQuestion &ask) {
    if (table.rows() == 0)
        return false;
    if (confirm && ask && !ask(QStringLiteral("Are you sure you want to remove selected row?")))
        return false;
    table.removeSelected();
    return true;
}

void CopyCatalogColumns(const CatalogTable &from, CatalogTable &to) {
    if (to.columns() > 0)
        return;
    for (int c = 0; c < from.columns(); ++c)
        to.addColumn(from.caption(c), from.columnWidth(c));
}

void FillPresetChooser(const CatalogTable &presets, const QString &maker, const QString &keyword,
                       Chooser &chooser) {
    chooser.clearEntries();
    const int keywordColumn = presets.columnOf(QStringLiteral("Keyword"));
    const int makerColumn = presets.columnOf(QStringLiteral("Maker"));
    const int nameColumn = presets.columnOf(QStringLiteral("Name"));
    const int idColumn = presets.columnOf(QStringLiteral("ID"));
    if (keywordColumn < 0 || makerColumn < 0)
        return;
    bool customAdded = false;
    for (int row = 1; row <= presets.rows(); ++row) {
        if (presets.cell(row, keywordColumn) != keyword || presets.cell(row, makerColumn) != maker)
            continue;
        const QString name = presets.cell(row, nameColumn);
        const QString id = presets.cell(row, idColumn);
        if (name != kCustomPresetName) {
            chooser.addEntry(name, id);
        } else if (!customAdded) {
            chooser.addEntry(kCustomPresetEntry, id);
            customAdded = true;
        }
    }
}

void FillCodecChooser(const CatalogTable &formats, const QString &format, const QString &field,
                      Chooser &chooser) {
    chooser.clearEntries();
    const int formatColumn = formats.columnOf(QStringLiteral("Format"));
    const int fieldColumn = formats.columnOf(field);
    if (formatColumn < 0 || fieldColumn < 0)
        return;
    const QString wanted = format.trimmed();
    for (int row = 1; row <= formats.rows(); ++row) {
        const QString value = formats.cell(row, fieldColumn);
        if (formats.cell(row, formatColumn).trimmed() == wanted && value != kNotApplicable)
            chooser.addEntry(value, row);
    }
}

void FillOptionChooser(const CatalogTable &formats, int row, const QString &field, Chooser &chooser) {
    chooser.clearEntries();
    const QString value = GetCatalogField(formats, row, field);
    if (value == kNotApplicable)
        return;
    QStringList options = value.split(QLatin1Char(';'));
    options.removeLast(); // the text after the final ";"
    for (const QString &option : options)
        chooser.addEntry(option);
}

void SelectOptionValue(Chooser &chooser, const QString &value, int fallback) {
    QString wanted = value;
    const bool fixed = wanted.startsWith(QChar(kFixedMarker));
    if (fixed)
        wanted.remove(QChar(kFixedMarker));
    const int found = chooser.findEntry(wanted);
    if (found >= 0)
        chooser.setCurrentEntry(found);
    else if (chooser.entryCount() > 0)
        chooser.setCurrentEntry(fallback == 1 ? chooser.entryCount() - 1 : 0);
    chooser.setChooserEnabled(!fixed);
}

KeywordList CollectKeywords(const CatalogTable &presets, const QString &maker) {
    KeywordList list;
    QStringList seen;
    const int makerColumn = presets.columnOf(QStringLiteral("Maker"));
    const int keywordColumn = presets.columnOf(QStringLiteral("Keyword"));
    const int thumbnailColumn = presets.columnOf(QStringLiteral("Thumbnail"));
    if (makerColumn < 0 || keywordColumn < 0)
        return list;
    for (int row = 1; row <= presets.rows(); ++row) {
        if (presets.cell(row, makerColumn).trimmed() != maker)
            continue;
        const QString keyword = presets.cell(row, keywordColumn).trimmed();
        if (seen.contains(keyword, Qt::CaseInsensitive))
            continue;
        seen.append(keyword);
        list.keywords += keyword + QLatin1Char('|');
        list.thumbnails += presets.cell(row, thumbnailColumn).trimmed() + QLatin1Char('|');
    }
    return list;
}

QStringList SplitBarList(const QString &list) {
    QStringList items = list.split(QLatin1Char('|'));
    items.removeLast();
    return items;
}

} // namespace tv

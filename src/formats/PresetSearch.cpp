#include "PresetSearch.h"

#include "CatalogOperations.h"
#include "CatalogTable.h"

namespace tv {

int SearchPresets(const CatalogTable &presets, const QString &text, CatalogTable &results) {
    if (results.columns() == 0) {
        results.addColumn(QStringLiteral("Preset"), 300);
        results.addColumn(QStringLiteral("Maker"), 100);
        results.addColumn(QStringLiteral("Keyword"), 100);
    }
    results.removeAllRows();
    if (text.trimmed().isEmpty())
        return 0;
    const int nameColumn = presets.columnOf(QStringLiteral("Name"));
    const int keywordColumn = presets.columnOf(QStringLiteral("Keyword"));
    const int makerColumn = presets.columnOf(QStringLiteral("Maker"));
    results.beginBulkChange();
    for (int row = 1; row <= presets.rows(); ++row) {
        const QString name = presets.cell(row, nameColumn);
        const QString keyword = presets.cell(row, keywordColumn);
        const QString maker = presets.cell(row, makerColumn);
        if (name == kCustomPresetName)
            continue;
        // The fields are joined without separators, so a text may match across two of them.
        if (!(name + keyword + maker).contains(text, Qt::CaseInsensitive))
            continue;
        const int found = results.appendRow();
        results.setCell(found, 0, name);
        results.setCell(found, 1, maker);
        results.setCell(found, 2, keyword);
    }
    results.endBulkChange();
    return results.rows();
}

QString PresetCountText(int count) {
    return QString::number(count) + (count < 2 ? QStringLiteral(" preset") : QStringLiteral(" presets"));
}

} // namespace tv

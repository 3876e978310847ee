#include "Favorites.h"

#include "CatalogOperations.h"
#include "CatalogTable.h"

#include <QStringList>

namespace tv {

QString AddToFavorites(const CatalogTable &presets, int presetRow, CatalogTable &favorites, int favoriteMax) {
    // Every preset must carry its key field; the check runs before anything changes, so a
    // damaged catalog never costs the user a favorite.
    for (int row = 1; row <= presets.rows(); ++row) {
        if (presets.cell(row, 2).trimmed().isEmpty())
            return QStringLiteral("'") + presets.cell(row, 1) + QStringLiteral("' is empty!");
    }
    if (!presets.isRow(presetRow))
        return QString();
    CopyCatalogColumns(presets, favorites);
    while (favorites.rows() > 0 && favorites.rows() >= favoriteMax)
        favorites.removeRowAt(favorites.rows());
    const int row = favorites.rows() > 0 ? favorites.insertRowBefore(1) : favorites.appendRow();
    for (int column = 0; column < favorites.columns(); ++column)
        favorites.setCell(row, column, GetCatalogField(presets, presetRow, favorites.caption(column)));
    return QString();
}

void RemoveFavorite(CatalogTable &favorites, int row) {
    favorites.selectRow(row);
    RemoveSelectedRows(favorites, false);
}

QList<FavoriteKeyword> RefreshFavorites(CatalogTable &favorites, const CatalogTable &presets) {
    for (int row = favorites.rows(); row >= 1; --row) {
        if (FindCatalogRow(presets, QStringLiteral("ID"),
                           GetCatalogField(favorites, row, QStringLiteral("ID"))) == 0)
            favorites.removeRowAt(row);
    }
    QList<FavoriteKeyword> keywords;
    QStringList seen;
    for (int row = 1; row <= favorites.rows(); ++row) {
        const QString keyword = GetCatalogField(favorites, row, QStringLiteral("Keyword")).trimmed();
        if (seen.contains(keyword, Qt::CaseInsensitive))
            continue;
        seen.append(keyword);
        keywords.append({keyword, GetCatalogField(favorites, row, QStringLiteral("Thumbnail")).trimmed(),
                         GetCatalogField(favorites, row, QStringLiteral("Maker")).trimmed()});
    }
    return keywords;
}

int FindFavorite(const CatalogTable &favorites, const QString &id) {
    return id.isEmpty() ? 0 : FindCatalogRow(favorites, QStringLiteral("ID"), id);
}

} // namespace tv

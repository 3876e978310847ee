#pragma once
// Favorites: copies of preset-catalog rows, newest first, kept in a catalog table and file.
// A favorite applies the catalog preset with its ID, so it always uses the current values.

#include <QList>
#include <QString>

namespace tv {

class CatalogTable;

// Puts a copy of the preset row first in the favorites (the oldest goes when favoriteMax
// are kept already); a table without columns takes the preset catalog's columns. Answers ""
// or, when a preset of the catalog lacks its key field, the message for the user (nothing
// is changed then).
QString AddToFavorites(const CatalogTable &presets, int presetRow, CatalogTable &favorites, int favoriteMax);

// Removes one favorite (1-based row) without asking.
void RemoveFavorite(CatalogTable &favorites, int row);

// One button of the favorites tab.
struct FavoriteKeyword {
    QString keyword;
    QString thumbnail;
    QString maker;
};

// Drops the favorites whose preset is no longer in the catalog and answers the distinct
// keywords (first occurrence, ignoring case) with their thumbnails and makers.
QList<FavoriteKeyword> RefreshFavorites(CatalogTable &favorites, const CatalogTable &presets);

// The favorites row of a preset ID; 0 when it is not a favorite.
int FindFavorite(const CatalogTable &favorites, const QString &id);

} // namespace tv

#pragma once
// Loading the catalogs when the program starts: the shipped format and preset catalogs,
// then the user's own presets, then the favorites.

#include <QString>

namespace tv {

class CatalogTable;

// The shipped catalogs inside the program (enciphered catalog files).
inline const QString kShippedFormatCatalog = QStringLiteral(":/catalog/format.dat");
inline const QString kShippedPresetCatalog = QStringLiteral(":/catalog/preset.dat");

// Loads the shipped catalogs (replacing both tables), read in place from the program itself
// (other files only in tests).
// Answers "" or, when a catalog cannot be read or holds no rows, what to tell the user: a
// program without its catalogs would build wrong option texts without a word.
QString LoadShippedCatalogs(CatalogTable &formats, CatalogTable &presets,
                            const QString &formatFile = kShippedFormatCatalog,
                            const QString &presetFile = kShippedPresetCatalog);

// Appends the user's presets and loads the favorites, each only when its file exists.
void LoadUserCatalogs(CatalogTable &presets, CatalogTable &favorites, const QString &userPresetFile,
                      const QString &favoritesFile);

} // namespace tv

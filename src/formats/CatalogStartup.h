#pragma once
// Loading the catalogs when the program starts: the shipped format and preset catalogs,
// then the user's own presets, then the favorites.

#include <QString>

namespace tv {

class CatalogTable;

// The shipped catalogs inside the program (enciphered catalog files).
inline const QString kShippedFormatCatalog = QStringLiteral(":/catalog/format.dat");
inline const QString kShippedPresetCatalog = QStringLiteral(":/catalog/preset.dat");

// Writes the shipped catalogs into the temporary folder as "format.dat" and "preset.dat",
// loads them (replacing both tables) and deletes the two files again. When the folder
// cannot be written the catalogs are read from the program itself, so the program always
// starts with them.
void LoadShippedCatalogs(CatalogTable &formats, CatalogTable &presets, const QString &tempFolder);

// Appends the user's presets and loads the favorites, each only when its file exists.
void LoadUserCatalogs(CatalogTable &presets, CatalogTable &favorites, const QString &userPresetFile,
                      const QString &favoritesFile);

} // namespace tv

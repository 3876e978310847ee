#include "CatalogStartup.h"

#include "CatalogFile.h"
#include "CatalogTable.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

namespace tv {

namespace {

Q_LOGGING_CATEGORY(lcCatalogStartup, "tunevane.catalog", QtWarningMsg)

void LoadShipped(CatalogTable &table, const QString &resource, const QString &tempFile) {
    QFile source(resource);
    QSaveFile copy(tempFile);
    const bool written = !tempFile.isEmpty() && source.open(QIODevice::ReadOnly) &&
                         copy.open(QIODevice::WriteOnly) && copy.write(source.readAll()) == source.size() &&
                         copy.commit();
    if (!written)
        qCWarning(lcCatalogStartup) << "cannot write" << tempFile << "- reading the catalog in place";
    LoadCatalogFile(table, written ? tempFile : resource, 0, true);
    if (written)
        QFile::remove(tempFile);
}

} // namespace

void LoadShippedCatalogs(CatalogTable &formats, CatalogTable &presets, const QString &tempFolder) {
    const QString folder =
        tempFolder.isEmpty() || tempFolder.endsWith(QLatin1Char('/')) ? tempFolder : tempFolder + '/';
    LoadShipped(formats, kShippedFormatCatalog, folder.isEmpty() ? QString() : folder + "format.dat");
    LoadShipped(presets, kShippedPresetCatalog, folder.isEmpty() ? QString() : folder + "preset.dat");
}

void LoadUserCatalogs(CatalogTable &presets, CatalogTable &favorites, const QString &userPresetFile,
                      const QString &favoritesFile) {
    if (!userPresetFile.isEmpty() && QFileInfo(userPresetFile).isFile())
        LoadCatalogFile(presets, userPresetFile, 1, true);
    if (!favoritesFile.isEmpty() && QFileInfo(favoritesFile).isFile())
        LoadCatalogFile(favorites, favoritesFile, 0, true);
}

} // namespace tv

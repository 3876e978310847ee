#include "CatalogStartup.h"

#include "CatalogFile.h"
#include "CatalogTable.h"

#include <QFileInfo>

namespace tv {

QString LoadShippedCatalogs(CatalogTable &formats, CatalogTable &presets, const QString &formatFile,
                            const QString &presetFile) {
    // Read in place from the program's resources: a copy under a fixed name in the temporary
    // folder would be shared with, and deleted by, other running processes of the same user.
    const struct {
        CatalogTable *table;
        const QString &resource;
        const char *what;
    } shipped[] = {{&formats, formatFile, "format"}, {&presets, presetFile, "preset"}};
    for (const auto &catalog : shipped) {
        const int rows = LoadCatalogFile(*catalog.table, catalog.resource, 0, true);
        if (rows <= 0)
            return QStringLiteral("The built-in %1 catalog of the program cannot be read: the "
                                  "installation is damaged. Please install the program again.")
                .arg(QLatin1String(catalog.what));
    }
    return QString();
}

void LoadUserCatalogs(CatalogTable &presets, CatalogTable &favorites, const QString &userPresetFile,
                      const QString &favoritesFile) {
    if (!userPresetFile.isEmpty() && QFileInfo(userPresetFile).isFile())
        LoadCatalogFile(presets, userPresetFile, 1, true);
    if (!favoritesFile.isEmpty() && QFileInfo(favoritesFile).isFile())
        LoadCatalogFile(favorites, favoritesFile, 0, true);
}

} // namespace tv

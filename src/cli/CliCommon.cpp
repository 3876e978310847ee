#include "CliCommon.h"

#include "CatalogStartup.h"
#include "CatalogTable.h"
#include "Config.h"

#include <cstdio>

namespace tv {

void PrintOut(const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void PrintError(const QString &text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

Catalogs LoadCatalogsForCli() {
    Catalogs c;
    c.formats = std::make_unique<CatalogTable>();
    c.presets = std::make_unique<CatalogTable>();
    c.favorites = std::make_unique<CatalogTable>();
    c.problem = LoadShippedCatalogs(*c.formats, *c.presets);
    if (!c.problem.isEmpty())
        return c;
    LoadUserCatalogs(*c.presets, *c.favorites, Paths().userPresetFile, Paths().userFavoritesFile);
    return c;
}

} // namespace tv

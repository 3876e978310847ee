#include "Config.h"

#include "Cipher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace tv {

namespace {

struct SealedEntry {
    const char *key;
    const unsigned char *bytes;
    std::size_t size;
};

template <SealedText text>
constexpr SealedEntry Entry(const char *key) {
    return {key, text.bytes, text.size};
}

// Values are sealed at compile time; the links point at the product's own site.
constexpr SealedText kCompany{"Tunevane Project"};
constexpr SealedText kProduct{"Tunevane"};
constexpr SealedText kVersion{TUNEVANE_VERSION};
constexpr SealedText kRegistry{"Tunevane"};
constexpr SealedText kHome{"https://tunevane.org/"};
constexpr SealedText kUpdate{"https://tunevane.org/update/?product=PRODUCTNAME&version=VERSION"};
constexpr SealedText kContact{"https://tunevane.org/contact/"};
constexpr SealedText kReport{"https://tunevane.org/report/?data="};
constexpr SealedText kFavoriteMax{"20"};
constexpr SealedText kFolderData{"Tunevane/"};
constexpr SealedText kFolderTemp{"Tunevane/Temp/"};
constexpr SealedText kFolderPreset{"Tunevane/Presets/"};
constexpr SealedText kFolderFavorite{"Tunevane/Favorites/"};
constexpr SealedText kFilePreset{"user-presets.dat"};
constexpr SealedText kFileFavorite{"favorites.dat"};
constexpr SealedText kClipboard{"application/x-tunevane-rows"};
constexpr SealedText kProductId{"org.tunevane.Tunevane.command"};
constexpr SealedText kMusicBrainz{"https://musicbrainz.org/ws/2/"};
constexpr SealedText kCoverArt{"https://coverartarchive.org/"};

const SealedEntry kTable[] = {
    Entry<kCompany>("COMPANY_NAME"),
    Entry<kProduct>("PRODUCT_NAME"),
    Entry<kVersion>("PRODUCT_VERSION"),
    Entry<kRegistry>("REGISTRY_PRODUCT"),
    Entry<kHome>("LINK_HOMEPAGE1"),
    Entry<kUpdate>("LINK_CHECKUPDATE"),
    Entry<kContact>("LINK_CONTACT_US"),
    Entry<kReport>("LINK_SEND_REPORT"),
    Entry<kFavoriteMax>("FAVORITE_MAX"),
    Entry<kFolderData>("FOLDER_DATA"),
    Entry<kFolderTemp>("FOLDER_TEMP"),
    Entry<kFolderPreset>("FOLDER_USER_PRESET"),
    Entry<kFolderFavorite>("FOLDER_USER_FAVORITE"),
    Entry<kFilePreset>("FILE_USER_PRESET"),
    Entry<kFileFavorite>("FILE_USER_FAVORITE"),
    Entry<kClipboard>("CLIPBOARD_ID"),
    Entry<kProductId>("PRODUCT_ID"),
    Entry<kMusicBrainz>("LINK_MUSICBRAINZ"),
    Entry<kCoverArt>("LINK_COVERART"),
};

AppConfig gConfig;
AppPaths gPaths;

} // namespace

QString ConfigValue(const QString &key) {
    for (const SealedEntry &entry : kTable) {
        if (key != QLatin1String(entry.key))
            continue;
        // Link addresses may be pointed at a local server, which is how tests reach them.
        if (key.startsWith(QLatin1String("LINK_"))) {
            const QByteArray over = qgetenv(("TUNEVANE_" + key).toLatin1().constData());
            if (!over.isEmpty())
                return QString::fromUtf8(over);
        }
        const QByteArray sealed(reinterpret_cast<const char *>(entry.bytes), static_cast<qsizetype>(entry.size));
        return QString::fromUtf8(MixBytes(sealed));
    }
    return QString();
}

const AppConfig &Config() { return gConfig; }
const AppPaths &Paths() { return gPaths; }

void UseTempFolder(const QString &folder) { gPaths.tempFolder = folder; }

QString WithTrailingSlash(const QString &folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString SpecialFolder(int id) {
    QString path;
    switch (id) {
    case 5:
        path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        break;
    case 13:
        path = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
        break;
    case 26:
        path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        break;
    case 39:
        path = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        break;
    default:
        return QString();
    }
    // Linux names a music or pictures folder even when the user has none; treat that as "none"
    // so the documents fall-back applies instead of a folder that does not exist.
    if ((id == 13 || id == 39) && !QFileInfo(path).isDir())
        return QString();
    return WithTrailingSlash(path);
}

void ReadConfiguration() {
    AppConfig c;
    c.companyName = ConfigValue("COMPANY_NAME");
    c.productName = ConfigValue("PRODUCT_NAME");
    c.productVersion = ConfigValue("PRODUCT_VERSION");
    c.registryProduct = ConfigValue("REGISTRY_PRODUCT");
    c.linkHomepage = ConfigValue("LINK_HOMEPAGE1");
    c.linkCheckUpdate = ConfigValue("LINK_CHECKUPDATE");
    c.linkContactUs = ConfigValue("LINK_CONTACT_US");
    c.linkSendReport = ConfigValue("LINK_SEND_REPORT");
    bool ok = false;
    const int favoriteMax = ConfigValue("FAVORITE_MAX").toInt(&ok);
    c.favoriteMax = ok && favoriteMax >= 0 && favoriteMax <= 32767 ? static_cast<qint16>(favoriteMax) : 0;
    c.folderData = ConfigValue("FOLDER_DATA");
    c.folderTemp = ConfigValue("FOLDER_TEMP");
    c.folderUserPreset = ConfigValue("FOLDER_USER_PRESET");
    c.folderUserFavorite = ConfigValue("FOLDER_USER_FAVORITE");
    c.fileUserPreset = ConfigValue("FILE_USER_PRESET");
    c.fileUserFavorite = ConfigValue("FILE_USER_FAVORITE");
    c.clipboardId = ConfigValue("CLIPBOARD_ID");
    c.productId = ConfigValue("PRODUCT_ID");
    gConfig = c;

    AppPaths p;
    p.installFolder =
        QCoreApplication::instance() ? WithTrailingSlash(QCoreApplication::applicationDirPath()) : QString();
    p.appDataFolder = SpecialFolder(26);
    p.dataFolder = p.appDataFolder + c.folderData;
    p.sharedTempFolder = p.appDataFolder + c.folderTemp;
    p.tempFolder = p.sharedTempFolder;
    p.builtinPresetFolder = p.installFolder + "Preset/";
    p.userPresetFolder = p.appDataFolder + c.folderUserPreset;
    p.userFavoritesFolder = p.appDataFolder + c.folderUserFavorite;
    p.userPresetFile = p.userPresetFolder + c.fileUserPreset;
    p.userFavoritesFile = p.userFavoritesFolder + c.fileUserFavorite;
    p.libraryFolder = p.installFolder + "Libs";
    gPaths = p;
}

} // namespace tv

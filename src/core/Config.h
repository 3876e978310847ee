#pragma once
// The built-in configuration table, the folders derived from it, and the platform folders.

#include <QString>

namespace tv {

// Looks a configuration value up by its name; "" for an unknown name or an unreadable value.
QString ConfigValue(const QString &key);

// The configuration values, read once at start-up in the table's order.
// Written by ReadConfiguration on the UI thread before any window exists; read-only afterwards.
struct AppConfig {
    QString companyName;
    QString productName;
    QString productVersion;
    QString registryProduct;
    QString linkHomepage;
    QString linkCheckUpdate;
    QString linkContactUs;
    QString linkSendReport;
    qint16 favoriteMax = 0;
    QString folderData;
    QString folderTemp;
    QString folderUserPreset;
    QString folderUserFavorite;
    QString fileUserPreset;
    QString fileUserFavorite;
    QString clipboardId;
    QString productId;
};

// Folders and files derived from the configuration; every folder ends with "/".
struct AppPaths {
    QString installFolder;
    QString appDataFolder;
    QString dataFolder;
    QString sharedTempFolder; // holds one folder per running process of the program
    QString tempFolder;       // this process's own temporary folder (see TempSession.h)
    QString builtinPresetFolder;
    QString userPresetFolder;
    QString userFavoritesFolder;
    QString userPresetFile;
    QString userFavoritesFile;
    QString libraryFolder;
};

const AppConfig &Config();
const AppPaths &Paths();

// Reads the configuration table and derives the paths (step 2 of the start procedure).
// Safe to call again, e.g. after a test has pointed HOME somewhere else.
void ReadConfiguration();

// Makes folder (ending with "/") this process's temporary folder.
void UseTempFolder(const QString &folder);

// Platform folders by the shell's numbers: 5 documents, 13 music, 26 application data,
// 39 pictures. Answers the folder followed by "/", or "" when the platform has none.
QString SpecialFolder(int id);

// Appends "/" unless the text is empty or already ends with one.
QString WithTrailingSlash(const QString &folder);

} // namespace tv

#pragma once
// The per-user settings store: text values under the program's key, kept in an INI file in
// the user's configuration folder.

#include <QDate>
#include <QString>

namespace tv {

// Path of the INI file that holds every setting of the program.
QString SettingsFilePath();

// The stored text of a value under the key path, or "" when the key or value is missing or
// the store cannot be read.
QString ReadSetting(const QString &keyPath, const QString &valueName);

// Stores a text value under the key path, creating the key when missing. Failures are
// ignored; the answer is always true.
bool WriteSetting(const QString &keyPath, const QString &valueName, const QString &text);

// The same two operations under the program's own key (the "REGISTRY_PRODUCT" value).
QString ReadSetting(const QString &valueName);
bool WriteSetting(const QString &valueName, const QString &text);

// The six general settings. Owned by the UI thread.
struct GeneralSettings {
    int closeEvent = 0;           // 0 keep open, 1 minimise to tray, 2 exit
    bool closeDontAskMe = false;  // apply closeEvent without asking
    bool updateActive = true;     // check for updates at start
    QDate updateLastTime;         // date of the last update check
    int outputFileName = 1;       // 1 = give outputs new names instead of overwriting
    int themeNo = 1;              // 1 Light, 2 Dark
};

GeneralSettings &Settings();

// Reads the general settings with their defaults; SaveSettings writes them back.
void LoadSettings();
void SaveSettings();

// Text form of booleans in the store.
inline QString FlagText(bool value) { return value ? QStringLiteral("-1") : QStringLiteral("0"); }

} // namespace tv

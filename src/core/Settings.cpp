#include "Settings.h"

#include "Config.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>

namespace tv {

namespace {

GeneralSettings gSettings;

QString GroupOf(QString keyPath) {
    keyPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (keyPath.startsWith(QLatin1Char('/')))
        keyPath.remove(0, 1);
    return keyPath;
}

QString ProgramKey() {
    const QString key = Config().registryProduct;
    return key.isEmpty() ? ConfigValue("REGISTRY_PRODUCT") : key;
}

// Dates are stored in ISO form, which reads back the same whatever the locale is later.
QDate ParseStoredDate(const QString &text) {
    QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        date = QLocale::system().toDate(text, QLocale::ShortFormat);
    if (!date.isValid())
        date = QLocale::system().toDate(text, QLocale::LongFormat);
    return date;
}

} // namespace

QString SettingsFilePath() {
    QString product = Config().productName;
    if (product.isEmpty())
        product = ConfigValue("PRODUCT_NAME");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/" + product + "/" +
           product + ".ini";
}

QString ReadSetting(const QString &keyPath, const QString &valueName) {
    const QString file = SettingsFilePath();
    if (!QFileInfo(file).isFile())
        return QString();
    QSettings store(file, QSettings::IniFormat);
    // A file with unreadable lines still yields the values it holds; an unreadable file none.
    if (store.status() == QSettings::AccessError)
        return QString();
    store.beginGroup(GroupOf(keyPath));
    const QVariant value = store.value(valueName);
    store.endGroup();
    // A value typed by hand with a comma comes back as a list; the store holds text only.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    if (!value.canConvert<QString>())
        return QString();
    return value.toString();
}

bool WriteSetting(const QString &keyPath, const QString &valueName, const QString &text) {
    const QString file = SettingsFilePath();
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings store(file, QSettings::IniFormat);
    store.beginGroup(GroupOf(keyPath));
    store.setValue(valueName, text);
    store.endGroup();
    store.sync();
    return true;
}

QString ReadSetting(const QString &valueName) { return ReadSetting(ProgramKey(), valueName); }

bool WriteSetting(const QString &valueName, const QString &text) {
    return WriteSetting(ProgramKey(), valueName, text);
}

GeneralSettings &Settings() { return gSettings; }

void LoadSettings() {
    GeneralSettings s;
    const QString closeEvent = ReadSetting("CloseEvent").trimmed();
    s.closeEvent = closeEvent == "1" ? 1 : closeEvent == "2" ? 2 : 0;
    if (s.closeEvent == 1 || s.closeEvent == 2)
        s.closeDontAskMe = ReadSetting("CloseDontAskMe").trimmed() == "-1";
    s.updateActive = ReadSetting("UpdateActive").trimmed() != "0";
    const QDate last = ParseStoredDate(ReadSetting("UpdateLastTime").trimmed());
    s.updateLastTime = last.isValid() ? last : QDate::currentDate();
    s.outputFileName = ReadSetting("OutputFileName").trimmed() == "0" ? 0 : 1;
    s.themeNo = ReadSetting("ThemeNo").trimmed() == "2" ? 2 : 1;
    gSettings = s;
}

void SaveSettings() {
    const GeneralSettings &s = gSettings;
    WriteSetting("CloseEvent", QString::number(s.closeEvent));
    WriteSetting("CloseDontAskMe", FlagText(s.closeDontAskMe));
    WriteSetting("UpdateActive", FlagText(s.updateActive));
    WriteSetting("UpdateLastTime", s.updateLastTime.toString(Qt::ISODate));
    WriteSetting("OutputFileName", QString::number(s.outputFileName));
    WriteSetting("ThemeNo", QString::number(s.themeNo));
}

} // namespace tv

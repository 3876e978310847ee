#include "ImageStore.h"

#include "Config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>

namespace tv {

namespace {

Q_LOGGING_CATEGORY(lcImages, "tunevane.images")

// UI thread only.
QString gThemeName = QStringLiteral("Light");
QString gThemeFolder;
QHash<QString, QPixmap> gCache;

QString FindSkinRoot() {
    const QByteArray over = qgetenv("TUNEVANE_SKIN_DIR");
    if (!over.isEmpty())
        return WithTrailingSlash(QString::fromLocal8Bit(over));
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString app = QCoreApplication::applicationDirPath();
        candidates << app + "/Skin" << app + "/../share/tunevane/Skin";
    }
    candidates << QStringLiteral(TUNEVANE_BUILD_DIR "/Skin");
    for (const QString &c : candidates) {
        if (QFileInfo(c).isDir())
            return WithTrailingSlash(QDir::cleanPath(c));
    }
    return QString();
}

} // namespace

QString ThemeFolder() {
    if (gThemeFolder.isEmpty()) {
        const QString root = FindSkinRoot();
        if (!root.isEmpty())
            gThemeFolder = root + gThemeName + "/";
    }
    return gThemeFolder;
}

void SetThemeName(const QString &name) {
    gThemeName = name;
    gThemeFolder.clear();
    gCache.clear();
}

QPixmap ThemePixmap(const QString &fileName) {
    auto it = gCache.constFind(fileName);
    if (it != gCache.constEnd())
        return *it;
    QPixmap pixmap(ThemeFolder() + fileName);
    if (pixmap.isNull())
        qCWarning(lcImages) << "missing image" << ThemeFolder() + fileName;
    gCache.insert(fileName, pixmap);
    return pixmap;
}

QIcon ThemeIcon(const QString &fileName) { return QIcon(ThemePixmap(fileName)); }

} // namespace tv

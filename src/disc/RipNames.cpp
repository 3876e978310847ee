#include "RipNames.h"

#include "DiscToc.h"
#include "OutputNaming.h"
#include "PresetIdentifier.h"

#include <QDir>

namespace tv {

QString RippedFileName(const QString &folder, bool infoAvailable, const QString &artist, const QString &title,
                       int trackNumber, QSet<QString> *taken) {
    const QString name =
        infoAvailable ? artist + QStringLiteral(" - ") + title : NumberedTrackName(trackNumber);
    const QString path = folder + SafeOutputName(name, QStringLiteral("cda")) + QStringLiteral(".cda");
    QSet<QString> none;
    const QString unique = UniqueName(path, taken ? *taken : none);
    if (taken)
        taken->insert(unique);
    return unique;
}

QString NewRipFolder(const QString &tempFolder) {
    QDir().mkpath(tempFolder);
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QString folder = tempFolder + QStringLiteral("rip_") + NewPresetID() + QLatin1Char('/');
        // mkdir fails on a name that exists: two processes never get the same folder.
        if (QDir().mkdir(folder))
            return folder;
    }
    return QString();
}

} // namespace tv

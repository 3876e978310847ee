#include "DVD_Mods.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

extern "C" {
#include <cdio/cdio.h>
}

namespace tv {

namespace {

QString Slashed(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QList<OpticalDrive> OpticalDrives() {
    QList<OpticalDrive> drives;
    char **devices = cdio_get_devices(DRIVER_DEVICE);
    if (!devices)
        return drives;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (char **device = devices; *device; ++device) {
        OpticalDrive drive;
        drive.device = QString::fromLocal8Bit(*device);
        const QString canonical = QFileInfo(drive.device).canonicalFilePath();
        for (const QStorageInfo &volume : volumes) {
            const QString mounted = QString::fromLocal8Bit(volume.device());
            if (volume.isReady() &&
                (mounted == drive.device || (!canonical.isEmpty() && mounted == canonical))) {
                drive.root = Slashed(volume.rootPath());
                break;
            }
        }
        bool known = false;
        for (const OpticalDrive &other : std::as_const(drives))
            known = known || QFileInfo(other.device).canonicalFilePath() == canonical;
        if (!known)
            drives.append(drive);
    }
    cdio_free_device_list(devices);
    return drives;
}

QString DvdSourceFolder(const QString &chosen) {
    const QDir folder(chosen);
    const QStringList video = folder.entryList({QStringLiteral("VIDEO_TS")},
                                               QDir::Dirs | QDir::NoDotAndDotDot | QDir::CaseSensitive);
    if (!video.isEmpty())
        return Slashed(folder.filePath(video.constFirst()));
    // Discs and copies of them may carry the name in other letter cases.
    for (const QString &name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name.compare(QLatin1String("VIDEO_TS"), Qt::CaseInsensitive) == 0)
            return Slashed(folder.filePath(name));
    }
    return Slashed(chosen);
}

QStringList DvdVideoFiles(const QString &source) {
    const QDir folder(source);
    QStringList files;
    for (const QString &pattern : {QStringLiteral("VTS_*.vob"), QStringLiteral("VIDEO_*.vob")}) {
        QDir search(folder);
        search.setNameFilters({pattern});
        search.setFilter(QDir::Files | QDir::Readable);
        search.setSorting(QDir::Name | QDir::IgnoreCase);
        for (const QString &name : search.entryList())
            files << folder.filePath(name);
    }
    return files;
}

} // namespace tv

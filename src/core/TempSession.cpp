#include "TempSession.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tv {

namespace {

const QString kPrefix = QStringLiteral("run-");
const QString kPending = QStringLiteral(".claim-");
const QString kLockName = QStringLiteral(".lock");
constexpr int kPendingAgeSeconds = 60;

// Owned by whichever thread starts and ends the program (the main thread).
struct Claim {
    QString folder;
    int lockFd = -1;
};
Claim gClaim;

int OpenLock(const QString &folder) {
    return ::open(QFile::encodeName(folder + kLockName).constData(),
                  O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

} // namespace

int SweepEndedTempFolders(const QString &sharedFolder) {
    int swept = 0;
    const QDir shared(sharedFolder);
    const QStringList entries = shared.entryList({kPrefix + QLatin1Char('*'), kPending + QLatin1Char('*')},
                                                 QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : entries) {
        const QString folder = shared.filePath(name) + QLatin1Char('/');
        if (folder == gClaim.folder)
            continue;
        // A folder still being claimed is young; one left by a process killed while claiming is not.
        if (name.startsWith(kPending) &&
            QFileInfo(folder).lastModified().secsTo(QDateTime::currentDateTime()) < kPendingAgeSeconds)
            continue;
        const int fd = OpenLock(folder);
        if (fd < 0)
            continue;
        // Whoever still holds the lock is alive; a lock we can take belonged to an ended process.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            QDir(folder).removeRecursively();
            ++swept;
        }
        ::close(fd);
    }
    return swept;
}

QString ClaimTempFolder(const QString &sharedFolder) {
    ReleaseTempFolder();
    if (sharedFolder.isEmpty() || !QDir().mkpath(sharedFolder))
        return QString();
    SweepEndedTempFolders(sharedFolder);
    const QDir shared(sharedFolder);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString tag = QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFull, 36);
        // Made and locked under a name the sweep ignores, then given its final name, so that no
        // sweep ever meets a folder that exists but is not locked yet.
        const QString pending = shared.filePath(kPending + tag) + QLatin1Char('/');
        const QString final =
            shared.filePath(QStringLiteral("%1%2-%3").arg(kPrefix).arg(::getpid()).arg(tag)) +
            QLatin1Char('/');
        if (!QDir().mkdir(pending))
            continue;
        const int fd = OpenLock(pending);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
            ::rename(QFile::encodeName(pending.chopped(1)).constData(),
                     QFile::encodeName(final.chopped(1)).constData()) != 0) {
            if (fd >= 0)
                ::close(fd);
            QDir(pending).removeRecursively();
            continue;
        }
        gClaim.folder = final;
        gClaim.lockFd = fd;
        static const bool releasedAtExit = std::atexit(ReleaseTempFolder) == 0;
        Q_UNUSED(releasedAtExit);
        return final;
    }
    return QString();
}

void ReleaseTempFolder() {
    if (gClaim.folder.isEmpty())
        return;
    QDir(gClaim.folder).removeRecursively();
    if (gClaim.lockFd >= 0)
        ::close(gClaim.lockFd);
    gClaim = Claim();
}

void ClearTempFolder() {
    if (gClaim.folder.isEmpty())
        return;
    QDirIterator it(gClaim.folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(QLatin1Char('/') + kLockName))
            QFile::remove(path);
    }
}

} // namespace tv

#include "OutputNaming.h"

#include "Config.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tv {

namespace {

struct SplitPath {
    QString parent; // "" or ending with "/"
    QString base;
    QString extension; // without the dot
};

SplitPath Split(const QString &path) {
    SplitPath s;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    s.parent = slash >= 0 ? path.left(slash + 1) : QString();
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        s.base = name.left(dot);
        s.extension = name.mid(dot + 1);
    } else {
        s.base = name;
    }
    return s;
}

QString Join(const SplitPath &s, const QString &suffix) {
    QString name = s.parent + s.base + suffix;
    if (!s.extension.isEmpty())
        name += QLatin1Char('.') + s.extension;
    return name;
}

// Room kept free in a file name for "_(new_NNNN)" and the engine's work suffix.
constexpr int kReservedBytes = 40;
constexpr int kMaxNameBytes = 255;

} // namespace

bool NameTaken(const QString &path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

namespace {

// Flushes a file, or a folder's entries, to the disk; errors are left to the rename that follows.
void SyncPath(const QByteArray &path, int flags) {
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool Rename(const QByteArray &source, const QByteArray &target, bool replace) {
    if (replace)
        return std::rename(source.constData(), target.constData()) == 0;
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without that switch: a hard link cannot replace anything either.
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    if (errno == EEXIST)
        return false;
    // Nor hard links (FAT): the check and the rename, with only a moment between them.
    if (NameTaken(QFile::decodeName(target))) {
        errno = EEXIST;
        return false;
    }
    return std::rename(source.constData(), target.constData()) == 0;
}

} // namespace

bool PlaceFile(const QString &from, const QString &to, bool replace) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // The content reaches the disk before the name does, and the name right after: a power cut
    // never leaves an empty or partial file under a final name.
    SyncPath(source, O_RDONLY);
    if (!Rename(source, target, replace))
        return false;
    const int saved = errno;
    SyncPath(QFile::encodeName(QFileInfo(to).absolutePath()), O_RDONLY | O_DIRECTORY);
    errno = saved;
    return true;
}

QString ChangeExtension(const QString &path, const QString &extension) {
    SplitPath s = Split(path);
    s.extension = extension;
    return Join(s, QString());
}

QString UniqueName(const QString &path, const QSet<QString> &reserved) {
    const SplitPath s = Split(path);
    const QString folder = s.parent.isEmpty() ? QStringLiteral(".") : s.parent;
    auto taken = [&reserved](const QString &candidate) {
        return reserved.contains(candidate) || NameTaken(candidate);
    };
    if (!taken(path) || (!reserved.contains(path) && !QFileInfo(folder).isDir()))
        return path;
    const QString pattern = QString::fromLatin1(kUniqueNamePattern);
    QString candidate = Join(s, QString(pattern).replace(QLatin1String("%n"), QString()));
    if (!taken(candidate))
        return candidate;
    for (int n = 1;; ++n) {
        candidate = Join(s, QString(pattern).replace(QLatin1String("%n"), "_" + QString::number(n)));
        if (!taken(candidate))
            return candidate;
    }
}

QString SafeOutputName(const QString &displayName, const QString &extension) {
    QString name = displayName;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QChar(0), QLatin1Char('_'));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("_");
    SplitPath s = Split(name);
    const int budget = kMaxNameBytes - kReservedBytes - static_cast<int>(extension.toUtf8().size()) - 1;
    if (s.base.toUtf8().size() > budget) {
        QString shortened;
        int bytes = 0;
        for (qsizetype i = 0; i < s.base.size();) {
            const qsizetype step = s.base.at(i).isHighSurrogate() && i + 1 < s.base.size() ? 2 : 1;
            const QString piece = s.base.mid(i, step);
            const int pieceBytes = static_cast<int>(piece.toUtf8().size());
            if (bytes + pieceBytes > budget)
                break;
            shortened += piece;
            bytes += pieceBytes;
            i += step;
        }
        s.base = shortened;
    }
    return Join(s, QString());
}

QString OutputPathForJob(const QString &outputFolder, const QString &displayName, const QString &extension,
                         int outputFileNamePolicy, const QSet<QString> &reserved) {
    // File names are case-sensitive here: outputs take the extension in lower case, as files
    // on this platform usually do, whatever case the catalog writes it in.
    const QString lower = extension.toLower();
    const QString base = WithTrailingSlash(outputFolder) + SafeOutputName(displayName, lower);
    const QString path = ChangeExtension(base, lower);
    if (outputFileNamePolicy == 1 || reserved.contains(path))
        return UniqueName(path, reserved);
    return path;
}

} // namespace tv

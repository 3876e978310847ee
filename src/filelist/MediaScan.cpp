#include "MediaScan.h"

#include "MediaItem.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace tv {

namespace {

// Natural order: runs of digits compare by their value ("track 2" before "track 10"), the
// rest without regard to case. Written out because the collator's numeric mode is not
// available in every locale the program runs under.
bool NaturalLess(const QString &a, const QString &b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < a.size() && a.at(ei).isDigit())
                ++ei;
            while (ej < b.size() && b.at(ej).isDigit())
                ++ej;
            QStringView da = QStringView(a).mid(i, ei - i);
            QStringView db = QStringView(b).mid(j, ej - j);
            while (da.size() > 1 && da.front() == QLatin1Char('0'))
                da = da.mid(1);
            while (db.size() > 1 && db.front() == QLatin1Char('0'))
                db = db.mid(1);
            if (da.size() != db.size())
                return da.size() < db.size();
            if (const int c = da.compare(db); c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a.at(i).toCaseFolded();
        const QChar cb = b.at(j).toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b;
}

struct Walk {
    const std::atomic_bool *cancel = nullptr;
    QSet<QPair<quint64, quint64>> visited; // device and inode of every folder searched
    QStringList files;

    bool canceled() const { return cancel && cancel->load(); }

    void folder(const QByteArray &path) {
        struct stat st {};
        if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return;
        const QPair<quint64, quint64> key{static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
        if (visited.contains(key))
            return;
        visited.insert(key);

        DIR *dir = ::opendir(path.constData());
        if (!dir)
            return;
        // Names are read as bytes, so a name that is not valid text still reaches the import,
        // which then says why it cannot be added.
        QStringList names;
        QList<QByteArray> subfolders;
        while (dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QByteArray child = path + (path.endsWith('/') ? "" : "/") + name;
            bool isDir = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
                struct stat cst {};
                isDir = ::stat(child.constData(), &cst) == 0 && S_ISDIR(cst.st_mode);
            }
            if (isDir) {
                subfolders << child;
                continue;
            }
            const int dot = name.lastIndexOf('.');
            if (dot < 0)
                continue;
            if (IsMediaExtension(QString::fromUtf8(name.mid(dot + 1))))
                names << QFile::decodeName(child);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end(), NaturalLess);
        files += names;
        std::sort(subfolders.begin(), subfolders.end(), [](const QByteArray &a, const QByteArray &b) {
            return NaturalLess(QFile::decodeName(a), QFile::decodeName(b));
        });
        for (const QByteArray &sub : subfolders) {
            if (canceled())
                return;
            folder(sub);
        }
    }
};

} // namespace

QStringList CollectMediaFiles(const QStringList &paths, const std::atomic_bool *cancel) {
    Walk walk;
    walk.cancel = cancel;
    for (const QString &path : paths) {
        if (walk.canceled())
            break;
        if (QFileInfo(path).isDir())
            walk.folder(QFile::encodeName(path));
        else
            walk.files << path;
    }
    return walk.files;
}

} // namespace tv

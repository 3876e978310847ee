#include "MediaScan.h"

#include "MediaItem.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace tv {

namespace {

struct Walk {
    const std::atomic_bool *cancel = nullptr;
    QSet<QPair<quint64, quint64>> visited; // device and inode of every folder searched
    QCollator collator;
    QStringList files;

    Walk() {
        collator.setNumericMode(true);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
    }

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
        std::sort(names.begin(), names.end(), [this](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
        files += names;
        std::sort(subfolders.begin(), subfolders.end(), [this](const QByteArray &a, const QByteArray &b) {
            return collator.compare(QFile::decodeName(a), QFile::decodeName(b)) < 0;
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

#include "ExportFiles.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tv {

bool WriteExportFile(const QString &path, const QStringList &lines) {
    if (path.trimmed().isEmpty())
        return false;
    // O_NOFOLLOW: a reply path that is a link could point anywhere the program may write.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    QByteArray content;
    for (const QString &line : lines)
        content += line.toUtf8() + "\r\n";
    qsizetype written = 0;
    while (written < content.size()) {
        const ssize_t n =
            ::write(fd, content.constData() + written, static_cast<size_t>(content.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    ::close(fd);
    return written == content.size();
}

} // namespace tv

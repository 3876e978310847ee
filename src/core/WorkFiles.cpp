#include "WorkFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace tv {

namespace {

const QStringList kKinds{QStringLiteral("tvpart"), QStringLiteral("tags")};

// The machine's name as it may stand in a file name ("-" separates the stamp's fields).
QString HostName() {
    static const QString host = []() {
        QString name = QSysInfo::machineHostName();
        for (QChar &c : name) {
            if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('_'))
                c = QLatin1Char('_');
        }
        return name.isEmpty() ? QStringLiteral("host") : name;
    }();
    return host;
}

bool ProcessAlive(qint64 pid) {
    if (pid <= 0)
        return true; // not ours to judge
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

QString WorkFileStamp() {
    const QString tag = QString::number(QRandomGenerator::global()->generate() & 0xFFFFFF, 36);
    return QStringLiteral("%1-%2-%3").arg(HostName()).arg(::getpid()).arg(tag);
}

QString WorkFilePath(const QString &finalPath, const QString &kind) {
    const QFileInfo info(finalPath);
    QString name = QStringLiteral(".%1.%2-%3").arg(info.completeBaseName(), kind, WorkFileStamp());
    if (!info.suffix().isEmpty())
        name += QLatin1Char('.') + info.suffix();
    return info.path() + QLatin1Char('/') + name;
}

QString WorkFileTemplate(const QString &finalPath, const QString &kind) {
    const QFileInfo info(finalPath);
    return QStringLiteral("%1/.%2.%3-%4-%5-XXXXXX")
        .arg(info.absolutePath(), info.fileName(), kind, HostName())
        .arg(::getpid());
}

int SweepDeadWorkFiles(const QString &folder) {
    int swept = 0;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!name.startsWith(QLatin1Char('.')))
            continue;
        for (const QString &kind : kKinds) {
            const QString marker = QLatin1Char('.') + kind + QLatin1Char('-');
            const qsizetype at = name.lastIndexOf(marker);
            if (at < 0)
                continue;
            // HOST-PID-RANDOM, then perhaps ".extension"; the host may hold dots, the others not.
            QStringList fields = name.mid(at + marker.size()).split(QLatin1Char('-'));
            if (fields.size() < 3)
                continue;
            fields.last() = fields.last().section(QLatin1Char('.'), 0, 0);
            bool ok = false;
            const qint64 pid = fields.at(fields.size() - 2).toLongLong(&ok);
            const QString host = fields.mid(0, fields.size() - 2).join(QLatin1Char('-'));
            if (ok && host == HostName() && !ProcessAlive(pid) && QFile::remove(dir.filePath(name)))
                ++swept;
            break;
        }
    }
    return swept;
}

} // namespace tv

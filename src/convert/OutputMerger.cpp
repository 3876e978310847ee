#include "OutputMerger.h"

#include "AudioLength.h"
#include "CMD_MediaConvert.h"
#include "Config.h"
#include "FlacHeader.h"
#include "OutputNaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tv {

OutputMerger::OutputMerger(QObject *parent)
    : QObject(parent), m_runner(new CMD_MediaConvert(this)), m_tasks(this, &m_pool) {
    qRegisterMetaType<tv::MergeResult>();
    connect(m_runner, &CMD_MediaConvert::finished, this, &OutputMerger::onRunFinished);
}

QString OutputMerger::CopyArguments(int panelIndex) {
    return panelIndex == 2 ? QStringLiteral(" -acodec copy -y")
                           : QStringLiteral(" -acodec copy -vcodec copy -y");
}

// "temp" + 1…1000 + extension in the output folder, never the name of a file already there; the
// file is created empty to hold the name.
QString OutputMerger::TemporaryOutput(const QString &folder, const QString &extension) {
    const int first = static_cast<int>(QRandomGenerator::global()->bounded(1000)) + 1;
    for (int i = 0;; ++i) {
        const int n = i < 1000 ? (first - 1 + i) % 1000 + 1 : 1000 + i;
        const QString candidate =
            WithTrailingSlash(folder) + QStringLiteral("temp%1.%2").arg(n).arg(extension);
        // Made at once, so that a merge of another process into the same folder picks another.
        const int fd =
            ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST)
            return candidate; // ffmpeg will say why it cannot write there
    }
}

void OutputMerger::start(const MergeRequest &request) {
    m_request = request;
    const QString base = request.workFolder.isEmpty() ? Paths().tempFolder : request.workFolder;
    QDir().mkpath(base);
    m_workDir = std::make_unique<QTemporaryDir>(WithTrailingSlash(base) + QStringLiteral("merge-XXXXXX"));
    m_runner->setWorkFolder(m_workDir->isValid() ? m_workDir->path() : base);
    m_runner->CleanUp(QString());
    for (const QString &output : request.outputs)
        m_runner->AddToList(output);
    if (request.outputs.size() < 2) {
        m_runner->CleanUp(QString());
        MergeResult nothing;
        QMetaObject::invokeMethod(
            this, [this, nothing]() { Q_EMIT finished(nothing); }, Qt::QueuedConnection);
        return;
    }
    const QString first = request.outputs.first();
    m_finalPath = UniqueName(first);
    QString extension = QFileInfo(first).suffix();
    if (extension.compare(QLatin1String("M4B"), Qt::CaseInsensitive) == 0 ||
        extension.compare(QLatin1String("M4R"), Qt::CaseInsensitive) == 0)
        extension = QStringLiteral("m4a");
    m_temporaryPath = TemporaryOutput(request.outputFolder, extension);
    m_running = true;
    // Only the sound is joined: covers come out of the parts as picture streams, which a join
    // would copy (or fail on); the joined file gets the first row's cover from the tag writer.
    m_runner->RunFFmpeg(m_temporaryPath, QStringLiteral("-f concat -i"),
                        QStringLiteral(" -map 0:a") + CopyArguments(request.panelIndex));
}

void OutputMerger::cancel() {
    if (!m_running)
        return;
    if (!m_checking) {
        m_runner->Cancel();
        return;
    }
    // ffmpeg has ended and its join is being checked: the check's answer no longer counts.
    m_tasks.cancel();
    m_checking = false;
    m_runner->CleanUp(m_temporaryPath);
    finish(MergeResult{true, false, QString(), QStringLiteral("Operation has been cancelled!")});
}

void OutputMerger::finish(const MergeResult &result) {
    m_running = false;
    m_workDir.reset();
    Q_EMIT finished(result);
}

void OutputMerger::onRunFinished() {
    if (!m_running)
        return;
    MergeResult result;
    result.merged = true;
    if (!m_runner->succeeded()) {
        result.ok = false;
        result.error = m_runner->errorText();
        // ffmpeg's own last words say why, e.g. when the parts do not fit together.
        const QString said = m_runner->lastLine().trimmed();
        if (!said.isEmpty() && !said.contains(QLatin1String("time=")) &&
            !result.error.startsWith("Operation"))
            result.error += QStringLiteral("\n\n") + said;
        m_runner->CleanUp(m_temporaryPath);
        finish(result);
        return;
    }
    const QFileInfo joined(m_temporaryPath);
    if (!joined.isFile() || joined.size() == 0) {
        result.ok = false;
        result.error = QStringLiteral("The joined file was not written; the converted files are kept.");
        m_runner->CleanUp(m_temporaryPath);
        finish(result);
        return;
    }
    // A FLAC join counts the samples of all parts; then the join must hold as much sound as its
    // parts together. Both read whole files, so they run off the UI thread.
    m_checking = true;
    m_tasks.start(
        [joinedPath = m_temporaryPath, parts = m_request.outputs](TaskControl &, const TaskProgress &) {
            if (QFileInfo(joinedPath).suffix().compare(QLatin1String("FLAC"), Qt::CaseInsensitive) == 0)
                FixJoinedFlacHeader(joinedPath, parts);
            return JoinedLengthProblem(joinedPath, parts);
        },
        [this](const QString &problem) {
            m_checking = false;
            placeJoin(problem);
        });
}

QString OutputMerger::JoinedLengthProblem(const QString &joinedPath, const QStringList &parts) {
    qint64 expected = 0;
    for (const QString &part : parts) {
        const qint64 length = AudioPacketLength(part);
        if (length < 0)
            return QStringLiteral("\"%1\" could not be read again to check the join; the converted files are "
                                  "kept.")
                .arg(part);
        expected += length;
    }
    const qint64 joined = AudioPacketLength(joinedPath);
    if (joined <= 0)
        return QStringLiteral("The joined file holds no sound; the converted files are kept.");
    // Every part may lose or gain an encoder frame at its seams; whole seconds are never lost.
    const qint64 slack = std::max<qint64>({500000, expected / 50, 50000 * parts.size()});
    if (std::llabs(joined - expected) > slack)
        return QStringLiteral(
                   "The joined file lasts %1 s instead of the %2 s of its parts; the converted files "
                   "are kept.")
            .arg(joined / 1e6, 0, 'f', 1)
            .arg(expected / 1e6, 0, 'f', 1);
    return QString();
}

void OutputMerger::placeJoin(const QString &problem) {
    MergeResult result;
    result.merged = true;
    if (!problem.isEmpty()) {
        result.ok = false;
        result.error = problem;
        m_runner->CleanUp(m_temporaryPath);
        finish(result);
        return;
    }
    // The join takes its name first; only then are the parts deleted, so a failure loses neither.
    if (!PlaceFile(m_temporaryPath, m_finalPath, false)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        result.ok = false;
        result.finalPath = m_temporaryPath;
        result.error = QStringLiteral("The joined file could not be named \"%1\": %2\n\nIt has been kept as "
                                      "\"%3\", and the converted files are kept too.")
                           .arg(m_finalPath, reason, m_temporaryPath);
        m_runner->CleanUp(QString());
        finish(result);
        return;
    }
    m_runner->DeleteListedFiles();
    m_runner->CleanUp(QString());
    result.finalPath = m_finalPath;
    if (!m_request.writeTags) {
        finish(result);
        return;
    }
    // Tagging copies the joined file, which can be large: it is done off the UI thread.
    m_tasks.start([write = m_request.writeTags, path = m_finalPath](TaskControl &,
                                                                    const TaskProgress &) { write(path); },
                  [this, result]() { finish(result); });
}

} // namespace tv

#include "OutputMerger.h"

#include "CMD_MediaConvert.h"
#include "Config.h"
#include "FlacHeader.h"
#include "OutputNaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tv {

OutputMerger::OutputMerger(QObject *parent) : QObject(parent), m_runner(new CMD_MediaConvert(this)) {
    qRegisterMetaType<tv::MergeResult>();
    connect(m_runner, &CMD_MediaConvert::finished, this, &OutputMerger::onRunFinished);
}

QString OutputMerger::CopyArguments(int panelIndex) {
    return panelIndex == 2 ? QStringLiteral(" -acodec copy -y")
                           : QStringLiteral(" -acodec copy -vcodec copy -y");
}

// "temp" + 1…1000 + extension in the output folder, never the name of a file already there.
QString OutputMerger::TemporaryOutput(const QString &folder, const QString &extension) {
    const int first = static_cast<int>(QRandomGenerator::global()->bounded(1000)) + 1;
    for (int i = 0;; ++i) {
        const int n = i < 1000 ? (first - 1 + i) % 1000 + 1 : 1000 + i;
        const QString candidate =
            WithTrailingSlash(folder) + QStringLiteral("temp%1.%2").arg(n).arg(extension);
        if (!NameTaken(candidate))
            return candidate;
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
    m_runner->RunFFmpeg(m_temporaryPath, QStringLiteral("-f concat -i"), CopyArguments(request.panelIndex));
}

void OutputMerger::cancel() {
    if (m_running)
        m_runner->Cancel();
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
    // A FLAC join counts the samples of all parts before the parts go.
    if (joined.suffix().compare(QLatin1String("FLAC"), Qt::CaseInsensitive) == 0)
        FixJoinedFlacHeader(m_temporaryPath, m_request.outputs);
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
    auto *watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher, result]() {
        watcher->deleteLater();
        finish(result);
    });
    watcher->setFuture(
        QtConcurrent::run([write = m_request.writeTags, path = m_finalPath]() { write(path); }));
}

} // namespace tv

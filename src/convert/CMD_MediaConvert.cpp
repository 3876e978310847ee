#include "CMD_MediaConvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

namespace tv {

namespace {

void EmptyFile(const QString &path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.close();
}

QStringList SplitOptions(const QString &text) {
    static const QRegularExpression kBlanks(QStringLiteral("\\s+"));
    return text.split(kBlanks, Qt::SkipEmptyParts);
}

// Inside single quotes the concat demuxer reads every character as it is; a quote itself has
// to close the quoting, come escaped, and reopen it.
QByteArray QuotedForList(const QString &path) {
    QByteArray bytes = QFile::encodeName(path);
    bytes.replace('\'', "'\\''");
    return "file '" + bytes + "'\n";
}

} // namespace

CMD_MediaConvert::CMD_MediaConvert(QObject *parent) : QObject(parent), Timer_FFmpeg(new QTimer(this)) {
    Timer_FFmpeg->setObjectName(QStringLiteral("Timer_FFmpeg"));
    Timer_FFmpeg->setInterval(500);
    connect(Timer_FFmpeg, &QTimer::timeout, this, &CMD_MediaConvert::Timer_FFmpeg_Timer);
}

CMD_MediaConvert::~CMD_MediaConvert() {
    KillFFmpeg();
}

void CMD_MediaConvert::setWorkFolder(const QString &folder) {
    m_workFolder = folder.endsWith('/') ? folder : folder + '/';
    m_listFile = m_workFolder + QStringLiteral("file.txt");
    m_resultFile = m_workFolder + QStringLiteral("result.txt");
    m_runFile = m_workFolder + QStringLiteral("run.txt");
}

QString CMD_MediaConvert::FindFFmpeg() {
    QStringList beside;
    if (QCoreApplication::instance())
        beside << QCoreApplication::applicationDirPath() << QCoreApplication::applicationDirPath() + "/Libs";
    const QString local = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"), beside);
    return local.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("ffmpeg")) : local;
}

bool CMD_MediaConvert::isWatching() const {
    return Timer_FFmpeg->isActive();
}

void CMD_MediaConvert::RunFFmpeg(const QString &outputPath, const QString &option, const QString &arguments) {
    m_errorText.clear();
    m_succeeded = false;
    m_failed = false;
    m_lastLine.clear();
    m_lastTime.clear();
    m_idleCount = 0;
    EmptyFile(m_resultFile);

    const QString program = FindFFmpeg();
    if (program.isEmpty()) {
        m_failed = true;
        m_errorText = QStringLiteral("The ffmpeg program was not found, so the files cannot be joined.\n\n"
                                     "Please install ffmpeg and try again; the converted files are kept.");
        QMetaObject::invokeMethod(this, &CMD_MediaConvert::finished, Qt::QueuedConnection);
        return;
    }

    QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-nostdin")};
    QStringList optionParts = SplitOptions(option);
    // Absolute paths in the list are only read with the demuxer's safe mode off.
    const qsizetype input = optionParts.indexOf(QStringLiteral("-i"));
    if (optionParts.contains(QStringLiteral("concat")) && input >= 0) {
        optionParts.insert(input, QStringLiteral("0"));
        optionParts.insert(input, QStringLiteral("-safe"));
    }
    args += optionParts;
    args << m_listFile;
    args += SplitOptions(arguments);
    // "file:" keeps an output name that starts with a dash or holds a colon from being read as an option.
    args << QStringLiteral("file:") + outputPath;

    QFile run(m_runFile);
    if (run.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        run.write(QFile::encodeName(program) + '\n');
        for (const QString &a : args)
            run.write(QFile::encodeName(a) + '\n');
    }

    delete m_process;
    m_process = new QProcess(this);
    m_process->setProgram(program);
    m_process->setArguments(args);
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(m_resultFile);
    m_startFailed = false;
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            m_startFailed = true;
    });
    m_process->start();
    Timer_FFmpeg->start();
}

bool CMD_MediaConvert::AddToList(const QString &path) {
    QFile list(m_listFile);
    if (!list.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QString listed = path;
    // A line break cannot stand in a list line; a link with a plain name stands in for the file.
    if (path.contains('\n') || path.contains('\r')) {
        listed =
            QStringLiteral("%1part%2.%3").arg(m_workFolder).arg(++m_linkCount).arg(QFileInfo(path).suffix());
        QFile::remove(listed);
        if (!QFile::link(path, listed))
            return false;
    }
    m_listed << path;
    return list.write(QuotedForList(listed)) > 0;
}

void CMD_MediaConvert::DeleteListedFiles() {
    for (const QString &path : std::as_const(m_listed))
        QFile::remove(path);
    m_listed.clear();
    EmptyFile(m_runFile);
    QFile::remove(m_listFile);
}

void CMD_MediaConvert::CleanUp(const QString &extraPath) {
    EmptyFile(m_listFile);
    EmptyFile(m_resultFile);
    QFile::remove(m_runFile);
    QFile::remove(m_resultFile);
    QFile::remove(m_listFile);
    for (int i = 1; i <= m_linkCount; ++i) {
        const QDir work(m_workFolder);
        for (const QString &name :
             work.entryList({QStringLiteral("part%1.*").arg(i)}, QDir::System | QDir::Files))
            QFile::remove(work.filePath(name));
    }
    m_linkCount = 0;
    m_listed.clear();
    if (!extraPath.trimmed().isEmpty())
        QFile::remove(extraPath);
}

QString CMD_MediaConvert::LastLine(const QByteArray &text) {
    static const QRegularExpression kBreaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = QString::fromUtf8(text).split(kBreaks);
    // The break after the last line starts no new one.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines.isEmpty() ? QString() : lines.last();
}

QString CMD_MediaConvert::CleanLine(QString line) {
    line.remove(QLatin1Char('\t'));
    line.remove(QStringLiteral("\r\n"));
    for (int blanks = 7; blanks >= 1; --blanks)
        line.replace(QLatin1Char('=') + QString(blanks, QLatin1Char(' ')), QStringLiteral("="));
    return line;
}

void CMD_MediaConvert::ParseResult() {
    QFile result(m_resultFile);
    QByteArray text;
    if (result.open(QIODevice::ReadOnly))
        text = result.readAll();
    m_lastLine = CleanLine(LastLine(text));
    const QStringList tokens = m_lastLine.split(QLatin1Char(' '));
    if (!tokens.isEmpty() && tokens.last().trimmed().endsWith(QLatin1Char('%'))) {
        // The final summary ends with the muxing overhead in percent; but a part the joiner could
        // not open is only skipped, and a join without it is no success.
        m_succeeded = !text.contains("Impossible to open '");
        m_failed = !m_succeeded;
        return;
    }
    m_succeeded = false;
    QString time;
    for (const QString &token : tokens) {
        if (token.contains(QLatin1String("time=")))
            time = QString(token).remove(QLatin1String("time=")).trimmed();
    }
    if (!time.isEmpty()) {
        m_lastTime = time;
        m_idleCount = 0;
    } else if (IsRunning()) {
        m_failed = false;
        m_idleCount = 0;
    } else {
        m_idleCount += 2;
        if (m_idleCount == 10)
            m_failed = true;
    }
}

qint64 CMD_MediaConvert::processId() const {
    return m_process ? m_process->processId() : 0;
}

bool CMD_MediaConvert::IsRunning() const {
    return m_process && m_process->state() != QProcess::NotRunning;
}

void CMD_MediaConvert::KillFFmpeg() {
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(3000);
    }
    m_process->deleteLater();
    m_process = nullptr;
}

void CMD_MediaConvert::stopWatching() {
    const bool wasWatching = Timer_FFmpeg->isActive();
    Timer_FFmpeg->stop();
    KillFFmpeg();
    if (wasWatching)
        Q_EMIT finished();
}

void CMD_MediaConvert::Timer_FFmpeg_Timer() {
    ParseResult();
    Q_EMIT diagnosticsChanged(m_lastLine, m_lastTime);
    // While ffmpeg runs its console text only shows progress; a run never fails by time.
    if (IsRunning())
        return;
    // Once it has ended, its exit status has the last word: lines printed after the summary
    // (warnings about a cover, say) must not turn a good join into a failure, nor a summary
    // printed before a failing exit into a success. A part it could not open is no success either.
    QByteArray text;
    QFile result(m_resultFile);
    if (result.open(QIODevice::ReadOnly))
        text = result.readAll();
    m_succeeded = m_process && !m_startFailed && m_process->exitStatus() == QProcess::NormalExit &&
                  m_process->exitCode() == 0 && !text.contains("Impossible to open '");
    m_failed = !m_succeeded;
    if (m_failed)
        m_errorText = QStringLiteral("The operation is canceled! Please try again.");
    stopWatching();
}

void CMD_MediaConvert::Cancel() {
    m_failed = true;
    if (m_errorText.isEmpty())
        m_errorText = QStringLiteral("Operation has been cancelled!");
    stopWatching();
}

} // namespace tv

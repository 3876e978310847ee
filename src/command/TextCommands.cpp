#include "TextCommands.h"

#include "CommandHost.h"
#include "ExportFiles.h"

#include <QFileInfo>
#include <QTimer>

namespace tv {

namespace {
const QString kExportData = QStringLiteral("@ExportDataPath:");
const QString kExportDone = QStringLiteral("@ExportDonePath:");
const QString kSetOutput = QStringLiteral("@SetOutput:");
const QString kImageOverlay = QStringLiteral("@ImageOverlay:");
const QString kAddFile = QStringLiteral("@AddFile:");
} // namespace

QString WithoutKeyword(QString text, const QString &keyword) {
    return text.remove(keyword, Qt::CaseInsensitive);
}

QStringList OverlayFields(const QString &text) {
    // Paths here are written with "/", so the last three fields are counted from the end and
    // everything before them is the picture's path.
    const QStringList pieces = text.split(QLatin1Char('/'));
    if (pieces.size() < 4)
        return pieces;
    const qsizetype n = pieces.size();
    return {pieces.mid(0, n - 3).join(QLatin1Char('/')).trimmed(), pieces.at(n - 3).trimmed(),
            pieces.at(n - 2).trimmed(), pieces.at(n - 1).trimmed()};
}

TextCommands::TextCommands(CommandHost *host, QObject *parent)
    : QObject(parent), m_host(host), Timer_GetActiveForm(new QTimer(this)) {
    Timer_GetActiveForm->setObjectName(QStringLiteral("Timer_GetActiveForm"));
    Timer_GetActiveForm->setInterval(300);
    connect(Timer_GetActiveForm, &QTimer::timeout, this, &TextCommands::Timer_GetActiveForm_Timer);
}

void TextCommands::setArguments(const QString &programPath, const QStringList &arguments) {
    m_programPath = programPath;
    m_arguments = arguments;
}

bool TextCommands::activeWindowWatchRunning() const {
    return Timer_GetActiveForm->isActive();
}
void TextCommands::stopActiveWindowWatch() {
    Timer_GetActiveForm->stop();
}

namespace {
QString Unwritable(const QString &path) {
    return QStringLiteral("The reply file \"%1\" could not be written.").arg(path);
}
// The first problem met stays the answer.
void Note(QString &problem, const QString &more) {
    if (problem.isEmpty())
        problem = more;
}
} // namespace

QString TextCommands::createDoneFile() {
    if (m_exportDonePath.isEmpty() || WriteExportFile(m_exportDonePath, {}))
        return QString();
    return Unwritable(m_exportDonePath);
}

QString TextCommands::ExecuteTextCommand(const QString &command) {
    if (m_host->commandsBlocked())
        return QStringLiteral("The window is busy (a conversion runs, files are being added or a dialog "
                              "is open); the command was not carried out.");
    const QString text = command.trimmed();
    QString problem;
    auto reply = [&problem](const QString &path, const QStringList &lines) {
        if (!WriteExportFile(path, lines))
            Note(problem, Unwritable(path));
    };
    bool imageOverlay = false;
    if (text.isEmpty()) {
        // A start without arguments only brings the window forward.
    } else if (!text.startsWith(QLatin1Char('@'))) {
        problem = addFile(text, false);
    } else if (text == QLatin1String("@InputFormat")) {
        reply(m_exportDataPath, {m_host->inputExtensionList()});
    } else if (text == QLatin1String("@OutputFormat")) {
        reply(m_exportDataPath, m_host->outputFormatLines());
    } else if (text == QLatin1String("@RemoveAll")) {
        m_host->removeAllFiles();
        Note(problem, createDoneFile());
    } else if (text == QLatin1String("@hWnd")) {
        // Written as the classic print statement writes a number: a blank before and after.
        reply(m_exportDataPath, {QStringLiteral(" %1 ").arg(m_host->mainWindowHandle())});
    } else if (text == QLatin1String("@ActivehWnd")) {
        Timer_GetActiveForm->start();
    } else {
        bool known = false;
        // The keyword commands are tested in turn on the same text.
        if (text.contains(kExportData, Qt::CaseInsensitive)) {
            known = true;
            m_exportDataPath = WithoutKeyword(text, kExportData).trimmed();
            reply(m_exportDataPath, {});
        }
        if (text.contains(kExportDone, Qt::CaseInsensitive)) {
            known = true;
            m_exportDonePath = WithoutKeyword(text, kExportDone).trimmed();
            reply(m_exportDonePath, {});
        }
        if (text.contains(kSetOutput, Qt::CaseInsensitive)) {
            known = true;
            const QString name = WithoutKeyword(text, kSetOutput).trimmed();
            if (!name.isEmpty()) {
                if (!m_host->selectOutputByName(name))
                    Note(problem, QStringLiteral("No output format or preset is called \"%1\".").arg(name));
                Note(problem, createDoneFile());
            }
        }
        if (text.contains(kImageOverlay, Qt::CaseInsensitive)) {
            known = true;
            imageOverlay = true;
            m_host->showImageOverlay(OverlayFields(WithoutKeyword(text, kImageOverlay)));
        } else if (text.contains(kAddFile, Qt::CaseInsensitive)) {
            known = true;
            Note(problem, addFile(WithoutKeyword(text, kAddFile).trimmed(), true));
        }
        if (!known)
            Note(problem, QStringLiteral("Unknown command \"%1\".").arg(text));
    }
    if (!imageOverlay) {
        m_arguments.clear();
        m_programPath.clear();
    }
    return problem;
}

QString TextCommands::addFile(const QString &text, bool withDoneFile) {
    QString path = text;
    path.remove(QLatin1Char('"'));
    const QString extension = QFileInfo(path).suffix().toLower();
    QString problem;
    // A folder is taken whole, as a dropped one is; a file by its extension.
    const bool folder = QFileInfo(path).isDir();
    if (!folder &&
        (extension.isEmpty() || !m_host->inputExtensionList().contains(
                                    QLatin1Char('|') + extension + QLatin1Char('|'), Qt::CaseInsensitive))) {
        m_host->showCannotOpenFile();
        problem = QStringLiteral("The file format is not supported: \"%1\".").arg(path);
    } else if (!m_host->importFile(path)) {
        problem = QStringLiteral("The file could not be added: \"%1\".").arg(path);
    }
    m_host->showListState();
    if (withDoneFile) {
        Note(problem, createDoneFile());
    }
    return problem;
}

void TextCommands::Timer_GetActiveForm_Timer() {
    const quint64 active = m_host->activeWindowHandle();
    if (active == 0)
        return;
    WriteExportFile(m_exportDataPath, {QStringLiteral("%1,%2").arg(m_host->mainWindowHandle()).arg(active)});
}

} // namespace tv

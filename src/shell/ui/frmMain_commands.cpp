// The text command interface of the main window: the one instance per user, the mailbox that
// other processes write commands into, and what each command does to the window.
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "CommandChannel.h"
#include "FileImporter.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "InputInfoPanel.h"
#include "MediaItem.h"
#include "MessageBox.h"
#include "PicturePopup.h"
#include "TextCommands.h"
#include "WindowUtil.h"
#include "frmMain.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QLoggingCategory>

#include <cstdio>

namespace tv {

namespace {
// What the mailbox receives and what it adds, for people and tests watching from outside.
Q_LOGGING_CATEGORY(lcCommands, "tunevane.commands", QtWarningMsg)
} // namespace

bool frmMain::setupCommandInterface() {
    const QStringList arguments = m_arguments;
    QString reason;
    switch (CommandChannel::ForwardToRunningInstance(arguments, &reason)) {
    case CommandChannel::HandOver::NoInstance:
        break;
    case CommandChannel::HandOver::Done:
        m_handOverExitCode = 0;
        return false;
    case CommandChannel::HandOver::Refused:
        // A script that started us must learn that its command did nothing.
        std::fprintf(stderr, "%s\n", reason.toLocal8Bit().constData());
        m_handOverExitCode = 1;
        return false;
    }

    TxtCommand_Temp = new QLineEdit(this);
    TxtCommand_Temp->setObjectName(QStringLiteral("TxtCommand_Temp"));
    TxtCommand_Temp->hide();
    TxtCommand_FirstTime = new QLineEdit(this);
    TxtCommand_FirstTime->setObjectName(QStringLiteral("TxtCommand_FirstTime"));
    TxtCommand_FirstTime->hide();
    TxtCommand_LoadingTime = new QLineEdit(this);
    TxtCommand_LoadingTime->setObjectName(QStringLiteral("TxtCommand_LoadingTime"));
    TxtCommand_LoadingTime->hide();
    connect(TxtCommand_Temp, &QLineEdit::textChanged, this, &frmMain::TxtCommand_Temp_Change);

    PopupControl_Tag = new PicturePopup(this);

    m_textCommands = new TextCommands(this, this);
    m_textCommands->setArguments(QApplication::applicationFilePath(), arguments);
    if (!arguments.isEmpty())
        TxtCommand_FirstTime->setText(arguments.first());

    m_commandChannel = new CommandChannel(this);
    m_commandChannel->setHandler([this](const QString &text) {
        m_commandProblem.clear();
        TxtCommand_Temp->setText(text); // the mailbox runs the command (TxtCommand_Temp_Change)
        return m_commandProblem;
    });
    // Without a channel the window still works; only other programs cannot reach it.
    m_commandChannel->listen();
    return true;
}

void frmMain::Commands_Unload() {
    if (m_textCommands)
        m_textCommands->stopActiveWindowWatch();
    if (PopupControl_Tag)
        PopupControl_Tag->closeNow();
}

void frmMain::TxtCommand_Temp_Change() {
    const QString text = TxtCommand_Temp->text();
    if (text.isEmpty())
        return;
    const QString command = text.trimmed();
    // Forward, the way desktops allow it: never by re-creating the native window, which would
    // leave an open dialog with a dead parent.
    BringToFront(this);
    if (!command.isEmpty()) {
        qCInfo(lcCommands).noquote() << "command:" << command;
        TxtCommand_LoadingTime->setText(command);
        m_commandProblem = m_textCommands->ExecuteTextCommand(command);
        if (!m_commandProblem.isEmpty())
            qCInfo(lcCommands).noquote() << "not carried out:" << m_commandProblem;
    }
    TxtCommand_Temp->clear();
}

bool frmMain::commandsBlocked() const {
    return conversionState() != Idle || !isEnabled() || QApplication::activeModalWidget() != nullptr ||
           (m_fileImporter && m_fileImporter->isImporting());
}

QString frmMain::inputExtensionList() const {
    return kVideoExtensions + kAudioExtensions.mid(1);
}

QStringList frmMain::outputFormatLines() const {
    QStringList lines;
    const CatalogTable &presets = presetCatalog();
    for (int row = 1; row <= presets.rows(); ++row) {
        const QString maker = GetCatalogField(presets, row, QStringLiteral("Maker"));
        if (maker == QLatin1String("VideoFormat") || maker == QLatin1String("AudioFormat"))
            lines << GetCatalogField(presets, row, QStringLiteral("Format"));
        else if (maker == QLatin1String("WebFormat"))
            lines << GetCatalogField(presets, row, QStringLiteral("Keyword"));
        else if (GetCatalogField(presets, row, QStringLiteral("Name")) != kCustomPresetName)
            lines << GetCatalogField(presets, row, QStringLiteral("Name"));
    }
    return lines;
}

void frmMain::removeAllFiles() {
    FileViewMain->RemoveAllFiles();
    FileViewMain->UpdateListFooters();
    GroupBox_InputInfo->ShowInputInfo(FileViewMain->list(), -1);
    FileViewMain->ShowListState();
    qCInfo(lcCommands).noquote() << "rows:" << FileViewMain->list()->rowCount();
}

quint64 frmMain::mainWindowHandle() const {
    return static_cast<quint64>(winId());
}

quint64 frmMain::activeWindowHandle() const {
    QWidget *active = QApplication::activeWindow();
    return active ? static_cast<quint64>(active->winId()) : 0;
}

bool frmMain::selectOutputByName(const QString &name) {
    const CatalogTable &presets = presetCatalog();
    // Short names are format buttons (keywords), longer ones preset names.
    const QString field = name.size() < 5 ? QStringLiteral("Keyword") : QStringLiteral("Name");
    for (int row = 1; row <= presets.rows(); ++row) {
        const QString presetName = GetCatalogField(presets, row, QStringLiteral("Name"));
        if (presetName == kCustomPresetName)
            continue;
        if (GetCatalogField(presets, row, field).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        SelectOutputFormat(presetName, GetCatalogField(presets, row, QStringLiteral("Maker")),
                           GetCatalogField(presets, row, QStringLiteral("Keyword")));
        return true;
    }
    return false;
}

void frmMain::showImageOverlay(const QStringList &fields) {
    // The drag-and-drop hint picture of the list gives way to the notice.
    if (QWidget *hint = findChild<QWidget *>(QStringLiteral("Pic_DragDrop")))
        hint->hide();
    if (fields.size() < 4)
        return;
    PopupControl_Tag->showPicture(fields.at(0), fields.at(1), fields.at(2).toInt(), fields.at(3).toInt());
}

bool frmMain::importFile(const QString &path) {
    // The command is answered only once the file is in the list (or reported).
    const int rowsBefore = FileViewMain->list()->rowCount();
    QEventLoop wait;
    const QMetaObject::Connection done =
        connect(m_fileImporter, &FileImporter::importFinished, &wait, &QEventLoop::quit);
    // A folder on the command line is taken as a dropped one: every media file in it.
    if (QFileInfo(path).isDir())
        m_fileImporter->ImportDroppedPaths({path});
    else
        m_fileImporter->ImportFiles(path);
    if (m_fileImporter->isImporting())
        wait.exec();
    disconnect(done);
    FileViewMain->UpdateListFooters();
    qCInfo(lcCommands).noquote() << "rows:" << FileViewMain->list()->rowCount();
    return FileViewMain->list()->rowCount() > rowsBefore;
}

void frmMain::showCannotOpenFile() {
    ShowMessage(
        QStringLiteral("Plase check if the file format supported and listed in our website.\n\nThank you."),
        MsgExclamation, QStringLiteral("Can not open file"));
}

void frmMain::showListState() {
    FileViewMain->ShowListState();
}

} // namespace tv

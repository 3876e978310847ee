#include "frmMain.h"

#include "Config.h"
#include "ConversionFlags.h"
#include "FolderOpener.h"
#include "ImageStore.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "OutputPanel.h"
#include "Settings.h"
#include "TaskbarProgress.h"
#include "TempSession.h"
#include "TextCommands.h"
#include "TrayArea.h"
#include "WindowUtil.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace tv {

namespace {

Q_LOGGING_CATEGORY(lcStartup, "tunevane.startup", QtWarningMsg)

// Menu entries keep their index as the order they appear in.
void InsertMenuAction(QMenu *menu, int index, QAction *action) {
    action->setObjectName(QStringLiteral("mnuMenu(%1)").arg(index));
    action->setProperty("menuIndex", index);
    QAction *before = nullptr;
    for (QAction *existing : menu->actions()) {
        if (existing->property("menuIndex").toInt() > index) {
            before = existing;
            break;
        }
    }
    menu->insertAction(before, action);
}

} // namespace

frmMain::frmMain(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), m_arguments(arguments) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Config().productName);
    setWindowIcon(ThemeIcon(QStringLiteral("img_product_box.png")));
    buildLayout();
    buildMenu();
    buildOutputPanel();
    setupFileList();
    setupConversion();
    setupLoudness();
    setupRename();
    buildFormatSettings();
    setupTagEditor();
    setupPlayer();
    setupTrim();
    setupDisc();
    setupBurn();
    setupClose();
    setupTray();
    setupThemes();
    setupUpdates();
    setupWindowBehaviour();

    Timer_StartUp = new QTimer(this);
    Timer_StartUp->setObjectName(QStringLiteral("Timer_StartUp"));
    Timer_StartUp->setInterval(200);
    Timer_StartUp->setSingleShot(true);
    connect(Timer_StartUp, &QTimer::timeout, this, &frmMain::Timer_StartUp_Timer);
}

frmMain::~frmMain() {
    Form_Unload();
}

QPushButton *frmMain::addFileListViewButton(int index, const QString &caption, const QString &image,
                                            const QString &toolTip) {
    auto *button = new QPushButton(ThemeIcon(image), caption, this);
    button->setObjectName(QStringLiteral("Cmd_FileListView(%1)").arg(index));
    button->setToolTip(toolTip);
    button->setIconSize(QSize(24, 24));
    connect(button, &QPushButton::clicked, this, [this, index]() { Cmd_FileListView_Click(index); });
    m_cmdFileListView.insert(index, button);
    return button;
}

void frmMain::buildLayout() {
    auto *central = new QWidget(this);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);

    m_toolbarArea = new QHBoxLayout();
    m_toolbarArea->setSpacing(4);
    m_toolbarArea->addStretch(1);
    Cmd_Menu = new QPushButton(ThemeIcon(QStringLiteral("img_menu.png")), QString(), this);
    Cmd_Menu->setObjectName(QStringLiteral("Cmd_Menu"));
    Cmd_Menu->setToolTip(tr("Menu"));
    Cmd_Menu->setIconSize(QSize(24, 24));
    m_toolbarArea->addWidget(Cmd_Menu);
    outer->addLayout(m_toolbarArea);

    m_bodyArea = new QSplitter(Qt::Horizontal, this);
    m_bodyArea->setObjectName(QStringLiteral("BodySplitter"));
    m_bodyArea->setChildrenCollapsible(false);
    outer->addWidget(m_bodyArea, 1);

    m_outputPanelArea = new QVBoxLayout();
    outer->addLayout(m_outputPanelArea);

    m_outputRowArea = new QHBoxLayout();
    m_outputRowArea->setSpacing(6);
    auto *folderLabel = new QLabel(tr("O&utput folder:"), this);
    m_outputRowArea->addWidget(folderLabel);
    Txt_OutputPath = new QLineEdit(this);
    Txt_OutputPath->setObjectName(QStringLiteral("Txt_OutputPath"));
    folderLabel->setBuddy(Txt_OutputPath);
    connect(Txt_OutputPath, &QLineEdit::editingFinished, this, &frmMain::Txt_OutputPath_LostFocus);
    m_outputRowArea->addWidget(Txt_OutputPath, 1);
    m_outputRowArea->addWidget(addFileListViewButton(
        BrowseOutputButton, tr("&Browse"), QStringLiteral("img_browse.png"), tr("Choose the output folder")));
    m_outputRowArea->addWidget(addFileListViewButton(
        OpenOutputButton, tr("O&pen"), QStringLiteral("img_open_folder.png"), tr("Open output folder")));
    outer->addLayout(m_outputRowArea);
    // Merge, jobs and the conversion buttons get a row of their own, so that a narrow window
    // (a small screen, a large scale factor) cuts nothing.
    m_actionRowArea = new QHBoxLayout();
    m_actionRowArea->setSpacing(6);
    outer->addLayout(m_actionRowArea);

    // On a screen smaller than the layout's least size (a large scale factor on a laptop) the
    // window still fits: what does not fit scrolls instead of running off the screen.
    auto *room = new QScrollArea(this);
    room->setObjectName(QStringLiteral("MainScrollArea"));
    room->setFrameShape(QFrame::NoFrame);
    room->setWidgetResizable(true);
    room->setWidget(central);
    setCentralWidget(room);
    resize(1180, 860);
}

void frmMain::buildMenu() {
    mnuMenu = new QMenu(this);
    mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
    Cmd_Menu->setMenu(mnuMenu);
    // Entries come from several parts of the window; each gets its Alt letter when shown.
    connect(mnuMenu, &QMenu::aboutToShow, this, [this]() { AssignMnemonics(mnuMenu); });

    auto *home = new QAction(tr("Visit Home Page"), mnuMenu);
    connect(home, &QAction::triggered, this,
            []() { QDesktopServices::openUrl(QUrl(Config().linkHomepage)); });
    InsertMenuAction(mnuMenu, 1, home);
    auto *contact = new QAction(tr("Contact Us"), mnuMenu);
    connect(contact, &QAction::triggered, this,
            []() { QDesktopServices::openUrl(QUrl(Config().linkContactUs)); });
    InsertMenuAction(mnuMenu, 2, contact);
    auto *separator = new QAction(mnuMenu);
    separator->setSeparator(true);
    InsertMenuAction(mnuMenu, 14, separator);
    auto *about = new QAction(tr("About %1").arg(Config().productName), mnuMenu);
    connect(about, &QAction::triggered, this, &frmMain::showAbout);
    InsertMenuAction(mnuMenu, 15, about);
    auto *exit = new QAction(tr("Exit"), mnuMenu);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    InsertMenuAction(mnuMenu, 16, exit);
}

void frmMain::insertMenuEntry(int index, QAction *action) {
    InsertMenuAction(mnuMenu, index, action);
}

bool frmMain::Form_Load() {
    if (m_loaded)
        return true;
    m_loaded = true;

    // 1. A second start hands its command line to the running instance and ends.
    if (!setupCommandInterface())
        return false;
    // 2.-4. Settings and the remembered output folder.
    LoadSettings();
    // 3. The update check answers later, by itself.
    if (Settings().updateActive)
        startUpdateCheck(false);
    Txt_OutputPath->setText(Folders().outputFolder);
    // The window's own place, splitter and columns, as the user left them.
    restoreWindowPlacement();

    // 7.-8. The shipped catalogs, the user's presets and the favorites.
    if (!LoadCatalogs()) {
        m_handOverExitCode = 1;
        return false;
    }
    // 9. The audio formats tab is the one a user meets first.
    m_outputPanel->SelectPanel(AudioTab);
    // 10. The theme; without it the program cannot go on.
    if (!LoadThemeAtStart())
        return false;

    // Other processes of the program learn the window handles only once the tray has them.
    WriteSetting(QStringLiteral("WinTagInfo"), QString());
    WriteSetting(QStringLiteral("WinInfo"), QString());

    // 12. Idle, no shutdown asked for, not unloading.
    setConversionState(Idle);
    Flags().shutdownWhenDone = false;
    mnuShutdownWhenDone->setChecked(false);
    m_unloading = false;
    Flags().unloading = false;
    Timer_StartUp->start();
    m_running = true;
    qCInfo(lcStartup) << "frmMain loaded";
    return true;
}

void frmMain::Timer_StartUp_Timer() {
    Timer_StartUp->stop();
    finishFormatSettingsStartUp();
    qCInfo(lcStartup) << "frmMain shown";
    // 2. A newer version found at start is announced first.
    showStartUpUpdateNotice();
    // A file named on the command line goes through the command interface, like a second start's.
    if (m_textCommands->argumentCount() > 0) {
        m_textCommands->ExecuteTextCommand(m_textCommands->arguments().constFirst());
        return;
    }
    // Otherwise bring the window to the front once, without keeping it above other windows.
    BringToFront(this);
}

void frmMain::Form_Unload() {
    // A start that only handed its command line over (or could not load) never ran: it must
    // not touch the running window's temporary files or write its settings over the user's.
    if (m_unloaded || !m_running)
        return;
    m_unloaded = true;
    FileList_Unload();
    Player_Unload();

    // 1. Every file of this window's temporary folder goes; other running processes of the
    // program keep theirs.
    ClearTempFolder();
    // 2. No window handles are published once the window is gone, and no tray icon stays.
    m_tray->Clear();
    WriteSetting(QStringLiteral("WinTagInfo"), QString());
    WriteSetting(QStringLiteral("WinInfo"), QString());
    // 3. Events of background work are ignored from here on.
    m_unloading = true;
    Flags().unloading = true;
    // 4. Both engines stop; nothing they were writing keeps its name.
    Conversion_Unload();
    // 5. No timer fires into a window that is going away.
    Timer_StartUp->stop();
    Commands_Unload();

    saveWindowPlacement();
    SaveSettings();
    qCInfo(lcStartup) << "frmMain unloaded";
    Q_EMIT unloaded();
}

void frmMain::Cmd_FileListView_Click(int index) {
    switch (index) {
    case AddFilesButton:
    case RemoveButton:
    case RemoveAllButton:
        FileList_Click(index);
        break;
    case ConvertButton:
        ConvertClick();
        break;
    case StopButton:
        StopClick();
        break;
    case OpenOutputButton:
        openOutputFolder();
        break;
    case TrimButton:
        TrimClick();
        break;
    case BrowseOutputButton:
        browseOutputFolder();
        break;
    case FavoriteButton:
    case FormatSettingsButton:
    case SearchButton:
        outputToolbarClick(index);
        break;
    default:
        break;
    }
}

void frmMain::Txt_OutputPath_LostFocus() {
    const QString text = FolderTextOnLeave(Txt_OutputPath->text());
    if (text != Txt_OutputPath->text())
        Txt_OutputPath->setText(text);
}

void frmMain::browseOutputFolder() {
    QFileDialog dialog(this, tr("Choose the output folder"), Txt_OutputPath->text().trimmed());
    dialog.setObjectName(QStringLiteral("dlgBrowseFolder"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString folder = WithTrailingSlash(dialog.selectedFiles().constFirst());
    Txt_OutputPath->setText(folder);
    Folders().outputFolder = folder;
    WriteSetting(QStringLiteral("OutputPath"), folder);
}

void frmMain::openOutputFolder() {
    OpenFolder(this, Txt_OutputPath->text(), false, false);
}

void frmMain::showAbout() {
    QMessageBox::about(this, tr("About %1").arg(Config().productName),
                       QStringLiteral("<h3>%1 %2</h3><p>%3</p><p><a href=\"%4\">%4</a></p>")
                           .arg(Config().productName, Config().productVersion,
                                tr("Converts audio files, and the sound of video files, into other audio "
                                   "formats."),
                                Config().linkHomepage));
}

} // namespace tv

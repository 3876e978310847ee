// The main window's preview pane (GroupBox_Player, at the right of the list above the input
// information): the selected file played with its picture in picPreview, the total progress
// bar in place of the transport controls while a batch runs, the separate player window, and
// the disc menu that imports a DVD's video files.
#include "DVD_Mods.h"
#include "FileImporter.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "ImageStore.h"
#include "MediaItem.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "Player.h"
#include "PlayerEvents.h"
#include "PlayerPane.h"
#include "PlayerWidgets.h"
#include "Slider_Ctrl.h"
#include "frmMain.h"
#include "frmPlayer.h"

#include <QAction>
#include <QBoxLayout>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>

namespace tv {

namespace {

// While the total progress bar shows, the transport controls make room for it.
class SwapWhileShown : public QObject {
public:
    SwapWhileShown(QWidget *watched, QWidget *swapped) : QObject(watched), m_swapped(swapped) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Show)
            m_swapped->hide();
        else if (event->type() == QEvent::Hide)
            m_swapped->show();
        return false;
    }

private:
    QWidget *m_swapped;
};

} // namespace

void frmMain::setupPlayer() {
    FFPlayer1 = new Player(this);
    FFPlayer1->setObjectName(QStringLiteral("FFPlayer1"));
    m_playerEvents = new PlayerEvents(FFPlayer1, this);

    GroupBox_Player = new QGroupBox(tr("Preview"), this);
    GroupBox_Player->setObjectName(QStringLiteral("GroupBox_Player"));
    m_previewPane = new PlayerPane(m_playerEvents, GroupBox_Player, OwnerMainWindow, 3);
    m_previewPane->setSource([this](PlayerSettings &settings) { return previewSource(settings); });
    m_previewPane->picPreview->setMinimumHeight(170);
    m_previewPane->picPreview->setToolTip(tr("Double-click to open the player window"));
    connect(m_previewPane->picPreview, &PreviewPicture::doubleClicked, this, &frmMain::openPlayerWindow);

    auto *layout = new QVBoxLayout(GroupBox_Player);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(m_previewPane->picPreview, 1);
    auto *controls = new QWidget(GroupBox_Player);
    controls->setObjectName(QStringLiteral("PlayerControls"));
    auto *rows = new QVBoxLayout(controls);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    auto *timeRow = new QHBoxLayout();
    timeRow->addWidget(m_previewPane->lbl_PlayTime);
    timeRow->addWidget(m_previewPane->ProgressBar_Play, 1);
    timeRow->addWidget(m_previewPane->lbl_PlayTotal);
    rows->addLayout(timeRow);
    auto *buttonRow = new QHBoxLayout();
    buttonRow->setSpacing(2);
    for (int i : {0, 1, 2})
        buttonRow->addWidget(m_previewPane->Cmd_Player(i));
    buttonRow->addWidget(m_previewPane->Slider_MPVolume);
    buttonRow->addStretch(1);
    auto *playerWindow =
        new QPushButton(ThemeIcon(QStringLiteral("img_playericon.png")), QString(), controls);
    playerWindow->setObjectName(QStringLiteral("Cmd_PlayerWindow"));
    playerWindow->setToolTip(tr("Play in a separate window"));
    playerWindow->setIconSize(QSize(22, 22));
    playerWindow->setFlat(true);
    connect(playerWindow, &QPushButton::clicked, this, &frmMain::openPlayerWindow);
    buttonRow->addWidget(playerWindow);
    rows->addLayout(buttonRow);
    layout->addWidget(controls);

    // The total progress bar takes the controls' place while a batch runs.
    m_sidePanelArea->removeWidget(ProgressBar_Total);
    ProgressBar_Total->setParent(GroupBox_Player);
    layout->addWidget(ProgressBar_Total);
    ProgressBar_Total->hide();
    new SwapWhileShown(ProgressBar_Total, controls);
    m_sidePanelArea->insertWidget(0, GroupBox_Player, 1);

    // The list's Space toggles playing; removing or renaming rows stops it first.
    connect(FileViewMain, &FileListView::togglePlayerRequested, this,
            [this]() { m_previewPane->Cmd_Player(0)->click(); });
    connect(FileViewMain, &FileListView::stopPlayerRequested, this, [this]() {
        if (m_previewPane->isPlaying())
            m_previewPane->Cmd_Player(1)->click();
    });

    auto *discButton = new QPushButton(ThemeIcon(QStringLiteral("img_add_dvd.png")), tr("&DVD"), this);
    discButton->setObjectName(QStringLiteral("Cmd_Disc"));
    discButton->setToolTip(tr("Add the video files of a DVD"));
    discButton->setIconSize(QSize(24, 24));
    mnuDisc = new QMenu(discButton);
    mnuDisc->setObjectName(QStringLiteral("mnuDisc"));
    connect(mnuDisc, &QMenu::aboutToShow, this, &frmMain::buildDiscMenu);
    discButton->setMenu(mnuDisc);
    const int afterRemoveAll = m_toolbarArea->indexOf(Cmd_FileListView(RemoveAllButton)) + 1;
    m_toolbarArea->insertWidget(afterRemoveAll, discButton);
}

bool frmMain::previewSource(PlayerSettings &settings) {
    const QList<int> rows = FileViewMain->selectedRowNumbers();
    if (rows.size() != 1)
        return false;
    const MediaItem &item = FileViewMain->list()->mediaItem(rows.constFirst());
    const QString path = item.inputPath();
    if (!QFileInfo::exists(path)) {
        ShowMessage(path + QStringLiteral("\n") + QStringLiteral("File not found!"), MsgExclamation,
                    QStringLiteral("Attention!"));
        return false;
    }
    settings.filePath = path;
    return true;
}

void frmMain::stopPreviewPlayer() {
    if (m_previewPane->isPlaying())
        m_previewPane->Cmd_Player(1)->click();
    m_playerEvents->StopAll();
}

void frmMain::openPlayerWindow() {
    if (conversionState() != Idle)
        return;
    PlayerSettings settings;
    if (!previewSource(settings))
        return;
    if (m_previewPane->isPlaying() || MediaPlayer().ownerFlags[OwnerMainWindow])
        m_previewPane->Cmd_Player(1)->click();
    auto *window = new frmPlayer(m_playerEvents, settings.filePath, m_previewPane->Slider_MPVolume, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    window->show();
}

void frmMain::buildDiscMenu() {
    mnuDisc->clear();
    // The list keeps its rows while a batch runs or files are being added.
    const bool busy = conversionState() != Idle || m_fileImporter->isImporting();
    for (const OpticalDrive &drive : OpticalDrives()) {
        QAction *entry = mnuDisc->addAction(drive.root.isEmpty() ? drive.device : drive.root);
        entry->setEnabled(!busy);
        connect(entry, &QAction::triggered, this, [this, drive]() {
            if (drive.root.isEmpty() || !QFileInfo(drive.root).isReadable()) {
                ShowMessage(QStringLiteral("Please make sure you have inserted a DVD disc in your DVD-ROM."),
                            MsgInformation, QStringLiteral("Information"));
                return;
            }
            LoadDvdSource(DvdSourceFolder(drive.root));
        });
    }
    mnuDisc->addSeparator();
    QAction *folder = mnuDisc->addAction(tr("Load DVD Folder..."));
    folder->setObjectName(QStringLiteral("mnuLoadDVDFolder"));
    folder->setEnabled(!busy);
    connect(folder, &QAction::triggered, this, [this]() {
        QFileDialog dialog(this, tr("Load DVD Folder"), Folders().inputFolder);
        dialog.setObjectName(QStringLiteral("dlgBrowseFolder"));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        LoadDvdSource(DvdSourceFolder(dialog.selectedFiles().constFirst()));
    });
}

void frmMain::LoadDvdSource(const QString &source) {
    const QStringList DVDFiles = DvdVideoFiles(source);
    if (DVDFiles.isEmpty()) {
        ShowMessage(QStringLiteral("There is no DVD video source."), MsgInformation,
                    QStringLiteral("Information"));
        return;
    }
    m_fileImporter->ImportDiscFiles(DVDFiles, {});
}

void frmMain::Player_Unload() {
    // Open player windows close with the main window; the engine stops before it goes.
    m_playerEvents->StopAll();
}

} // namespace tv

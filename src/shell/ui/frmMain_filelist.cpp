// The main window's file list: the Add Files, Remove and Remove All buttons, the list on the
// left of the body, the input information panel on the right, and files dropped on the window.
#include "FileImporter.h"
#include "FileListView.h"
#include "InputInfoPanel.h"
#include "frmMain.h"

#include <QBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

namespace tv {

void frmMain::setupFileList() {
    m_toolbarArea->insertWidget(0, addFileListViewButton(AddFilesButton, tr("&Add Files"),
                                                         QStringLiteral("img_addfile.png"),
                                                         tr("Add audio or video files to the list")));
    m_toolbarArea->insertWidget(
        1, addFileListViewButton(RemoveButton, tr("&Remove"), QStringLiteral("img_removefile.png"),
                                 tr("Remove the selected files from the list (Delete)")));
    m_toolbarArea->insertWidget(
        2, addFileListViewButton(RemoveAllButton, tr("Remove A&ll"), QStringLiteral("img_clearall.png"),
                                 tr("Remove every file from the list (Shift+Delete)")));

    auto *panel = new FileListPanel(m_bodyArea);
    FileViewMain = panel->view();
    m_bodyArea->addWidget(panel);

    // The preview and the information scroll when the window is shorter than they are, so a
    // small screen keeps the list and the buttons below in view.
    auto *sideRoom = new QScrollArea(m_bodyArea);
    sideRoom->setObjectName(QStringLiteral("SidePanelScroll"));
    sideRoom->setFrameShape(QFrame::NoFrame);
    sideRoom->setWidgetResizable(true);
    sideRoom->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *side = new QWidget(sideRoom);
    side->setObjectName(QStringLiteral("SidePanel"));
    m_sidePanelArea = new QVBoxLayout(side);
    m_sidePanelArea->setContentsMargins(0, 0, 0, 0);
    GroupBox_InputInfo = new InputInfoPanel(side);
    m_sidePanelArea->addWidget(GroupBox_InputInfo);
    m_sidePanelArea->addStretch(1);
    sideRoom->setWidget(side);
    m_bodyArea->addWidget(sideRoom);
    sideRoom->setMinimumWidth(300);
    m_bodyArea->setStretchFactor(0, 3);
    m_bodyArea->setStretchFactor(1, 1);
    m_bodyArea->setSizes({800, 340});

    m_fileImporter = new FileImporter(FileViewMain, this);
    m_fileDropTarget = new FileDropTarget(this, FileViewMain, m_fileImporter);

    connect(FileViewMain, &FileListView::showInputInfoRequested, GroupBox_InputInfo,
            [this](int row) { GroupBox_InputInfo->ShowInputInfo(FileViewMain->list(), row); });
    connect(FileViewMain, &FileListView::filesDropped, m_fileImporter, &FileImporter::ImportDroppedPaths);
    // No second import, no removal and no conversion while files are being added: a batch
    // takes the rows that are in the list when it starts, and keeps them by number.
    const auto lockButtons = [this](bool locked) {
        for (int index : {0, 1, 2, 3}) {
            QPushButton *button = Cmd_FileListView(index);
            if (!button)
                continue;
            if (!locked && index != 3 && conversionState() != Idle) {
                // A batch running now gives them back when it ends.
                if (!m_lockedByBatch.contains(button))
                    m_lockedByBatch << button;
                continue;
            }
            button->setEnabled(!locked);
        }
    };
    connect(m_fileImporter, &FileImporter::importStarted, this, [lockButtons]() { lockButtons(true); });
    connect(m_fileImporter, &FileImporter::importFinished, this, [lockButtons]() { lockButtons(false); });
}

void frmMain::FileList_Click(int index) {
    switch (index) {
    case AddFilesButton:
        m_fileImporter->ImportFiles();
        break;
    case RemoveButton:
        FileViewMain->RemoveSelectedFiles();
        break;
    case RemoveAllButton:
        FileViewMain->RemoveAllFiles();
        break;
    default:
        break;
    }
}

void frmMain::FileList_Unload() {
    // Probing workers stop before the temporary folder is emptied, so no thumbnail is left behind.
    m_fileImporter->cancelImport();
}

} // namespace tv

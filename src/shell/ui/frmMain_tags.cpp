// The main window's tag editor: opened over the focused row from the list's pop-up entry
// "Tag / Info..." and from the information panel's Cmd_MoreInfo button.
#include "FileListModel.h"
#include "FileListView.h"
#include "ImageStore.h"
#include "InputInfoPanel.h"
#include "frmMain.h"
#include "frmTagEditor.h"

#include <QAction>
#include <QMenu>

namespace tv {

void frmMain::setupTagEditor() {
    auto *entry = new QAction(ThemeIcon(QStringLiteral("img_music_tag.png")), tr("Tag / Info..."), this);
    FileViewMain->addPopupEntry(11, entry);
    connect(entry, &QAction::triggered, this, [this]() { ShowTagEditor(FileViewMain->focusedRow()); });
    connect(FileViewMain->mnuFileLists(), &QMenu::aboutToShow, entry,
            [this, entry]() { entry->setEnabled(FileViewMain->focusedRow() >= 0); });
    connect(GroupBox_InputInfo, &InputInfoPanel::moreInfoRequested, this,
            [this]() { ShowTagEditor(FileViewMain->focusedRow()); });
}

void frmMain::ShowTagEditor(int row) {
    if (row < 0 || row >= FileViewMain->list()->rowCount())
        return;
    if (auto *open = findChild<frmTagEditor *>(); open && open->isVisible()) {
        open->raise();
        return;
    }
    auto *editor = new frmTagEditor(FileViewMain->list(), this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    // While a batch runs or is paused its outputs take the tags from the rows as each job ends,
    // so the editor only shows them then.
    editor->setReadOnly(conversionState() != Idle);
    editor->Form_Load(row);
    editor->open();
}

} // namespace tv

// The main window's way to the trim window: the toolbar's Trim button (Cmd_FileListView 6) and
// the list's pop-up entry "Trim...". The trim window works on the one selected row while the
// main window waits disabled; it gives the window back however it closes.
#include "FileImporter.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "ImageStore.h"
#include "frmMain.h"
#include "frmTrim.h"

#include <QAction>
#include <QBoxLayout>
#include <QMenu>
#include <QPushButton>

namespace tv {

void frmMain::setupTrim() {
    QPushButton *button = addFileListViewButton(6, tr("Trim"), QStringLiteral("img_trim_selected.png"),
                                                tr("Cut out the part of the selected file to convert"));
    m_toolbarArea->insertWidget(m_toolbarArea->indexOf(Cmd_FileListView(2)) + 1, button);
    auto *entry = new QAction(ThemeIcon(QStringLiteral("img_trim_selected.png")), tr("Trim..."), this);
    FileViewMain->addPopupEntry(3, entry);
    connect(entry, &QAction::triggered, this, [this]() { Cmd_FileListView_Click(TrimButton); });
    connect(FileViewMain->mnuFileLists(), &QMenu::aboutToShow, entry, [this, entry]() {
        entry->setEnabled(FileViewMain->selectedRowNumbers().size() == 1 && conversionState() == Idle);
    });
}

void frmMain::TrimClick() {
    // The rows of a running batch, or of an import under way, stay as they are.
    if (conversionState() != Idle || m_fileImporter->isImporting() || findChild<frmTrim *>())
        return;
    const QList<int> rows = FileViewMain->selectedRowNumbers();
    if (rows.size() != 1)
        return;
    stopPreviewPlayer();
    setEnabled(false);
    auto *window = new frmTrim({FileViewMain->list(), m_singleFile, m_playerEvents}, rows.constFirst(), this);
    // A window of a disabled owner would be disabled with it.
    window->setEnabled(true);
    connect(window, &frmTrim::trimSaved, this, [this](int row) {
        FileViewMain->UpdateListFooters();
        FileViewMain->viewport()->update();
        FileViewMain->selectRow(row);
    });
    connect(window, &frmTrim::closed, this, [this]() { setEnabled(true); });
    window->Form_Load();
}

} // namespace tv

// Renaming the outputs: the list's "Rename..." and "Rename All" entries and the toolbar's
// "Rename All" menu (mnuRenameAll2) apply the rename rules to the rows' output names.
#include "FileListModel.h"
#include "FileListView.h"
#include "MediaItem.h"
#include "RenameDialogs.h"
#include "RenameMenu.h"
#include "RenameRules.h"
#include "frmMain.h"

#include <QAction>
#include <QBoxLayout>
#include <QMenu>
#include <QPushButton>

namespace tv {

void frmMain::setupRename() {
    auto applyRule = [this](int rule) { RenameAll(rule); };

    auto *renameOne = new QAction(tr("Rename..."), this);
    connect(renameOne, &QAction::triggered, this, &frmMain::RenameSelected);
    FileViewMain->addPopupEntry(8, renameOne);
    QMenu *mnuRenameAll = CreateRenameMenu(QStringLiteral("mnuRenameAll"), this, applyRule);
    auto *renameAll = new QAction(mnuRenameAll->icon(), tr("Rename All"), this);
    renameAll->setMenu(mnuRenameAll);
    FileViewMain->addPopupEntry(9, renameAll);
    // Nothing is renamed while a batch uses the names, nor without a row to rename.
    connect(FileViewMain->mnuFileLists(), &QMenu::aboutToShow, this, [this, renameOne, renameAll]() {
        const bool idle = conversionState() == Idle;
        renameOne->setEnabled(idle && FileViewMain->focusedRow() >= 0);
        renameAll->setEnabled(idle && FileViewMain->list()->rowCount() > 0);
    });

    mnuRenameAll2 = CreateRenameMenu(QStringLiteral("mnuRenameAll2"), this, applyRule);
    Cmd_RenameAll = new QPushButton(mnuRenameAll2->icon(), tr("Re&name All"), this);
    Cmd_RenameAll->setObjectName(QStringLiteral("Cmd_RenameAll"));
    Cmd_RenameAll->setToolTip(tr("Change the output names of all files at once"));
    Cmd_RenameAll->setIconSize(QSize(24, 24));
    Cmd_RenameAll->setMenu(mnuRenameAll2);
    // After Add Files, Remove and Remove All.
    m_toolbarArea->insertWidget(3, Cmd_RenameAll);
}

void frmMain::RenameAll(int rule) {
    AskRenameParameters(rule, this, m_renameParameters);
    FileListModel &list = *FileViewMain->list();
    if (list.rowCount() == 0 || conversionState() != Idle)
        return;
    QVector<RenameRow> rows;
    for (int row = 0; row < list.rowCount(); ++row)
        rows.append({list.item(row, Item::Name), list.mediaItem(row).inputPath()});
    const QStringList names = tv::RenameAll(rule, m_renameParameters, rows);
    for (int row = 0; row < list.rowCount(); ++row) {
        if (names.at(row) != rows.at(row).outputName)
            list.setItem(row, Item::Name, names.at(row));
    }
    FileViewMain->viewport()->update();
}

void frmMain::RenameSelected() {
    const int row = FileViewMain->focusedRow();
    FileListModel &list = *FileViewMain->list();
    if (row < 0 || row >= list.rowCount() || conversionState() != Idle)
        return;
    const QString name = AskNewName(list.item(row, Item::Name), this);
    list.setItem(row, Item::Name, name);
    FileViewMain->viewport()->update();
}

} // namespace tv

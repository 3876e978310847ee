// The themes of the main window: the menu that switches between Light and Dark, the loader at
// start and on a switch, and what is drawn again after a switch.
#include "Config.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "ImageStore.h"
#include "InputInfoPanel.h"
#include "MessageBox.h"
#include "OutputPanel.h"
#include "Settings.h"
#include "ThemeLoader.h"
#include "TrayArea.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace tv {

void frmMain::setupThemes() {
    auto *themes = new QMenu(tr("Themes"), mnuMenu);
    themes->setObjectName(QStringLiteral("mnuThemes"));
    // Plain checkable items, not a group, so that the current theme carries a check mark; the
    // click handler keeps exactly one checked.
    const char *captions[] = {"Light", "Dark"};
    for (int index = 1; index <= 2; ++index) {
        auto *item = new QAction(QString::fromLatin1(captions[index - 1]), themes);
        item->setObjectName(QStringLiteral("mnutheme(%1)").arg(index));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, index]() { mnutheme_Click(index); });
        themes->addAction(item);
        mnutheme.insert(index, item);
    }
    insertMenuEntry(12, themes->menuAction());
}

bool frmMain::LoadThemeAtStart() {
    const int themeNo = Settings().themeNo;
    const int error = LoadTheme(themeNo);
    if (error != 0) {
        ShowThemeError(error);
        return false;
    }
    m_themeShown = themeNo;
    mnutheme.value(themeNo)->setChecked(true);
    return true;
}

void frmMain::mnutheme_Click(int index) {
    if (index == m_themeShown) {
        mnutheme.value(index)->setChecked(true);
        return;
    }
    Settings().themeNo = index;
    for (QAction *item : std::as_const(mnutheme))
        item->setChecked(false);
    mnutheme.value(index)->setChecked(true);
    SaveSettings();

    const int error = LoadTheme(index);
    if (error != 0) {
        ShowThemeError(error);
        unloadWindow();
        return;
    }
    m_themeShown = index;
    // The output panels are filled again (video for the chosen maker, audio, web, favorites)
    // and the panel shown before comes back.
    m_outputPanel->RefillOutputPanels();
    // The input information keeps its row, in the new colours.
    const QModelIndex current = FileViewMain->currentIndex();
    GroupBox_InputInfo->ShowInputInfo(FileViewMain->list(), current.isValid() ? current.row() : -1);
    setWindowIcon(ThemeIcon(QStringLiteral("img_product_box.png")));
    m_tray->Redraw();
    // Icons draw the current theme whenever they are painted: a repaint shows the new one.
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets)
        widget->update();
}

void frmMain::ShowThemeError(int error) {
    if (error == 70) {
        ShowMessage(QStringLiteral("You have been denied permission to access this folder.\n\n") +
                        ThemeFolder(),
                    MsgExclamation, QStringLiteral("Error in loading..."));
        return;
    }
    ShowMessage(QStringLiteral("Missing or corrupted resource files.\nPlease re-install the program to solve "
                               "this problem."),
                MsgCritical, QStringLiteral("Sorry!"));
}

} // namespace tv

// Closing the main window: pausing a running batch, the close dialog, the question before a
// batch is cut short, and the preferences that decide what closing does.
#include "ConversionFlags.h"
#include "MessageBox.h"
#include "Settings.h"
#include "frmClose.h"
#include "frmMain.h"
#include "frmPreferences.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMenu>

namespace tv {

void frmMain::setupClose() {
    auto *preferences = new QAction(tr("Preferences..."), this);
    connect(preferences, &QAction::triggered, this, &frmMain::showPreferences);
    insertMenuEntry(13, preferences);
}

void frmMain::showPreferences() {
    frmPreferences dialog(this);
    dialog.exec();
}

void frmMain::closeEvent(QCloseEvent *event) {
    if (m_closeApproved || m_unloaded || QueryUnload()) {
        if (!m_unloaded && !closeWorkWindows()) {
            m_closeApproved = false;
            event->ignore();
            return;
        }
        Form_Unload();
        event->accept();
        return;
    }
    event->ignore();
}

bool frmMain::closeWorkWindows() {
    // The ripper, the burners and the player close as if the user closed them, so that a rip
    // asks before it stops and a disc being written keeps the program open; destroyed with this
    // window they would stop half-way without a word. Dialogs only show or wait and go with it.
    const QList<QWidget *> children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *window : children) {
        if (!window->isWindow() || !window->isVisible() || qobject_cast<QDialog *>(window) ||
            qobject_cast<QMenu *>(window))
            continue;
        if (!window->close()) {
            window->raise();
            window->activateWindow();
            return false;
        }
    }
    return true;
}

void frmMain::showCloseDialog() {
    frmClose dialog(this);
    dialog.exec();
}

void frmMain::resumeIfPaused() {
    if (conversionState() == Paused)
        ConvertClick();
}

bool frmMain::askTerminate() {
    return ShowMessage(
               QStringLiteral("Conversion is not completed!\nAre you sure you want to terminate it ?"),
               MsgYesNo | MsgQuestion) == AnsYes;
}

void frmMain::unloadWindow() {
    m_closeApproved = true;
    close();
}

bool frmMain::QueryUnload() {
    GeneralSettings &settings = Settings();
    if (conversionState() != Idle) {
        // The batch waits while the user decides.
        if (conversionState() == Converting)
            ConvertClick();
        if (!settings.closeDontAskMe) {
            showCloseDialog();
            SaveSettings();
        }
        switch (settings.closeEvent) {
        case 1:
            resumeIfPaused();
            TrayToggle();
            return false;
        case 2:
            if (askTerminate())
                return true;
            resumeIfPaused();
            return false;
        default:
            resumeIfPaused();
            return false;
        }
    }
    if (Flags().shutdownWhenDone) {
        SaveSettings();
        return true;
    }
    if (!settings.closeDontAskMe)
        showCloseDialog();
    SaveSettings();
    switch (settings.closeEvent) {
    case 1:
        TrayToggle();
        return false;
    case 2:
        return true;
    default:
        return false;
    }
}

void frmMain::mnuTray_Exit() {
    if (conversionState() != Idle) {
        if (conversionState() == Converting)
            ConvertClick();
        if (!askTerminate()) {
            resumeIfPaused();
            return;
        }
    }
    unloadWindow();
}

} // namespace tv

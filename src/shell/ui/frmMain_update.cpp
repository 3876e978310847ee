// The update check of the main window: at start when the user allows it, and from the menu's
// "Check for Updates...", with the update window or the no-update window as the answer.
#include "Config.h"
#include "Settings.h"
#include "UpdateCheck.h"
#include "frmMain.h"
#include "frmUpdates.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace tv {

void frmMain::setupUpdates() {
    m_updateCheck = new UpdateCheck(this);
    m_updateCheck->setObjectName(QStringLiteral("UpdateCheck"));
    connect(m_updateCheck, &UpdateCheck::finished, this, &frmMain::onUpdateCheckFinished);
    auto *check = new QAction(tr("Check for Updates..."), this);
    connect(check, &QAction::triggered, this, [this]() { startUpdateCheck(true); });
    insertMenuEntry(7, check);
}

void frmMain::startUpdateCheck(bool fromMenu) {
    m_updateFromMenu = fromMenu;
    if (fromMenu)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    m_updateCheck->start(UpdateUrl(Config().linkCheckUpdate, Config().productName, Config().productVersion),
                         Config().productVersion);
}

void frmMain::onUpdateCheckFinished(bool available) {
    Settings().updateLastTime = QDate::currentDate();
    if (m_unloading)
        return;
    if (m_updateFromMenu) {
        m_updateFromMenu = false;
        QApplication::restoreOverrideCursor();
        if (available) {
            frmUpdates dialog(m_updateCheck->releaseNotes(), this);
            dialog.exec();
        } else {
            frmNoUpdates dialog(this);
            dialog.exec();
        }
        return;
    }
    m_updateAvailable = available;
    // An answer that comes after the start-up timer is shown as soon as it comes.
    if (m_startUpDone)
        showStartUpUpdateNotice();
}

void frmMain::showStartUpUpdateNotice() {
    m_startUpDone = true;
    if (!m_updateAvailable)
        return;
    m_updateAvailable = false;
    // The notice waits for no one: it does not come over another dialog or into a running batch.
    if (QApplication::activeModalWidget() || conversionState() != Idle || !isVisible())
        return;
    frmUpdates dialog(m_updateCheck->releaseNotes(), this);
    dialog.exec();
}

} // namespace tv

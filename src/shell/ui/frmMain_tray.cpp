// The main window in the notification area: hiding into the tray and coming back, the tray
// animation while a batch runs, and the notice at the end of a batch.
#include "Config.h"
#include "DesktopNotice.h"
#include "FolderOpener.h"
#include "ImageStore.h"
#include "MessageBox.h"
#include "PicturePopup.h"
#include "Settings.h"
#include "TrayArea.h"
#include "frmMain.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>

namespace tv {

void frmMain::setupTray() {
    m_tray = new TrayArea(this);
    connect(m_tray->timer(), &QTimer::timeout, this, &frmMain::Timer_TrayIcon_Timer);
    connect(m_tray, &TrayArea::showWindowRequested, this, &frmMain::TrayToggle);
    connect(m_tray, &TrayArea::iconClicked, this, [this]() {
        if (m_inTray)
            TrayToggle();
    });
    // The preview shows in the window itself, so showing it means showing the window.
    connect(m_tray, &TrayArea::showPreviewRequested, this, [this]() {
        if (m_inTray)
            TrayToggle();
    });
    connect(m_tray, &TrayArea::exitRequested, this, &frmMain::mnuTray_Exit);
    connect(m_tray, &TrayArea::messageClicked, this, &frmMain::openOutputFolder);
    m_notice = new DesktopNotice(this);
    connect(m_notice, &DesktopNotice::activated, this, &frmMain::openOutputFolder);
    connect(m_notice, &DesktopNotice::failed, this, [this]() {
        if (TrayArea::Available())
            m_tray->ShowMessage(Config().productName, m_pendingNotice);
    });
    // A batch that ends while the window is in the tray leaves the idle icon behind.
    connect(this, &frmMain::batchCompleted, this, [this]() {
        if (m_inTray) {
            m_tray->timer()->stop();
            m_tray->ShowIcon(QStringLiteral("tray_idle.ico"), Config().productName);
        }
    });
}

void frmMain::TrayToggle() {
    if (!m_inTray) {
        if (!TrayArea::Available()) {
            // Without a notification area the window could not come back from it.
            if (!m_trayMissingSaid) {
                m_trayMissingSaid = true;
                ShowMessage(tr("This desktop has no notification area, so the window is minimized "
                               "instead of going to the tray."),
                            MsgInformation);
            }
            showMinimized();
            return;
        }
        if (PopupControl_Tag && PopupControl_Tag->isOpen())
            PopupControl_Tag->closeNow();
        WriteSetting(QStringLiteral("WinTagInfo"), QString::number(mainWindowHandle()));
        WriteSetting(QStringLiteral("WinInfo"), QString::number(QApplication::applicationPid()));
        m_tray->ShowIcon(QStringLiteral("tray_idle.ico"), Config().productName);
        m_inTray = true;
        hide();
        if (conversionState() != Idle)
            m_tray->timer()->start();
        return;
    }
    showNormal();
    raise();
    activateWindow();
    m_inTray = false;
    m_tray->timer()->stop();
    m_tray->Clear();
    WriteSetting(QStringLiteral("WinTagInfo"), QString());
    WriteSetting(QStringLiteral("WinInfo"), QString());
}

void frmMain::Timer_TrayIcon_Timer() {
    m_tray->AnimationStep(ProgressBar_Total->text() + QLatin1Char(' ') + Config().productName);
}

void frmMain::showTrayNotice(const QString &text) {
    m_pendingNotice = text;
    m_notice->show(Config().productName, text, ThemeFolder() + QStringLiteral("done.ico"),
                   tr("Open output folder"));
}

} // namespace tv

#include "TrayArea.h"

#include "ImageStore.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace tv {

namespace {
std::optional<bool> gAvailableForTests; // UI thread only
}

TrayArea::TrayArea(QObject *parent) : QObject(parent) {
    mnuTray = new QMenu();
    mnuTray->setObjectName(QStringLiteral("mnuTray"));
    const struct {
        int index;
        const char *caption;
    } entries[] = {{1, "Show Window"}, {2, "Show Conversion Preview"}, {3, nullptr}, {4, "Exit"}};
    for (const auto &entry : entries) {
        QAction *action =
            entry.caption ? mnuTray->addAction(QString::fromLatin1(entry.caption)) : mnuTray->addSeparator();
        action->setObjectName(QStringLiteral("mnuTray(%1)").arg(entry.index));
        switch (entry.index) {
        case 1:
            connect(action, &QAction::triggered, this, &TrayArea::showWindowRequested);
            break;
        case 2:
            connect(action, &QAction::triggered, this, &TrayArea::showPreviewRequested);
            break;
        case 4:
            connect(action, &QAction::triggered, this, &TrayArea::exitRequested);
            break;
        default:
            break;
        }
    }
    Timer_TrayIcon = new QTimer(this);
    Timer_TrayIcon->setObjectName(QStringLiteral("Timer_TrayIcon"));
    Timer_TrayIcon->setInterval(250);
}

TrayArea::~TrayArea() {
    delete m_icon;
    delete mnuTray;
}

bool TrayArea::Available() {
    if (gAvailableForTests)
        return *gAvailableForTests;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayArea::SetAvailableForTests(std::optional<bool> available) {
    gAvailableForTests = available;
}

void TrayArea::ensureIcon() {
    if (m_icon)
        return;
    m_icon = new QSystemTrayIcon();
    m_icon->setContextMenu(mnuTray);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT iconClicked();
    });
    connect(m_icon, &QSystemTrayIcon::messageClicked, this, &TrayArea::messageClicked);
}

void TrayArea::ShowIcon(const QString &fileName, const QString &toolTip) {
    ensureIcon();
    if (fileName != m_iconFile) {
        m_iconFile = fileName;
        m_icon->setIcon(ThemeIcon(fileName));
    }
    if (toolTip != m_toolTip) {
        m_toolTip = toolTip;
        m_icon->setToolTip(toolTip);
    }
    if (!m_shown) {
        m_icon->show();
        m_shown = true;
    }
}

void TrayArea::Clear() {
    Timer_TrayIcon->stop();
    if (m_icon)
        m_icon->hide();
    m_shown = false;
    m_iconFile.clear();
    m_toolTip.clear();
}

void TrayArea::Redraw() {
    if (m_icon && !m_iconFile.isEmpty())
        m_icon->setIcon(ThemeIcon(m_iconFile));
}

void TrayArea::ShowMessage(const QString &title, const QString &text) {
    ensureIcon();
    if (!m_shown) {
        // A balloon needs an icon to stand at; it leaves again with the message.
        m_icon->setIcon(ThemeIcon(QStringLiteral("tray_idle.ico")));
        m_icon->show();
        QTimer::singleShot(15000, this, [this]() {
            if (!m_shown && m_icon)
                m_icon->hide();
        });
    }
    m_icon->showMessage(title, text, ThemeIcon(QStringLiteral("done.ico")));
}

void TrayArea::AnimationStep(const QString &toolTip) {
    m_frame += 1;
    if (m_frame >= 10)
        m_frame = 1;
    ShowIcon(QStringLiteral("tray%1.ico").arg(m_frame), toolTip);
}

} // namespace tv

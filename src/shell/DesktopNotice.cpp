#include "DesktopNotice.h"

#include "Config.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>
#include <QVariantMap>

namespace tv {

namespace {

Q_LOGGING_CATEGORY(lcNotice, "tunevane.notice", QtWarningMsg)

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAction = QStringLiteral("default");

} // namespace

DesktopNotice::DesktopNotice(QObject *parent) : QObject(parent) {}

void DesktopNotice::show(const QString &summary, const QString &body, const QString &iconPath,
                         const QString &actionText) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Q_EMIT failed();
        return;
    }
    if (!m_listening) {
        m_listening = bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                                  SLOT(onActionInvoked(uint, QString)));
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.tunevane.Tunevane"));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << Config().productName << m_lastId << iconPath << summary << body
         << QStringList{kAction, actionText} << hints << -1;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        const QDBusPendingReply<uint> reply = *call;
        call->deleteLater();
        if (reply.isError()) {
            qCInfo(lcNotice) << "no notification service:" << reply.error().message();
            Q_EMIT failed();
            return;
        }
        m_lastId = reply.value();
    });
}

void DesktopNotice::onActionInvoked(uint id, const QString &action) {
    if (id != 0 && id == m_lastId && action == kAction)
        Q_EMIT activated();
}

} // namespace tv

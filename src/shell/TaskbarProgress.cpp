#include "TaskbarProgress.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>

#include <cmath>

namespace tv {

TaskbarProgress::TaskbarProgress(const QString &desktopFileName)
    : m_appUri(QStringLiteral("application://") + desktopFileName) {}

void TaskbarProgress::show(double share) {
    share = std::clamp(share, 0.0, 1.0);
    // Whole percents are all a dock shows; finer steps would only flood the bus.
    if (m_visible && std::fabs(share - m_shown) < 0.01)
        return;
    if (send(share, true)) {
        m_shown = share;
        m_visible = true;
    }
}

void TaskbarProgress::clear() {
    if (!m_visible)
        return;
    send(0, false);
    m_visible = false;
    m_shown = -1;
}

bool TaskbarProgress::send(double share, bool visible) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // The object path only has to be unique to the program; the docks match on the URI.
    const QByteArray hash = QCryptographicHash::hash(m_appUri.toUtf8(), QCryptographicHash::Md5).toHex();
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/") + QString::fromLatin1(hash),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    QVariantMap properties;
    properties.insert(QStringLiteral("progress"), share);
    properties.insert(QStringLiteral("progress-visible"), visible);
    signal << m_appUri << properties;
    return bus.send(signal);
}

} // namespace tv

#include "PowerOff.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QProcess>

namespace tv {

namespace {

PowerOffBackend gBackend; // UI thread only

// logind schedules the power-off itself and shows the message to logged-in users.
bool ScheduleWithLogind(int delaySeconds, const QString &message) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    const QString service = QStringLiteral("org.freedesktop.login1");
    const QString path = QStringLiteral("/org/freedesktop/login1");
    const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
    QDBusMessage wall =
        QDBusMessage::createMethodCall(service, path, manager, QStringLiteral("SetWallMessage"));
    wall << message << true;
    bus.call(wall, QDBus::Block, 5000);
    const quint64 when =
        static_cast<quint64>(QDateTime::currentMSecsSinceEpoch() + delaySeconds * 1000LL) * 1000ULL;
    QDBusMessage schedule =
        QDBusMessage::createMethodCall(service, path, manager, QStringLiteral("ScheduleShutdown"));
    schedule << QStringLiteral("poweroff") << when;
    return bus.call(schedule, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

// shutdown(8) counts in whole minutes; a delay under a minute becomes one minute.
bool ScheduleWithShutdownCommand(int delaySeconds, const QString &message) {
    const int minutes = std::max(1, (delaySeconds + 59) / 60);
    return QProcess::startDetached(QStringLiteral("shutdown"),
                                   {QStringLiteral("-P"), QStringLiteral("+%1").arg(minutes), message});
}

} // namespace

void SetPowerOffBackend(PowerOffBackend backend) {
    gBackend = std::move(backend);
}

bool RequestPowerOff(int delaySeconds, const QString &message) {
    if (gBackend)
        return gBackend(delaySeconds, message);
    return ScheduleWithLogind(delaySeconds, message) || ScheduleWithShutdownCommand(delaySeconds, message);
}

} // namespace tv

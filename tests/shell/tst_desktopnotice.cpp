// Desktop notices over a private session bus: the notice reaches the notification service with
// its texts and action, a click on it comes back, and a bus without the service says so; the
// task bar entry hears of a batch's progress and of its end.
#include "Config.h"
#include "DesktopNotice.h"
#include "TaskbarProgress.h"
#include "TestEnv.h"

#include <QDBusConnection>
#include <QDBusMessage>

using namespace tv;
using namespace tv::test;

// Stands in for the desktop's notification service and remembers what it was asked.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received; // app, icon, summary, body, actions
    uint nextId = 7;
public Q_SLOTS:
    uint Notify(const QString &app, uint, const QString &icon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &, int) {
        received = QStringList{app, icon, summary, body} + actions;
        return nextId;
    }
};

// Listens as a dock does to the launcher entry signal.
class DockListener : public QObject {
    Q_OBJECT
public:
    QList<QPair<QString, QVariantMap>> updates; // the entry's URI and its properties
public Q_SLOTS:
    void update(const QString &uri, const QVariantMap &properties) { updates.append({uri, properties}); }
};

class DesktopNoticeTest : public QObject {
    Q_OBJECT
private:
    QProcess m_bus;
    QString m_address;

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            QSKIP("dbus-daemon is not installed");
        m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY(m_bus.waitForStarted());
        QVERIFY(QTest::qWaitFor([this]() { return m_bus.canReadLine(); }, 10000));
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
        // The program's own connection goes to this bus from its first use on.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void cleanupTestCase() {
        m_bus.terminate();
        m_bus.waitForFinished(5000);
    }

    void aBusWithoutTheServiceFails() {
        DesktopNotice notice;
        QSignalSpy failed(&notice, &DesktopNotice::failed);
        notice.show("Conversion is completed !", "", "", "Open output folder");
        QVERIFY(failed.wait(5000));
    }

    void theNoticeReachesTheServiceAndItsClickComesBack() {
        QDBusConnection service = QDBusConnection::connectToBus(m_address, "fake-notifications");
        FakeNotifications fake;
        QVERIFY(
            service.registerObject("/org/freedesktop/Notifications", &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService("org.freedesktop.Notifications"));

        DesktopNotice notice;
        QSignalSpy failed(&notice, &DesktopNotice::failed);
        QSignalSpy activated(&notice, &DesktopNotice::activated);
        notice.show("Tunevane", "Conversion is completed !", "/skin/done.ico", "Open output folder");
        QTRY_COMPARE(fake.received,
                     (QStringList{"Tunevane", "/skin/done.ico", "Tunevane", "Conversion is completed !",
                                  "default", "Open output folder"}));

        // A click on another program's notice means nothing here; one on ours opens the folder.
        auto invoke = [&service](uint id) {
            QDBusMessage signal = QDBusMessage::createSignal(
                "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
            signal << id << QStringLiteral("default");
            QVERIFY(service.send(signal));
        };
        invoke(3);
        invoke(fake.nextId);
        QVERIFY(activated.wait(5000));
        QCOMPARE(activated.size(), 1);
        QVERIFY(failed.isEmpty());
        service.unregisterService("org.freedesktop.Notifications");
        QDBusConnection::disconnectFromBus("fake-notifications");
    }

    void theTaskBarEntryFollowsTheBatch() {
        QDBusConnection dock = QDBusConnection::connectToBus(m_address, "dock");
        DockListener listener;
        QVERIFY(dock.connect(QString(), QString(), "com.canonical.Unity.LauncherEntry", "Update", &listener,
                             SLOT(update(QString, QVariantMap))));
        {
            TaskbarProgress entry("org.tunevane.Tunevane.desktop");
            entry.show(0.25);
            entry.show(0.251); // below a whole percent: the dock is not bothered
            entry.show(0.5);
            entry.clear();
            entry.clear();
        }
        QTRY_COMPARE(listener.updates.size(), 3);
        QCOMPARE(listener.updates.at(0).first, QStringLiteral("application://org.tunevane.Tunevane.desktop"));
        QCOMPARE(listener.updates.at(0).second.value("progress").toDouble(), 0.25);
        QVERIFY(listener.updates.at(1).second.value("progress-visible").toBool());
        QCOMPARE(listener.updates.at(1).second.value("progress").toDouble(), 0.5);
        QVERIFY(!listener.updates.at(2).second.value("progress-visible").toBool());
        QDBusConnection::disconnectFromBus("dock");
    }
};

TV_TEST_MAIN_CORE(DesktopNoticeTest)
#include "tst_desktopnotice.moc"

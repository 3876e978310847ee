// Desktop notices over a private session bus: the notice reaches the notification service with
// its texts and action, a click on it comes back, and a bus without the service says so.
#include "Config.h"
#include "DesktopNotice.h"
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
};

TV_TEST_MAIN_CORE(DesktopNoticeTest)
#include "tst_desktopnotice.moc"

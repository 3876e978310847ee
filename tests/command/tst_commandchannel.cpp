// The single-instance channel over a real local socket.
#include "CommandChannel.h"
#include "Config.h"
#include "TestEnv.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QtConcurrent>
#include <QtEndian>

#include <sys/stat.h>

using namespace tv;

namespace {
QByteArray Frame(const QByteArray &payload) {
    QByteArray frame(4, Qt::Uninitialized);
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), frame.data());
    return frame + payload;
}
} // namespace

class CommandChannelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ReadConfiguration(); }

    void secondStartForwardsItsFirstArgument() {
        QVERIFY(!CommandChannel::ForwardToRunningInstance({"x"}, 1000)); // nobody runs yet
        CommandChannel channel;
        QVERIFY(channel.listen());
        QVERIFY(CommandChannel::SocketPath().startsWith(test::Home().path() + "/runtime/"));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(CommandChannel::SocketPath()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 077, 0u); // nobody but the user may connect

        QStringList received;
        connect(&channel, &CommandChannel::commandReceived, this, [&](const QString &t) { received << t; });
        QFuture<bool> second = QtConcurrent::run([]() {
            return CommandChannel::ForwardToRunningInstance({"/music/Ünï song.flac", "ignored"});
        });
        QTRY_VERIFY(second.isFinished());
        QVERIFY(second.result());
        QCOMPARE(received, QStringList{" /music/Ünï song.flac"});
        QFuture<bool> bare = QtConcurrent::run([]() { return CommandChannel::ForwardToRunningInstance({}); });
        QTRY_VERIFY(bare.isFinished());
        QCOMPARE(received.last(), QStringLiteral(" "));

        // A second instance cannot take the channel while the first answers on it.
        CommandChannel other;
        QVERIFY(!other.listen());
    }

    void aStaleSocketIsReplaced() {
        {
            CommandChannel first;
            QVERIFY(first.listen());
        }
        test::WriteFile(CommandChannel::SocketPath(), "left behind by a crash");
        CommandChannel channel;
        QVERIFY(channel.listen());
    }

    void odditiesDoNotStopTheChannel() {
        CommandChannel channel;
        channel.setIdleClientTimeout(300);
        QVERIFY(channel.listen());
        QStringList received;
        connect(&channel, &CommandChannel::commandReceived, this, [&](const QString &t) { received << t; });

        QLocalSocket silent; // connects and never sends
        silent.connectToServer(CommandChannel::SocketPath());
        QVERIFY(silent.waitForConnected(2000));
        QTRY_COMPARE(silent.state(), QLocalSocket::UnconnectedState);

        QLocalSocket huge;
        huge.connectToServer(CommandChannel::SocketPath());
        QVERIFY(huge.waitForConnected(2000));
        huge.write(Frame(QByteArray(CommandChannel::kMaxCommandBytes + 1, 'a')).left(64));
        QTRY_COMPARE(huge.state(), QLocalSocket::UnconnectedState);

        const QByteArray megabyte(1024 * 1024, 'm');
        const QByteArray garbage("\xff\xfe\x00\x01 binary \x80", 13);
        for (const QByteArray &payload : {megabyte, garbage}) {
            QLocalSocket client;
            client.connectToServer(CommandChannel::SocketPath());
            QVERIFY(client.waitForConnected(2000));
            client.write(Frame(payload));
            QTRY_VERIFY(client.state() == QLocalSocket::UnconnectedState || client.bytesAvailable() > 0);
        }
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received.first().size(), megabyte.size());
        QCOMPARE(received.last(), QString::fromUtf8(garbage));

        // Many senders in a tight loop: every one is answered, in order.
        QList<QFuture<bool>> senders;
        for (int i = 0; i < 20; ++i)
            senders << QtConcurrent::run(
                [i]() { return CommandChannel::ForwardToRunningInstance({QString::number(i)}); });
        for (QFuture<bool> &f : senders)
            QTRY_VERIFY(f.isFinished());
        QCOMPARE(received.size(), 22);
    }

    void aSenderMayHangUpWhileItsCommandWaits() {
        CommandChannel channel;
        QVERIFY(channel.listen());
        QStringList received;
        QLocalSocket second;
        // The first command holds the channel (as a message box would) while a second sender
        // delivers its command and hangs up; its socket goes before its command runs.
        connect(&channel, &CommandChannel::commandReceived, this, [&](const QString &t) {
            received << t;
            if (t != QLatin1String("first"))
                return;
            second.connectToServer(CommandChannel::SocketPath());
            QVERIFY(second.waitForConnected(2000));
            second.write(Frame("second"));
            second.flush();
            QTRY_COMPARE(channel.findChildren<QLocalSocket *>().size(), 2);
            second.abort();
            QTRY_COMPARE(channel.findChildren<QLocalSocket *>().size(), 1);
        });
        QLocalSocket first;
        first.connectToServer(CommandChannel::SocketPath());
        QVERIFY(first.waitForConnected(2000));
        first.write(Frame("first"));
        QTRY_COMPARE(received, (QStringList{"first", "second"}));
        QTRY_COMPARE(first.state(), QLocalSocket::UnconnectedState); // the first sender was answered
    }
};

TV_TEST_MAIN_CORE(CommandChannelTest)
#include "tst_commandchannel.moc"

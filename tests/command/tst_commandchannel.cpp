// The single-instance channel over a real local socket.
#include "CommandChannel.h"
#include "Config.h"
#include "TestEnv.h"

#include <QLocalSocket>
#include <QtConcurrent>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tv;
using HandOver = CommandChannel::HandOver;

namespace {
QByteArray Frame(const QByteArray &payload) {
    QByteArray frame(4, Qt::Uninitialized);
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), frame.data());
    return frame + payload;
}

QFuture<HandOver> Forward(const QStringList &arguments, QString *reason = nullptr, int timeoutMs = 60000) {
    return QtConcurrent::run(
        [=]() { return CommandChannel::ForwardToRunningInstance(arguments, reason, timeoutMs); });
}
} // namespace

class CommandChannelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ReadConfiguration(); }

    void secondStartForwardsItsFirstArgumentAndLearnsTheOutcome() {
        QCOMPARE(CommandChannel::ForwardToRunningInstance({"x"}, nullptr, 1000), HandOver::NoInstance);
        CommandChannel channel;
        QVERIFY(channel.listen());
        QVERIFY(CommandChannel::SocketPath().startsWith(test::Home().path() + "/runtime/"));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(CommandChannel::SocketPath()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 077, 0u); // nobody but the user may connect

        QStringList received;
        channel.setHandler([&](const QString &t) {
            received << t;
            return t.contains("refuse") ? QStringLiteral("The file format is not supported.") : QString();
        });
        QFuture<HandOver> second = Forward({"/music/Ünï song.flac", "ignored"});
        QTRY_VERIFY(second.isFinished());
        QCOMPARE(second.result(), HandOver::Done);
        QCOMPARE(received, QStringList{" /music/Ünï song.flac"});
        QFuture<HandOver> bare = Forward({});
        QTRY_VERIFY(bare.isFinished());
        QCOMPARE(received.last(), QStringLiteral(" "));

        QString reason;
        QFuture<HandOver> refused = Forward({"/music/refuse.txt"}, &reason);
        QTRY_VERIFY(refused.isFinished());
        QCOMPARE(refused.result(), HandOver::Refused);
        QCOMPARE(reason, QStringLiteral("The file format is not supported."));

        // A command still running when the sender's wait ends is reported as unanswered.
        channel.setHandler([](const QString &) {
            QEventLoop busy;
            QTimer::singleShot(1500, &busy, &QEventLoop::quit);
            busy.exec();
            return QString();
        });
        QFuture<HandOver> late = Forward({"slow"}, &reason, 300);
        QTRY_VERIFY(late.isFinished());
        QCOMPARE(late.result(), HandOver::Refused);
        QVERIFY(reason.contains("did not answer"));

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
        channel.setHandler([&](const QString &t) {
            received << t;
            return QString();
        });

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

        QList<QFuture<HandOver>> senders;
        for (int i = 0; i < 20; ++i)
            senders << Forward({QString::number(i)});
        for (QFuture<HandOver> &f : senders) {
            QTRY_VERIFY(f.isFinished());
            QCOMPARE(f.result(), HandOver::Done);
        }
        QCOMPARE(received.size(), 22);
    }

    // Commands run one at a time; a sender may die while its own or an earlier command still
    // runs (a message box is up): nothing may touch its socket afterwards.
    void sendersMayDieWhileCommandsRun() {
        CommandChannel channel;
        QVERIFY(channel.listen());
        QStringList received;
        QLocalSocket first;
        QLocalSocket second;
        channel.setHandler([&](const QString &t) {
            received << t;
            if (t != QLatin1String("first"))
                return QString();
            second.connectToServer(CommandChannel::SocketPath());
            [&]() {
                QVERIFY(second.waitForConnected(2000));
                second.write(Frame("second"));
                second.flush();
                QTRY_COMPARE(channel.findChildren<QLocalSocket *>().size(), 2);
                // Both senders hang up while the first command's box is still up.
                second.abort();
                first.abort();
                QTRY_COMPARE(channel.findChildren<QLocalSocket *>().size(), 0);
            }();
            return QString();
        });
        first.connectToServer(CommandChannel::SocketPath());
        QVERIFY(first.waitForConnected(2000));
        first.write(Frame("first"));
        QTRY_COMPARE(received, (QStringList{"first", "second"}));
        QFuture<HandOver> third = Forward({"third"});
        QTRY_VERIFY(third.isFinished());
        QCOMPARE(third.result(), HandOver::Done);
    }

    // Without a runtime folder the socket lives in a folder of the user's own; a listener of
    // another user never receives the user's commands.
    void otherUsersCannotTakeOrHearTheChannel() {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        // The shared temporary folder of this test alone, so that test programs running side by
        // side do not meet there.
        const QString shared = test::Home().path() + "/tmp";
        QDir().mkpath(shared);
        qputenv("TMPDIR", QFile::encodeName(shared));
        const QString path = CommandChannel::SocketPath();
        QVERIFY(!path.isEmpty());
        struct stat folder {};
        QCOMPARE(::lstat(QFile::encodeName(QFileInfo(path).path()).constData(), &folder), 0);
        QCOMPARE(folder.st_mode & 0777, 0700u);
        QCOMPARE(folder.st_uid, ::getuid());
        {
            CommandChannel channel;
            QVERIFY(channel.listen());
        }
        QDir(QFileInfo(path).path()).removeRecursively();

        if (::getuid() == 0) {
            // A folder of that name made first by another user is not used.
            const QByteArray taken = QFile::encodeName(QFileInfo(path).path());
            QCOMPARE(::mkdir(taken.constData(), 0700), 0);
            QCOMPARE(::chown(taken.constData(), 65534, 65534), 0);
            QCOMPARE(CommandChannel::SocketPath(), QString());
            CommandChannel refused;
            QVERIFY(!refused.listen());
            ::rmdir(taken.constData());
        }
        qputenv("XDG_RUNTIME_DIR", runtime);

        if (::getuid() != 0)
            QSKIP("needs root to listen as another user");
        // Another user listens at the user's socket path: the command is not sent to it.
        const QByteArray socketPath = QFile::encodeName(CommandChannel::SocketPath());
        QFile::remove(CommandChannel::SocketPath());
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path - 1);
            if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
                ::setgid(65534) != 0 || ::setuid(65534) != 0 || ::listen(fd, 1) != 0)
                ::_exit(2);
            (void)!::write(ready[1], "r", 1);
            const int client = ::accept(fd, nullptr, nullptr);
            char buffer[64];
            // The sender hangs up without writing: the child ends with 0 only when nothing came.
            const ssize_t got = client >= 0 ? ::read(client, buffer, sizeof buffer) : -1;
            ::_exit(got == 0 ? 0 : 1);
        }
        char signal = 0;
        QCOMPARE(::read(ready[0], &signal, 1), ssize_t(1));
        QString reason;
        QCOMPARE(CommandChannel::ForwardToRunningInstance({"/music/private.flac"}, &reason, 2000),
                 HandOver::Refused);
        QVERIFY(reason.contains("another user"));
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        ::close(ready[0]);
        ::close(ready[1]);
        QFile::remove(CommandChannel::SocketPath());
    }
};

TV_TEST_MAIN_CORE(CommandChannelTest)
#include "tst_commandchannel.moc"

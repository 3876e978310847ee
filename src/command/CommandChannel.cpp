#include "CommandChannel.h"

#include "Config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <QElapsedTimer>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tv {

namespace {

QByteArray Frame(const QString &text) {
    const QByteArray payload = text.toUtf8();
    QByteArray frame(4, Qt::Uninitialized);
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), frame.data());
    return frame + payload;
}

// The kernel tells who is on the other end: only this user's processes may send commands, and
// a command goes only to a listener of this user's own.
bool PeerIsThisUser(QLocalSocket *socket) {
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials,
                     &length) != 0)
        return false;
    return credentials.uid == ::getuid();
}

// A folder only this user can enter: made with mode 0700, or found so, owned by the user and
// not a link. Anything else (another user made it first) is not used.
bool PrivateFolder(const QString &folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    return (info.st_mode & 077) == 0;
}

// What the running instance answers: "OK", or "NO " and the reason.
const QByteArray kCarriedOut = QByteArrayLiteral("OK");
const QByteArray kNotCarriedOut = QByteArrayLiteral("NO ");

} // namespace

CommandChannel::CommandChannel(QObject *parent) : QObject(parent) {}

CommandChannel::~CommandChannel() {
    if (m_server)
        m_server->close();
}

QString CommandChannel::SocketPath() {
    QString id = Config().productId;
    if (id.isEmpty())
        id = ConfigValue(QStringLiteral("PRODUCT_ID"));
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).isWritable())
        return runtime + QLatin1Char('/') + id;
    // The shared temporary folder is open to every user: the socket goes into a folder of
    // this user's own there, so nobody else can take its name first.
    const QString folder = QDir::tempPath() + QStringLiteral("/%1-%2").arg(id).arg(::getuid());
    return PrivateFolder(folder) ? folder + QStringLiteral("/channel") : QString();
}

CommandChannel::HandOver CommandChannel::ForwardToRunningInstance(const QStringList &arguments,
                                                                  QString *reason, int timeoutMs) {
    const QString path = SocketPath();
    if (path.isEmpty())
        return HandOver::NoInstance;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(2000))
        return HandOver::NoInstance;
    auto refused = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return HandOver::Refused;
    };
    if (!PeerIsThisUser(&socket))
        return refused(QStringLiteral("The command channel \"%1\" belongs to another user; nothing was sent.")
                           .arg(path));
    const QString text = QStringLiteral(" ") + (arguments.isEmpty() ? QString() : arguments.first());
    socket.write(Frame(text));
    socket.flush();
    // The running instance answers once the command has run (it may show a message first).
    QByteArray answer;
    QElapsedTimer clock;
    clock.start();
    while (!answer.contains('\n')) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return refused(
                QStringLiteral("The running window did not answer within %1 seconds.").arg(timeoutMs / 1000));
        if (!socket.bytesAvailable() && !socket.waitForReadyRead(static_cast<int>(left))) {
            if (socket.state() != QLocalSocket::ConnectedState) {
                answer += socket.readAll();
                if (answer.contains('\n'))
                    break;
                return refused(QStringLiteral("The running window ended without answering."));
            }
            continue;
        }
        answer += socket.readAll();
    }
    socket.disconnectFromServer();
    const QByteArray line = answer.left(answer.indexOf('\n'));
    if (line == kCarriedOut)
        return HandOver::Done;
    return refused(line.startsWith(kNotCarriedOut)
                       ? QString::fromUtf8(line.mid(kNotCarriedOut.size()))
                       : QStringLiteral("The running window refused the command."));
}

bool CommandChannel::isListening() const {
    return m_server && m_server->isListening();
}

bool CommandChannel::listen() {
    const QString path = SocketPath();
    if (path.isEmpty())
        return false;
    // With restricted access the socket is made elsewhere and renamed into place, which would
    // silently take over a running instance's channel: ask first whether someone answers.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(500))
        return false;
    // Whatever is left there answers nobody: a socket of a program that ended without closing it.
    QLocalServer::removeServer(path);
    QFile::remove(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, &CommandChannel::onNewConnection);
    return true;
}

void CommandChannel::onNewConnection() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (!PeerIsThisUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto *idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, [socket]() {
            if (!socket->property("framed").toBool())
                socket->abort();
        });
        idle->start(m_idleClientMs);
        readFrom(socket);
    }
}

void CommandChannel::readFrom(QLocalSocket *socket) {
    if (socket->property("framed").toBool())
        return;
    if (socket->bytesAvailable() < 4)
        return;
    QByteArray head = socket->peek(4);
    const quint32 size = qFromBigEndian<quint32>(head.constData());
    if (size > kMaxCommandBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < 4 + static_cast<qint64>(size))
        return;
    socket->read(4);
    const QString text = QString::fromUtf8(socket->read(size));
    socket->setProperty("framed", true);
    m_queue.enqueue({socket, text});
    scheduleDelivery();
}

void CommandChannel::scheduleDelivery() {
    // A command may open a message box whose event loop outlives the socket that brought it
    // (the sender dies meanwhile): so commands never run inside a socket's own handler.
    if (m_deliveryScheduled || m_delivering)
        return;
    m_deliveryScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this]() {
            m_deliveryScheduled = false;
            deliverNext();
        },
        Qt::QueuedConnection);
}

void CommandChannel::deliverNext() {
    // A command that opens a message box lets events run; later commands wait their turn.
    if (m_delivering)
        return;
    m_delivering = true;
    while (!m_queue.isEmpty()) {
        const Pending next = m_queue.dequeue();
        const QPointer<QLocalSocket> socket = next.socket;
        const QString problem = m_handler ? m_handler(next.text) : QString();
        if (socket && socket->state() == QLocalSocket::ConnectedState) {
            QByteArray answer = problem.isEmpty() ? kCarriedOut : kNotCarriedOut + problem.toUtf8();
            answer.replace('\n', ' ');
            socket->write(answer + '\n');
            socket->flush();
            socket->disconnectFromServer();
        }
    }
    m_delivering = false;
}

} // namespace tv

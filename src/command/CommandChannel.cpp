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

#include <sys/socket.h>
#include <unistd.h>

namespace tv {

namespace {

QByteArray Frame(const QString &text) {
    const QByteArray payload = text.toUtf8();
    QByteArray frame(4, Qt::Uninitialized);
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), frame.data());
    return frame + payload;
}

// The kernel tells who is on the other end; only this user's processes may send commands.
bool PeerIsThisUser(QLocalSocket *socket) {
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials,
                     &length) != 0)
        return false;
    return credentials.uid == ::getuid();
}

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
    return QDir::tempPath() + QStringLiteral("/%1-%2").arg(id).arg(::getuid());
}

bool CommandChannel::ForwardToRunningInstance(const QStringList &arguments, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(2000))
        return false;
    const QString text = QStringLiteral(" ") + (arguments.isEmpty() ? QString() : arguments.first());
    socket.write(Frame(text));
    socket.flush();
    // The running instance answers once the command has run (it may show a message first).
    if (socket.waitForReadyRead(timeoutMs))
        socket.readAll();
    socket.disconnectFromServer();
    return true;
}

bool CommandChannel::isListening() const {
    return m_server && m_server->isListening();
}

bool CommandChannel::listen() {
    const QString path = SocketPath();
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
    deliverNext();
}

void CommandChannel::deliverNext() {
    // A command that opens a message box lets events run; later commands wait their turn.
    if (m_delivering)
        return;
    m_delivering = true;
    while (!m_queue.isEmpty()) {
        const Pending next = m_queue.dequeue();
        const QPointer<QLocalSocket> socket = next.socket;
        Q_EMIT commandReceived(next.text);
        if (socket && socket->state() == QLocalSocket::ConnectedState) {
            socket->write("\n");
            socket->flush();
            socket->disconnectFromServer();
        }
    }
    m_delivering = false;
}

} // namespace tv

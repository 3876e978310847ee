#include "TextServer.h"

#include <QTcpSocket>

namespace tv::test {

TextServer::TextServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this]() {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket]() { respond(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void TextServer::respond(QTcpSocket *socket) {
    const QByteArray head = socket->peek(socket->bytesAvailable());
    if (!head.contains("\r\n\r\n"))
        return;
    socket->readAll();
    const QList<QByteArray> lines = head.split('\n');
    const QString target = QString::fromLatin1(lines.value(0).split(' ').value(1));
    QString agent;
    for (const QByteArray &line : lines) {
        if (line.toLower().startsWith("user-agent:"))
            agent = QString::fromLatin1(line.mid(11).trimmed());
    }
    requests << target;
    userAgents << agent;
    const Reply r = m_replies.value(target.section('?', 0, 0), m_default);
    if (r.hang) {
        m_quiet << socket;
        return;
    }
    socket->write("HTTP/1.1 " + QByteArray::number(r.status) + (r.status == 200 ? " OK" : " Error") +
                  "\r\nContent-Type: " + r.type + "\r\nConnection: close\r\nContent-Length: " +
                  QByteArray::number(r.body.size()) + "\r\n\r\n" + r.body);
    socket->disconnectFromHost();
}

QString TextServer::url(const QString &path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

} // namespace tv::test

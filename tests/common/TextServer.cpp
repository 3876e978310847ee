#include "TextServer.h"

#include <QTcpSocket>

namespace tv::test {

TextServer::TextServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this]() {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket]() {
                const QByteArray head = socket->peek(socket->bytesAvailable());
                if (!head.contains("\r\n\r\n"))
                    return;
                const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
                socket->readAll();
                requests << QString::fromLatin1(requestLine.value(1));
                if (m_silent) {
                    m_quiet << socket;
                    return;
                }
                socket->write("HTTP/1.1 " + QByteArray::number(m_status) +
                              (m_status == 200 ? " OK" : " Error") +
                              "\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: " +
                              QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString TextServer::url(const QString &path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

} // namespace tv::test

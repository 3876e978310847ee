#pragma once
// A local web server for tests: answers requests by path with fixed replies (unknown paths get
// 404), or keeps connections open without a word, and remembers what was asked.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace tv::test {

class TextServer : public QObject {
    Q_OBJECT
public:
    TextServer();
    // The address of the server followed by a path, e.g. url("/update?v=VERSION").
    QString url(const QString &path) const;

    // The reply to every request without a reply of its own.
    void answer(const QByteArray &body, int status = 200) { m_default = {status, "text/plain", body, false}; }
    // The reply to requests of one path (the query left out).
    void reply(const QString &path, const QByteArray &body, const QByteArray &type = "application/json",
               int status = 200) {
        m_replies.insert(path, {status, type, body, false});
    }
    // Requests (of every path, or of one) are read but never answered.
    void stayQuiet() { m_default.hang = true; }
    void hang(const QString &path) { m_replies.insert(path, {200, {}, {}, true}); }

    QStringList requests;   // the requested paths with their queries, in order
    QStringList userAgents; // the User-Agent of each request

private:
    struct Reply {
        int status = 404;
        QByteArray type = "application/json";
        QByteArray body = "{\"error\":\"Not Found\"}";
        bool hang = false;
    };
    void respond(QTcpSocket *socket);
    QTcpServer m_server;
    Reply m_default;
    QHash<QString, Reply> m_replies;
    QList<QPointer<QTcpSocket>> m_quiet; // held open until the server goes
};

} // namespace tv::test

#pragma once
// A local web server for tests: answers every request with a fixed status and body, or keeps
// the connection open without a word, and remembers the requested paths.

#include <QByteArray>
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

    void answer(const QByteArray &body, int status = 200) {
        m_body = body;
        m_status = status;
        m_silent = false;
    }
    // Accepts connections and reads the requests, but never answers.
    void stayQuiet() { m_silent = true; }

    QStringList requests; // the request lines' paths, in order

private:
    QTcpServer m_server;
    QByteArray m_body;
    int m_status = 200;
    bool m_silent = false;
    QList<QPointer<QTcpSocket>> m_quiet; // held open until the server goes
};

} // namespace tv::test

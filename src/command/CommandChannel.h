#pragma once
// The one running instance per user and the channel other processes send text commands
// through: a local socket that only the user can open.

#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace tv {

class CommandChannel : public QObject {
    Q_OBJECT
public:
    explicit CommandChannel(QObject *parent = nullptr);
    ~CommandChannel() override;

    // The socket of this user's instance (in the user's runtime folder when there is one).
    static QString SocketPath();

    // When another instance runs, sends it " " + the first argument (or " " alone), waits
    // until it has handled the command and answers true: this instance is then to end.
    static bool ForwardToRunningInstance(const QStringList &arguments, int timeoutMs = 60000);

    // Starts receiving commands; false when the socket cannot be made (commands are then off).
    bool listen();
    bool isListening() const;

    // How long a client may stay connected without sending a whole command.
    void setIdleClientTimeout(int ms) { m_idleClientMs = ms; }

    // The longest command accepted, in bytes.
    static constexpr qint64 kMaxCommandBytes = 4 * 1024 * 1024;

Q_SIGNALS:
    // A command to put into the mailbox. Handled one at a time; the sender is answered after
    // the handler returns.
    void commandReceived(const QString &text);

private:
    void onNewConnection();
    void readFrom(QLocalSocket *socket);
    void deliverNext();

    struct Pending {
        // Answered when its command has run; the sender may hang up, and its socket go, before then.
        QPointer<QLocalSocket> socket;
        QString text;
    };
    // UI thread only.
    QLocalServer *m_server = nullptr;
    QQueue<Pending> m_queue;
    bool m_delivering = false;
    int m_idleClientMs = 10000;
};

} // namespace tv

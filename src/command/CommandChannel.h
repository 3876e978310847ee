#pragma once
// The one running instance per user and the channel other processes send text commands
// through: a local socket that only the user can open.

#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace tv {

class CommandChannel : public QObject {
    Q_OBJECT
public:
    explicit CommandChannel(QObject *parent = nullptr);
    ~CommandChannel() override;

    // The socket of this user's instance: in the user's runtime folder, or else in a folder of
    // the user's own (mode 0700) below the shared temporary folder; "" when neither is safe.
    static QString SocketPath();

    enum class HandOver {
        NoInstance, // nobody listens: this start becomes the running instance
        Done,       // the running instance carried the command out
        Refused,    // it did not (busy, refused file, no answer); the reason says why
    };
    // When another instance of this user runs, sends it " " + the first argument (or " "
    // alone) and waits until it has handled the command. With anything but NoInstance this
    // start is to end.
    static HandOver ForwardToRunningInstance(const QStringList &arguments, QString *reason = nullptr,
                                             int timeoutMs = 60000);

    // Starts receiving commands; false when the socket cannot be made (commands are then off).
    bool listen();
    bool isListening() const;

    // How long a client may stay connected without sending a whole command.
    void setIdleClientTimeout(int ms) { m_idleClientMs = ms; }

    // The longest command accepted, in bytes.
    static constexpr qint64 kMaxCommandBytes = 4 * 1024 * 1024;

    // Runs a received command and answers "" when it was carried out, or why it was not.
    // Commands run one at a time from the event loop, never inside a socket's own handler;
    // the sender is answered after the handler returns.
    using Handler = std::function<QString(const QString &text)>;
    void setHandler(Handler handler) { m_handler = std::move(handler); }

private:
    void onNewConnection();
    void readFrom(QLocalSocket *socket);
    void scheduleDelivery();
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
    bool m_deliveryScheduled = false;
    int m_idleClientMs = 10000;
    Handler m_handler;
};

} // namespace tv

#pragma once
// Notices on the desktop through the session's notification service
// (org.freedesktop.Notifications). Where the session has none, failed() tells the owner to
// show the notice another way.

#include <QObject>
#include <QString>

namespace tv {

class DesktopNotice : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotice(QObject *parent = nullptr);

    // Sends a notice with one action; failed() follows (at once, or when the service answers
    // with an error) when it cannot be shown.
    void show(const QString &summary, const QString &body, const QString &iconPath,
              const QString &actionText);

Q_SIGNALS:
    void failed();
    // The user chose the notice or its action.
    void activated();

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &action);

private:
    // Owned by the thread that created the notice (the UI thread).
    uint m_lastId = 0;
    bool m_listening = false;
};

} // namespace tv

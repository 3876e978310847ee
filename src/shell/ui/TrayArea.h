#pragma once
// The program's place in the notification area: the tray icon with its tooltip, the tray
// menu mnuTray and the animation that runs while a conversion does.

#include <QObject>
#include <QString>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace tv {

class TrayArea : public QObject {
    Q_OBJECT
public:
    explicit TrayArea(QObject *parent = nullptr);
    ~TrayArea() override;

    // Whether the desktop has a notification area (a StatusNotifier host or a system tray).
    static bool Available();
    // Tests decide what Available() answers; an empty value asks the desktop again.
    static void SetAvailableForTests(std::optional<bool> available);

    // Shows an image of the theme folder as the tray icon, with a tooltip.
    void ShowIcon(const QString &fileName, const QString &toolTip);
    // Removes the icon from the notification area.
    void Clear();
    bool isShown() const { return m_shown; }
    QString iconFile() const { return m_iconFile; }
    QString toolTip() const { return m_toolTip; }
    // Draws the shown icon again, after the theme has changed.
    void Redraw();
    // A balloon message at the icon.
    void ShowMessage(const QString &title, const QString &text);

    // Timer_TrayIcon: ticks while a conversion runs with the window in the tray.
    QTimer *timer() const { return Timer_TrayIcon; }
    // One step of the animation: the next of the frames 1 to 9 and the given tooltip.
    void AnimationStep(const QString &toolTip);
    int frame() const { return m_frame; }

    QMenu *menu() const { return mnuTray; }

Q_SIGNALS:
    void showWindowRequested();
    void showPreviewRequested();
    void exitRequested();
    // The icon itself was clicked.
    void iconClicked();
    void messageClicked();

private:
    void ensureIcon();

    // Everything below belongs to the UI thread.
    QSystemTrayIcon *m_icon = nullptr;
    QMenu *mnuTray = nullptr;
    QTimer *Timer_TrayIcon = nullptr;
    QString m_iconFile;
    QString m_toolTip;
    int m_frame = 0;
    bool m_shown = false;
};

} // namespace tv

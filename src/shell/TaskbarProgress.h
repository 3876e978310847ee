#pragma once
// The batch's progress on the desktop's task bar entry: docks of KDE and GNOME (and Unity) read
// the com.canonical.Unity.LauncherEntry signal on the session bus. Without a session bus
// nothing is sent and nothing fails.

#include <QString>

namespace tv {

class TaskbarProgress {
public:
    // desktopFileName: the program's .desktop file ("org.tunevane.Tunevane.desktop").
    explicit TaskbarProgress(const QString &desktopFileName);

    // Shows a share from 0 to 1 on the entry; clear() takes the bar away again.
    void show(double share);
    void clear();

private:
    bool send(double share, bool visible);

    QString m_appUri;    // "application://" + the desktop file's name
    double m_shown = -1; // the share last sent, so that the bus hears only of changes
    bool m_visible = false;
};

} // namespace tv

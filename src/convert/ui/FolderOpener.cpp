#include "FolderOpener.h"

#include "MessageBox.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tv {

namespace {

FolderOpenerBackend gBackend; // UI thread only

void OpenWithUrlHandler(const QString &path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// Asks the file manager to show items; falls back to opening the folder when no file manager
// answers on the session bus (or there is no session bus at all).
void ShowInFileManager(const QString &path, bool select) {
    const QString folder = select ? QFileInfo(path).absolutePath() : path;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        OpenWithUrlHandler(folder);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                       "org.freedesktop.FileManager1", select ? "ShowItems" : "ShowFolders");
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, folder]() {
        if (watcher->isError())
            OpenWithUrlHandler(folder);
        watcher->deleteLater();
    });
}

} // namespace

void SetFolderOpenerBackend(FolderOpenerBackend backend) {
    gBackend = std::move(backend);
}

void OpenFolder(QWidget *, const QString &path, bool select, bool askCreate) {
    if (!QFileInfo::exists(path) && askCreate) {
        const QString question = "Folder  '" + path + "'  does not exist.\n\nDo you want to create it?";
        if (ShowMessage(question, MsgYesNo | MsgExclamation, QString()) != AnsYes)
            return;
        QDir().mkpath(path);
    }
    if (gBackend) {
        gBackend(path, select);
        return;
    }
    ShowInFileManager(path, select);
}

} // namespace tv

#include "OutputFolders.h"

#include "Config.h"
#include "Settings.h"
#include "TempSession.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace tv {

namespace {

FolderSettings gFolders;

QString RememberedFolder(const char *settingName, int fallbackId) {
    const QString stored = ReadSetting(QString::fromLatin1(settingName)).trimmed();
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return WithTrailingSlash(stored);
    QString folder = SpecialFolder(fallbackId);
    if (folder.isEmpty())
        folder = SpecialFolder(5);
    return folder;
}

} // namespace

FolderSettings &Folders() {
    return gFolders;
}

void LoadFolders() {
    // Creation errors are ignored here: a folder that cannot be made shows up when it is used.
    QDir().mkpath(Paths().dataFolder);
    // Temporary files go into a folder of this process's own, never shared with another run.
    const QString own = ClaimTempFolder(Paths().sharedTempFolder);
    UseTempFolder(own.isEmpty() ? Paths().sharedTempFolder : own);
    gFolders.inputFolder = RememberedFolder("InputPath", 13);
    gFolders.outputFolder = RememberedFolder("OutputPath", 13);
    gFolders.captureFolder = RememberedFolder("CapturePath", 39);
}

bool CheckOutputFolder(QString &folderText) {
    if (folderText.trimmed().isEmpty())
        folderText = SpecialFolder(5);
    const QString folder = folderText.trimmed();
    if (folder.isEmpty())
        return false;
    // The outputs go where the check looked: blanks around the typed text are not kept.
    folderText = folder;
    QFileInfo info(folder);
    if (!info.exists()) {
        if (!QDir().mkdir(folder))
            return false;
        info.refresh();
    }
    if (!info.isDir())
        return false;
    // Permission bits say little when running as root; a real write tells whether outputs can land.
    QTemporaryFile probe(WithTrailingSlash(folder) + ".tunevane-XXXXXX");
    return probe.open();
}

QString FolderTextOnLeave(const QString &text) {
    if (text.trimmed().isEmpty() || text.endsWith(QLatin1Char('/')))
        return text;
    return text + QLatin1Char('/');
}

} // namespace tv

#pragma once
// Adding files to the list: through the open-file dialog, a given path, dropped files and
// folders, or the disc menu. Files are probed side by side on worker threads while the wait
// window counts them; rows are appended in the chosen order, failures go to the report window.

#include "frmWait.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QWidget;

namespace tv {

class FileListView;
class ProbeQueue;
struct ProbeOutcome;

class FileImporter : public QObject {
    Q_OBJECT
public:
    // The list to fill, and the window that owns the dialogs.
    FileImporter(FileListView *list, QWidget *window);
    ~FileImporter() override;

    // Shows the open-file dialog and imports the chosen files.
    void ImportFiles();
    // Imports one file without the dialog (text commands, the command line).
    void ImportFiles(const QString &path);
    // Imports chosen files in their order (the wait window shows when there are several).
    void ImportPaths(const QStringList &paths);
    // Imports dropped files and folders; folders are searched for media files.
    void ImportDroppedPaths(const QStringList &paths);
    // Imports the disc menu's files, then reports each rejected name as not supported.
    void ImportDiscFiles(const QStringList &files, const QStringList &rejectedNames);

    bool isImporting() const;
    // Stops a running import; what was added stays.
    void cancelImport();

    // Makes the encoder ready before an import; answers its error text, "" when ready. The
    // conversion driver sets it; without one the encoder counts as ready.
    void setEncoderReadyCheck(std::function<QString()> check) { m_encoderReady = std::move(check); }

    ProbeQueue *queue() const { return m_queue; }
    frmWait *waitWindow() const { return m_wait; }

Q_SIGNALS:
    void importStarted();
    void importFinished(int addedRows);
    // A file was probed and added: the encoder's job list is to be cleared (ClearJobs); the
    // conversion driver connects here.
    void clearJobsRequested();

private:
    bool begin(const QStringList &paths, bool expandFolders, const QStringList &rejectedNames = {});
    void onCollected(int total);
    void onProgress(int number, int total, const QString &fileName);
    void onOutcome(const ProbeOutcome &outcome);
    void onFinished(bool canceled);
    void showWaitWindow();

    // UI thread only.
    FileListView *m_list;
    QWidget *m_window;
    ProbeQueue *m_queue;
    QPointer<frmWait> m_wait;
    std::function<QString()> m_encoderReady;
    QStringList m_rejectedNames;
    int m_added = 0;
    int m_total = 0;
};

// Accepts files and folders dropped anywhere on the main window and imports them, except while
// a conversion runs or an import is going.
class FileDropTarget : public QObject {
    Q_OBJECT
public:
    FileDropTarget(QWidget *window, FileListView *list, FileImporter *importer);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool accepting() const;

    QWidget *m_window;
    FileListView *m_list;
    FileImporter *m_importer;
};

} // namespace tv

#include "FileImporter.h"

#include "Config.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "MessageBox.h"
#include "OpenFileFilter.h"
#include "OutputFolders.h"
#include "ProbeQueue.h"
#include "ReportList.h"
#include "RowStatus.h"
#include "Settings.h"
#include "frmReportList.h"
#include "frmWait.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace tv {

namespace {

// The open-file dialog hands over at most this many names at once.
constexpr int kMaxChosenFiles = 32000;

} // namespace

FileImporter::FileImporter(FileListView *list, QWidget *window)
    : QObject(window), m_list(list), m_window(window), m_queue(new ProbeQueue(this)) {
    connect(m_queue, &ProbeQueue::collected, this, &FileImporter::onCollected);
    connect(m_queue, &ProbeQueue::progress, this, &FileImporter::onProgress);
    connect(m_queue, &ProbeQueue::outcomeReady, this, &FileImporter::onOutcome);
    connect(m_queue, &ProbeQueue::finished, this, &FileImporter::onFinished);
}

FileImporter::~FileImporter() {
    m_queue->cancel();
}

bool FileImporter::isImporting() const {
    return m_queue->isRunning();
}

void FileImporter::cancelImport() {
    m_queue->cancel();
}

void FileImporter::ImportFiles() {
    if (isImporting())
        return;
    QFileDialog dialog(m_window, tr("Add Files"), Folders().inputFolder);
    dialog.setObjectName(QStringLiteral("dlgOpenFiles"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(OpenFileNameFilters());
    if (dialog.exec() != QDialog::Accepted)
        return;
    QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.constFirst().isEmpty())
        return;
    if (files.size() > kMaxChosenFiles)
        files = files.mid(0, kMaxChosenFiles);

    const QString folder = WithTrailingSlash(QFileInfo(files.constFirst()).absolutePath());
    Folders().inputFolder = folder;
    WriteSetting(QStringLiteral("InputPath"), folder);
    ImportPaths(files);
}

void FileImporter::ImportFiles(const QString &path) {
    if (!path.isEmpty())
        ImportPaths({path});
}

void FileImporter::ImportPaths(const QStringList &paths) {
    begin(paths, false);
}

void FileImporter::ImportDroppedPaths(const QStringList &paths) {
    begin(paths, true);
}

void FileImporter::ImportDiscFiles(const QStringList &files, const QStringList &rejectedNames) {
    begin(files, false, rejectedNames);
}

bool FileImporter::begin(const QStringList &paths, bool expandFolders, const QStringList &rejectedNames) {
    if (isImporting() || (paths.isEmpty() && rejectedNames.isEmpty()))
        return false;
    if (m_encoderReady) {
        const QString error = m_encoderReady();
        if (!error.isEmpty()) {
            ShowMessage(error, MsgCritical);
            return false;
        }
    }
    m_added = 0;
    m_total = 0;
    m_rejectedNames = rejectedNames;

    ProbeOptions options;
    options.importMode = kImportModeSkipShort;
    options.tempFolder = Paths().tempFolder;
    m_queue->setOptions(options);

    emit importStarted();
    m_queue->start(paths, expandFolders);
    // A search of folders can take a while: the wait window says so until the files are known.
    if (expandFolders && (paths.size() > 1 || QFileInfo(paths.constFirst()).isDir())) {
        showWaitWindow();
        m_wait->setMessage(tr("Looking for media files..."));
    }
    return true;
}

void FileImporter::showWaitWindow() {
    if (!m_wait) {
        m_wait = new frmWait(m_window);
        connect(m_wait, &frmWait::canceled, this, &FileImporter::cancelImport);
    }
    if (!m_wait->isVisible() || m_wait->mode() != frmWait::PrepareFiles)
        m_wait->ShowMode(frmWait::PrepareFiles);
}

void FileImporter::onCollected(int total) {
    m_total = total;
    if (total > 1) {
        showWaitWindow();
        m_wait->setMessage(tr("Adding files..."));
        m_wait->setProgressMaximum(total - 1);
    } else if (m_wait) {
        m_wait->hide();
    }
}

void FileImporter::onProgress(int number, int total, const QString &fileName) {
    if (!m_wait || !m_wait->isVisible() || total < 2)
        return;
    m_wait->setFileNumber(number, total);
    m_wait->setFileName(fileName);
    m_wait->setProgressValue(number - 1);
}

void FileImporter::onOutcome(const ProbeOutcome &outcome) {
    FileListModel *model = m_list->list();
    switch (outcome.kind) {
    case ProbeOutcome::Added: {
        const int row = model->appendItem(outcome.item);
        SetRowStatus(*model, row, true, RowStatus::Ready);
        ++m_added;
        emit clearJobsRequested();
        break;
    }
    case ProbeOutcome::Interrupted:
        model->appendItem(outcome.item);
        ++m_added;
        break;
    case ProbeOutcome::NotFound:
    case ProbeOutcome::OpenFailed:
        AddReportEntry(outcome.fileName, outcome.failureText);
        break;
    case ProbeOutcome::Skipped:
    case ProbeOutcome::Canceled:
        break;
    }
}

void FileImporter::onFinished(bool) {
    if (m_wait)
        m_wait->hide();
    for (const QString &name : std::as_const(m_rejectedNames))
        AddReportEntry(name, QStringLiteral("File format not supported!"));
    m_rejectedNames.clear();

    m_list->UpdateListFooters();
    m_list->ShowListState();
    ShowReport(m_window, QStringLiteral("Failed"), QStringLiteral("Failed to import files!"));
    emit importFinished(m_added);
}

FileDropTarget::FileDropTarget(QWidget *window, FileListView *list, FileImporter *importer)
    : QObject(window), m_window(window), m_list(list), m_importer(importer) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool FileDropTarget::accepting() const {
    return !m_list->conversionBusy() && !m_importer->isImporting();
}

bool FileDropTarget::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (accepting() && drag->mimeData()->hasUrls())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!accepting() || !drop->mimeData()->hasUrls()) {
            drop->ignore();
            return true;
        }
        QStringList paths;
        QStringList refused;
        for (const QUrl &url : drop->mimeData()->urls()) {
            if (url.isLocalFile())
                paths << url.toLocalFile();
            else
                refused << url.toDisplayString();
        }
        drop->acceptProposedAction();
        if (!refused.isEmpty())
            ShowMessage(
                tr("Only files and folders on this computer can be added:\n\n%1").arg(refused.join('\n')),
                MsgExclamation, QStringLiteral("Drag and Drop"));
        if (!paths.isEmpty())
            m_importer->ImportDroppedPaths(paths);
        return true;
    }
    default:
        return false;
    }
}

} // namespace tv

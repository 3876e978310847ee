// The end of a batch: the report of failed files, the merge of the outputs, and the notice
// that the conversion is complete (a dialog, a tray message, or the computer powering off).
#include "CMD_MediaConvert.h"
#include "Config.h"
#include "ConversionBatch.h"
#include "ConversionFlags.h"
#include "Engine.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "InputInfoPanel.h"
#include "MediaItem.h"
#include "MediaItemTags.h"
#include "MessageBox.h"
#include "OutputMerger.h"
#include "OutputPanel.h"
#include "PowerOff.h"
#include "ReportList.h"
#include "TagFiles.h"
#include "frmMain.h"
#include "frmMsg.h"
#include "frmReportList.h"
#include "frmWait.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace tv {

namespace {
const QString kCompleted = QStringLiteral("Conversion is completed !");
} // namespace

void frmMain::BatchEnd() {
    ConversionFlags &flags = Flags();
    FileListModel &list = *FileViewMain->list();
    m_endingBatch = true;

    // 1. Back to the idle window.
    FFEncoder1->ClearJobs();
    clearBatchProgress();
    setConversionState(Idle);
    setTotalBarBusy(false);
    ProgressBar_Total->hide();
    SetUiState(0, true);
    setAcceptDrops(true);

    // 2. A closing window wants nothing more.
    if (m_unloading) {
        m_endingBatch = false;
        return;
    }

    // 3. The report of the rows that failed (unless the computer is to power off anyway).
    int failures = 0;
    if (!flags.shutdownWhenDone) {
        ClearReport();
        for (int row = 0; row < list.rowCount(); ++row) {
            if (list.item(row, Item::Progress).trimmed() != QLatin1String("Unsuccessful!"))
                continue;
            ++failures;
            AddReportEntry(list.item(row, Item::Name), list.item(row, Item::ErrMsg).trimmed());
        }
        if (failures > 0) {
            if (isMinimized())
                showNormal();
            if (Chk_Merge->isChecked()) {
                // A merge cannot be made any more: the outputs of this batch go. Only rows that
                // finished were written by this batch, so no older file of the user is touched.
                for (int row = 0; row < list.rowCount(); ++row) {
                    if (list.item(row, Item::Progress).trimmed() == QLatin1String("Done"))
                        QFile::remove(list.item(row, Item::ConvertedFileName));
                }
            }
            ShowReport(this, QStringLiteral("Conversion Reports"),
                       QStringLiteral("Can not convert these files!"));
        }
    }

    // 4. The clock stops.
    Timer_ConversionElapsed->stop();
    list.setFooterText(Item::Progress, QString());

    // 5.–7. Merge and notices, only for a batch that ran to its end without failures; a merge
    // goes on in MergeFinished once ffmpeg is done.
    if (!flags.stopRequested && failures == 0) {
        if (Chk_Merge->isChecked() && StartMerge())
            return;
        CompleteBatch();
        return;
    }
    EndBatch();
}

void frmMain::CompleteBatch() {
    FileListModel &list = *FileViewMain->list();
    if (list.rowCount() > 0) {
        FileViewMain->selectRow(0);
        GroupBox_InputInfo->ShowInputInfo(&list, 0);
    }
    if (Flags().shutdownWhenDone) {
        m_endingBatch = false;
        RequestPowerOff(30, kCompleted);
        close();
        return;
    }
    if (!Flags().suppressNotices)
        showCompletionNotice();
    EndBatch();
}

void frmMain::EndBatch() {
    m_endingBatch = false;
    // 8. The preview picture is redrawn here once the player exists.
    Q_EMIT batchCompleted();
}

void frmMain::showCompletionNotice() {
    const FileListModel &list = *FileViewMain->list();
    const QString first = list.rowCount() > 0 ? list.item(0, Item::ConvertedFileName) : QString();
    if (isMinimized() || !isVisible()) {
        // A minimised or hidden window is not brought forward; the desktop shows a notice.
        showTrayNotice(kCompleted);
        Q_EMIT completionNotified(kCompleted);
        return;
    }
    frmMsg dialog(frmMsg::OffersBurning(first), Txt_OutputPath->text(), this);
    // "Burn to disc" opens the burner chooser once the dialog has closed.
    dialog.setBurnAvailable(true);
    connect(&dialog, &frmMsg::burnRequested, this, &frmMain::OpenBurnTypes, Qt::QueuedConnection);
    dialog.exec();
}

bool frmMain::StartMerge() {
    FileListModel &list = *FileViewMain->list();
    MergeRequest request;
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.item(row, Item::Progress).trimmed() == QLatin1String("Done"))
            request.outputs << list.item(row, Item::ConvertedFileName);
    }
    if (request.outputs.size() < 2)
        return false;
    request.outputFolder = Txt_OutputPath->text();
    request.panelIndex = m_outputPanel->currentTab();
    request.workFolder = Paths().tempFolder;
    const TagRecord firstTags = TagRecordOfItem(list.mediaItem(0));
    request.writeTags = [firstTags](const QString &joined) { WriteTagsToOutput(joined, firstTags); };

    // The window waits, disabled, with the wait window's Cancel reaching the running merge.
    Flags().waitMode = 3;
    m_convertWait->ShowMode(frmWait::Finalizing);
    setEnabled(false);
    m_convertWait->setEnabled(true);
    m_merger->start(request);
    return true;
}

void frmMain::MergeFinished(const MergeResult &result) {
    m_convertWait->hide();
    setEnabled(true);
    Flags().waitMode = 0;
    if (m_unloading) {
        m_endingBatch = false; // the window closed during the merge: nothing more to say
        return;
    }
    if (!result.ok) {
        ShowMessage(result.error, MsgCritical, QString());
        EndBatch();
        return;
    }
    if (result.merged) {
        FileListModel &list = *FileViewMain->list();
        list.setItem(0, Item::ConvertedFileName, result.finalPath);
        FileViewMain->viewport()->update();
    }
    CompleteBatch();
}

} // namespace tv

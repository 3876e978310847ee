// The conversion driver of the main window: Convert Now / Pause / Resume and Stop, preparing a
// job per row, progress in the rows and the total bar, the elapsed time and the outcome of
// every row.
#include "CatalogOperations.h"
#include "ConversionBatch.h"
#include "ConversionFlags.h"
#include "Engine.h"
#include "FileImporter.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "ImageStore.h"
#include "InputInfoPanel.h"
#include "ItemBatchRow.h"
#include "KeyFilters.h"
#include "MediaItem.h"
#include "MediaItemTags.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "OutputMerger.h"
#include "OutputPanel.h"
#include "RowStatus.h"
#include "Settings.h"
#include "SingleFileConversion.h"
#include "TagFiles.h"
#include "TimeFormat.h"
#include "frmMain.h"
#include "frmWait.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace tv {

namespace {

// Caption, image and tag of the Convert button per state.
struct StateLook {
    const char *caption;
    const char *image;
};
const StateLook kStateLooks[] = {
    {"&Convert Now", "img_convert.png"},
    {"&Pause", "img_pause.png"},
    {"&Resume", "img_resume.png"},
};

} // namespace

void frmMain::setupConversion() {
    FFEncoder1 = new Engine(this);
    FFEncoder1->setObjectName(QStringLiteral("FFEncoder1"));
    // The tag formats are read with the tag reader when files are added.
    InstallTagReader();
    m_singleFile = new SingleFileConversion(this);
    m_batch = new ConversionBatch(FFEncoder1, this);
    m_merger = new OutputMerger(this);
    connect(m_merger, &OutputMerger::finished, this, &frmMain::MergeFinished);

    // Total progress, shown in place of the player while a batch runs.
    ProgressBar_Total = new QProgressBar(this);
    ProgressBar_Total->setObjectName(QStringLiteral("ProgressBar_Total"));
    ProgressBar_Total->setTextVisible(true);
    ProgressBar_Total->setAlignment(Qt::AlignCenter);
    ProgressBar_Total->setMinimumHeight(26);
    ProgressBar_Total->hide();
    m_sidePanelArea->insertWidget(0, ProgressBar_Total);

    chkThreadMode = new QCheckBox(tr("&Jobs at once:"), this);
    chkThreadMode->setObjectName(QStringLiteral("chkThreadMode"));
    chkThreadMode->setToolTip(tr("Unticked, one file is converted per processor core"));
    txtThreadCount = new QLineEdit(QStringLiteral("1"), this);
    txtThreadCount->setObjectName(QStringLiteral("txtThreadCount"));
    txtThreadCount->setMaximumWidth(44);
    txtThreadCount->setEnabled(false);
    InstallNumericKeyFilter(txtThreadCount);
    connect(chkThreadMode, &QCheckBox::toggled, txtThreadCount, &QWidget::setEnabled);

    QPushButton *convert =
        addFileListViewButton(ConvertButton, tr("&Convert Now"), QStringLiteral("img_convert.png"),
                              tr("Convert every file of the list"));
    convert->setMinimumWidth(130);
    QFont bold = convert->font();
    bold.setBold(true);
    convert->setFont(bold);
    QPushButton *stop =
        addFileListViewButton(StopButton, tr("&Stop"), QStringLiteral("img_stop.png"), tr("Stop converting"));
    stop->setEnabled(false);
    m_actionRowArea->addStretch(1);
    m_actionRowArea->addWidget(chkThreadMode);
    m_actionRowArea->addWidget(txtThreadCount);
    m_actionRowArea->addSpacing(12);
    m_actionRowArea->addWidget(convert);
    m_actionRowArea->addWidget(stop);

    Timer_ConversionElapsed = new QTimer(this);
    Timer_ConversionElapsed->setObjectName(QStringLiteral("Timer_ConversionElapsed"));
    Timer_ConversionElapsed->setInterval(1000);
    connect(Timer_ConversionElapsed, &QTimer::timeout, this, &frmMain::Timer_ConversionElapsed_Timer);

    m_convertWait = new frmWait(this);
    m_convertWait->setObjectName(QStringLiteral("frmWait_Convert"));
    connect(m_convertWait, &frmWait::canceled, this, [this]() {
        if (Flags().waitMode == 3) {
            m_merger->cancel();
        } else {
            Flags().cancelPrepare = true;
            cancelPreparation();
        }
    });

    mnuShutdownWhenDone = new QAction(tr("Shutdown When All Tasks Done"), this);
    mnuShutdownWhenDone->setCheckable(true);
    connect(mnuShutdownWhenDone, &QAction::toggled, this, [](bool on) { Flags().shutdownWhenDone = on; });
    insertMenuEntry(10, mnuShutdownWhenDone);

    connect(m_batch, &ConversionBatch::rowProgress, this, &frmMain::onRowProgress);
    connect(m_batch, &ConversionBatch::totalProgress, this, &frmMain::onTotalProgress);
    connect(m_batch, &ConversionBatch::stalled, this, &frmMain::onStalled);
    connect(m_batch, &ConversionBatch::rowSucceeded, this, &frmMain::onRowSucceeded);
    connect(m_batch, &ConversionBatch::rowMoveFailed, this, &frmMain::onRowMoveFailed);
    connect(m_batch, &ConversionBatch::rowFailed, this, &frmMain::onRowFailed);
    connect(m_batch, &ConversionBatch::elapsedChanged, this, [this](int seconds) {
        FileViewMain->list()->setFooterText(Item::Progress,
                                            QStringLiteral("Elapsed: ") + FormatClock(seconds));
    });
    connect(m_batch, &ConversionBatch::batchEnded, this, &frmMain::BatchEnd);

    // The list refuses shortcuts, renaming and drops while a batch runs or is paused.
    FileViewMain->setConversionBusyTest([this]() { return conversionState() != Idle; });
    connect(m_fileImporter, &FileImporter::clearJobsRequested, this, [this]() {
        if (conversionState() == Idle)
            FFEncoder1->ClearJobs();
    });
}

frmMain::ConversionState frmMain::conversionState() const {
    const int state = Cmd_FileListView(ConvertButton)->property("Tag").toString().toInt();
    return state == 1 ? Converting : state == 2 ? Paused : Idle;
}

void frmMain::setConversionState(ConversionState state) {
    QPushButton *button = Cmd_FileListView(ConvertButton);
    button->setText(tr(kStateLooks[state].caption));
    button->setIcon(ThemeIcon(QString::fromLatin1(kStateLooks[state].image)));
    button->setProperty("Tag", QString::number(state));
}

void frmMain::SetUiState(int state, bool enabled) {
    if (state == 1 && !enabled) {
        // Everything that changes the list, the output or the settings waits for the batch.
        const QList<QWidget *> controls = {Cmd_FileListView(AddFilesButton),
                                           Cmd_FileListView(RemoveButton),
                                           Cmd_FileListView(RemoveAllButton),
                                           Cmd_FileListView(TrimButton),
                                           Cmd_FileListView(BrowseOutputButton),
                                           Cmd_FileListView(FavoriteButton),
                                           Cmd_FileListView(FormatSettingsButton),
                                           Cmd_FileListView(SearchButton),
                                           Txt_OutputPath,
                                           m_outputPanel,
                                           Chk_Merge,
                                           Cmd_RenameAll,
                                           chkThreadMode,
                                           txtThreadCount,
                                           Combo_Loudness,
                                           Combo_LoudnessTarget};
        m_lockedByBatch.clear();
        for (QWidget *control : controls) {
            if (control && control->isEnabled()) {
                control->setEnabled(false);
                m_lockedByBatch << control;
            }
        }
        Cmd_FileListView(StopButton)->setEnabled(true);
        return;
    }
    for (QWidget *control : std::as_const(m_lockedByBatch))
        control->setEnabled(true);
    m_lockedByBatch.clear();
    Cmd_FileListView(StopButton)->setEnabled(false);
}

void frmMain::ConvertClick() {
    if (m_preparingBatch || m_endingBatch)
        return;
    switch (conversionState()) {
    case Idle:
        StartConversion();
        break;
    case Converting:
        setConversionState(Paused);
        m_batch->pause();
        Timer_ConversionElapsed->stop();
        break;
    case Paused:
        setConversionState(Converting);
        m_batch->resume();
        Timer_ConversionElapsed->start();
        break;
    }
}

void frmMain::StartConversion() {
    ConversionFlags &flags = Flags();
    flags.stopRequested = false;
    flags.suppressNotices = false;
    setAcceptDrops(false);

    QString folder = Txt_OutputPath->text();
    const bool usable = CheckOutputFolder(folder);
    Txt_OutputPath->setText(folder);
    if (!usable) {
        Txt_OutputPath->selectAll();
        Txt_OutputPath->setFocus();
        setAcceptDrops(true);
        return;
    }
    stopPreviewPlayer();
    setConversionState(Converting);
    // The list, the output and the batch stay as they are while the jobs are prepared.
    m_preparingBatch = true;
    SetUiState(1, false);
    Cmd_FileListView(ConvertButton)->setEnabled(false);
    Cmd_FileListView(StopButton)->setEnabled(false);

    FileListModel &list = *FileViewMain->list();
    BatchSettings settings;
    settings.format = formatJobParameters();
    settings.outputFolder = Txt_OutputPath->text();
    settings.outputFileNamePolicy = Settings().outputFileName;
    settings.loudness = loudnessChoice();
    for (int row = 0; row < list.rowCount(); ++row)
        settings.inputPaths << list.mediaItem(row).inputPath();
    m_batch->begin(settings);
    GroupBox_InputInfo->ShowInputInfo(&list, -1);

    for (int row = 0; row < list.rowCount(); ++row) {
        SetRowStatus(list, row, true, RowStatus::Ready);
        SetRowStatus(list, row, false, RowStatus::Ready);
    }
    flags.cancelPrepare = false;

    // Each output receives its row's tags on the worker that wrote it, before it takes its name.
    QVector<TagRecord> records;
    for (int row = 0; row < list.rowCount(); ++row)
        records.append(TagRecordOfItem(list.mediaItem(row)));
    FFEncoder1->setOutputTagging(TaggingForRows(records));

    // The total bar takes the player's place from the start of the preparation on.
    ProgressBar_Total->setMaximum(1);
    ProgressBar_Total->setValue(0);
    ProgressBar_Total->setFormat(QString());
    ProgressBar_Total->show();

    flags.waitMode = 1;
    m_convertWait->ShowMode(frmWait::PrepareFiles);
    m_convertWait->setMessage(tr("Preparing for conversion..."));
    m_convertWait->setProgressMaximum(std::max(0, list.rowCount() - 1));

    // The inputs are opened on a worker, in list order, stopping at the first that cannot be
    // opened; the window shows how far it got and takes Cancel meanwhile.
    QStringList inputs;
    QStringList names;
    for (int row = 0; row < list.rowCount(); ++row) {
        inputs << list.mediaItem(row).inputPath();
        names << list.item(row, Item::Name) + QLatin1Char('.') + list.item(row, Item::Format);
    }
    m_prepareTasks.start(
        [inputs](TaskControl &control, const TaskProgress &progress) {
            InputCheck check;
            for (int row = 0; row < inputs.size() && control.proceed(); ++row) {
                progress(row, inputs.size());
                check.refusal = Engine::CheckInput(inputs.at(row));
                if (!check.refusal.isEmpty()) {
                    check.refusedRow = row;
                    break;
                }
            }
            return check;
        },
        [this](const InputCheck &check) { prepareJobs(check); },
        [this, names](qint64 row, qint64 total) {
            m_convertWait->setFileNumber(static_cast<int>(row) + 1, static_cast<int>(total));
            m_convertWait->setFileName(names.value(static_cast<int>(row)));
            m_convertWait->setProgressValue(static_cast<int>(row));
        });
}

void frmMain::prepareJobs(const InputCheck &check) {
    FileListModel &list = *FileViewMain->list();
    bool prepared = !m_unloading;
    // Every row gets its job (and its output name) in list order, up to a refused one.
    for (int row = 0; prepared && row < list.rowCount(); ++row) {
        if (row == check.refusedRow) {
            m_convertWait->hide();
            ShowMessage(RefusalText(check.refusal), MsgExclamation, QStringLiteral("Attention!"));
            prepared = false;
            break;
        }
        const PreparedJob job = m_batch->prepareRow(row, BatchRowOf(list.mediaItem(row)));
        list.setItem(row, Item::ConvertedFileName, job.convertedFileName);
        if (!job.ok) {
            m_convertWait->hide();
            ShowMessage(job.refusedAtAdd ? RefusalText(job.message) : job.message,
                        job.refusedAtAdd ? MsgExclamation : MsgCritical,
                        job.refusedAtAdd ? QStringLiteral("Attention!") : QString());
            prepared = false;
        }
    }
    finishPreparation(prepared);
}

void frmMain::cancelPreparation() {
    if (!m_preparingBatch)
        return;
    m_prepareTasks.cancel();
    finishPreparation(false);
}

void frmMain::finishPreparation(bool start) {
    ConversionFlags &flags = Flags();
    m_convertWait->hide();
    m_preparingBatch = false;
    Cmd_FileListView(ConvertButton)->setEnabled(true);
    if (m_unloading) {
        // The window closed while the jobs were prepared: nothing is started.
        m_batch->abandon();
        return;
    }
    ProgressBar_Total->setMaximum(std::max(1, m_batch->totalMaximum()));
    ProgressBar_Total->setValue(0);
    ProgressBar_Total->setFormat(QString());
    ProgressBar_Total->show();
    setTotalBarBusy(false);

    if (start) {
        Cmd_FileListView(StopButton)->setEnabled(true);
        int parallel = 0;
        if (chkThreadMode->isChecked())
            parallel = ParseShortOr(txtThreadCount->text(), 1);
        m_batch->start(parallel);
        flags.elapsedSeconds = 0;
        Timer_ConversionElapsed->start();
        return;
    }
    flags.cancelPrepare = true;
    m_batch->abandon();
    setConversionState(Idle);
    SetUiState(0, true);
    ProgressBar_Total->hide();
    setAcceptDrops(true);
    // The information of the chosen row (and its Tag/Info button) comes back with the idle window.
    const QList<int> rows = FileViewMain->selectedRowNumbers();
    GroupBox_InputInfo->ShowInputInfo(FileViewMain->list(), rows.isEmpty() ? 0 : rows.first());
}

void frmMain::StopClick() {
    Cmd_FileListView(ConvertButton)->setEnabled(false);
    Cmd_FileListView(StopButton)->setEnabled(false);
    Flags().stopRequested = true;
    m_batch->stop();
    Cmd_FileListView(ConvertButton)->setEnabled(true);
}

void frmMain::Timer_ConversionElapsed_Timer() {
    Flags().elapsedSeconds += 1;
    m_batch->tick();
}

void frmMain::setTotalBarBusy(bool busy) {
    if (busy) {
        ProgressBar_Total->setFormat(QStringLiteral("Processing..."));
        ProgressBar_Total->setRange(0, 0);
    } else if (ProgressBar_Total->maximum() == 0) {
        ProgressBar_Total->setRange(0, std::max(1, m_batch->totalMaximum()));
    }
    ProgressBar_Total->setProperty("displayState", busy ? 2 : 1);
}

void frmMain::onRowProgress(int row, int figure) {
    if (m_unloading || conversionState() == Idle)
        return;
    FileViewMain->ShowRowProgress(row, Item::Progress, figure);
    SetRowStatus(*FileViewMain->list(), row, true, RowStatus::Converting);
}

void frmMain::onTotalProgress(int value, const QString &text) {
    if (m_unloading || conversionState() == Idle)
        return;
    if (ProgressBar_Total->maximum() == 0)
        return; // busy: the figure returns with the next tick
    ProgressBar_Total->setValue(std::min(value, ProgressBar_Total->maximum()));
    ProgressBar_Total->setFormat(text);
    showBatchProgress(ProgressBar_Total->value(), ProgressBar_Total->maximum(), text);
}

void frmMain::onStalled(bool stalled) {
    if (!m_unloading)
        setTotalBarBusy(stalled);
}

void frmMain::showRowInformation(int row) {
    FileListModel &list = *FileViewMain->list();
    if (row < 0 || row >= list.rowCount())
        return;
    FileViewMain->selectRow(row);
    GroupBox_InputInfo->ShowInputInfo(&list, row);
}

void frmMain::onRowSucceeded(int row, const QString &) {
    if (m_unloading)
        return;
    Flags().anySucceeded = true;
    FileListModel &list = *FileViewMain->list();
    SetRowStatus(list, row, true, RowStatus::Done);
    FileViewMain->scrollTo(list.index(row, Item::Name));
    if (row + 1 < list.rowCount())
        showRowInformation(row + 1);
}

void frmMain::onRowMoveFailed(int row, const QString &message) {
    if (m_unloading)
        return;
    FileListModel &list = *FileViewMain->list();
    SetRowStatus(list, row, true, RowStatus::Unsuccessful);
    list.setItem(row, Item::ErrMsg, message);
}

void frmMain::onRowFailed(int row, const QString &message, FailureKind kind) {
    if (m_unloading)
        return;
    FileListModel &list = *FileViewMain->list();
    list.setItem(row, Item::Progress, QStringLiteral("Unsuccessful! "));
    list.setItem(row, Item::ErrMsg, message);
    Timer_ConversionElapsed->stop();
    list.setFooterText(Item::Progress, QString());
    if (kind != FailureKind::Other && Flags().stopRequested) {
        // Another job's failure has stopped the batch and said why; this row only keeps its mark.
        Flags().lastError = QStringLiteral("Error");
        SetRowStatus(list, row, true, RowStatus::Unsuccessful);
        return;
    }
    switch (kind) {
    case FailureKind::DiskFull:
        StopClick();
        ShowMessage(DiskFullText(Txt_OutputPath->text()), MsgExclamation, QStringLiteral("Attention!"));
        Flags().lastError = QStringLiteral("Error");
        break;
    case FailureKind::InvalidData:
        StopClick();
        ShowMessage(InvalidDataText(), MsgExclamation, QStringLiteral("Attention!"));
        Flags().lastError = QStringLiteral("Error");
        break;
    case FailureKind::Other:
        Flags().lastError = QStringLiteral("Error");
        SetRowStatus(list, row, true, RowStatus::Unsuccessful);
        break;
    }
    showRowInformation(row);
}

void frmMain::Conversion_Unload() {
    m_convertWait->ShowMode(frmWait::Closing);
    m_merger->cancel();
    FFEncoder1->StopAll(false);
    m_singleFile->engine()->StopAll(false);
    FFEncoder1->ClearJobs();
    m_singleFile->engine()->ClearJobs();
    Timer_ConversionElapsed->stop();
    m_convertWait->hide();
}

} // namespace tv

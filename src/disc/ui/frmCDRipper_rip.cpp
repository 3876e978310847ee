// The ripper window's rip: "Add to list" starts reading the ticked tracks, the recorder's events
// move the rows and the total bar, finished tracks go to the main list, Stop and closing end it.
#include "Config.h"
#include "DiscSession.h"
#include "ImageStore.h"
#include "MediaWatcher.h"
#include "MessageBox.h"
#include "PresetIdentifier.h"
#include "RipLog.h"
#include "RipNames.h"
#include "Settings.h"
#include "SoundErrorBox.h"
#include "SoundErrors.h"
#include "TrackListModel.h"
#include "TrackListView.h"
#include "frmCDRipper.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace tv {

bool frmCDRipper::Rip() {
    const DriveEntry *drive = selectedDrive();
    if (!drive || m_session->source() != drive->device)
        return false;
    if (m_ripper->isRunning())
        return ShowSoundError(SoundError::RecorderBusy) == 0;
    // Each rip keeps its files in a folder of its own inside the temporary folder.
    m_ripFolder = NewRipFolder(Paths().tempFolder);
    if (m_ripFolder.isEmpty()) {
        ShowMessage(tr("The temporary folder %1 cannot be written to.").arg(Paths().tempFolder),
                    MsgExclamation);
        return false;
    }
    RipRequest request;
    request.source = drive->device;
    request.testAndCopy = ReadSetting(QStringLiteral("CDTestAndCopy")) != QLatin1String("0");
    request.readOffset = ReadSetting(QStringLiteral("CDReadOffset")).toInt();
    const DiscToc &toc = m_session->disc().toc;
    QSet<QString> taken;
    CurrentRipTrack = -1;
    for (int record = 0; record < m_tracks->rowCount(); ++record) {
        if (m_tracks->isTicked(record)) {
            if (CurrentRipTrack < 0)
                CurrentRipTrack = record;
            const DiscTrack *track = toc.track(m_tracks->trackNumber(record));
            if (!track)
                return ShowSoundError(SoundError::InvalidTrack) == 0;
            const QString path = RippedFileName(m_ripFolder, CdInfoAvailable, tagText(0),
                                                m_tracks->title(record), track->number, &taken);
            m_tracks->setFilePath(record, path);
            RipTrackPlan plan = PlanTrack(toc, *track, path);
            plan.title = m_tracks->title(record);
            request.tracks << plan;
        }
        m_tracks->setStatus(record, RowStatus::Ready);
    }
    if (request.tracks.isEmpty() || !m_ripper->start(request))
        return false;
    Cmd_Panel[4]->setProperty("tag", QStringLiteral("Stop"));
    Cmd_Panel[4]->setText(QStringLiteral("  Stop"));
    setPanelIcon(4, QStringLiteral("img_stop.png"));
    SetUiState(4, true);
    return true;
}

void frmCDRipper::resetRipButton() {
    Cmd_Panel[4]->setProperty("tag", QStringLiteral("RipNow"));
    Cmd_Panel[4]->setText(tr("Add to list"));
    setPanelIcon(4, QStringLiteral("img_cd_rip.png"));
}

void frmCDRipper::StopRip() {
    m_ripper->stop();
    resetRipButton();
    // The window stays in its ripping layout until the rip has really ended (RipFinished).
    Cmd_Panel[4]->setEnabled(false);
}

void frmCDRipper::RipStarted() {
    ProgressBar_Total->setValue(0);
    ProgressBar_Total->setFormat(QStringLiteral("0 %"));
    ProgressBar_Total->show();
    Timer_Progress->start();
}

void frmCDRipper::OverallProgress(int percent) {
    ProgressBar_Total->setValue(percent);
    ProgressBar_Total->setFormat(QStringLiteral("%1 %").arg(percent));
}

int frmCDRipper::recordOfTrack(int trackNumber) const {
    for (int record = 0; record < m_tracks->rowCount(); ++record) {
        if (m_tracks->trackNumber(record) == trackNumber)
            return record;
    }
    return -1;
}

void frmCDRipper::TrackProgress(int trackNumber, int percent) {
    const int record = recordOfTrack(trackNumber);
    if (record != CurrentRipTrack) {
        CurrentRipTrack = record;
        TrackViewMain->scrollTo(m_tracks->index(record, 0));
    }
    // The one-shot timer throttles the row's updates.
    if (Timer_Progress->isActive())
        return;
    m_tracks->setProgress(record, percent);
    m_tracks->setStatus(record, RowStatus::Converting);
    Timer_Progress->start();
}

void frmCDRipper::TrackFinished(int, const RipTrackResult &result) {
    const int record = recordOfTrack(result.number);
    switch (result.status) {
    case RipStatus::Done:
        m_tracks->setProgress(record, 100);
        m_tracks->setStatus(record, RowStatus::Done);
        AddTrackToList(record);
        break;
    case RipStatus::Unsuccessful:
        // Never silently "Done": the row says so, keeps its tick and sends nothing to the list.
        m_tracks->setStatus(record, RowStatus::Unsuccessful);
        m_tracks->setFilePath(record, QString());
        break;
    case RipStatus::Canceled:
        m_tracks->setStatus(record, RowStatus::Canceled);
        m_tracks->setFilePath(record, QString());
        break;
    }
}

QString frmCDRipper::tagText(int label) const {
    // A label that never got a value says "unknown"; that is not a tag.
    const QString text = lbl_CD[label]->text();
    return text == QLatin1String("unknown") ? QString() : text;
}

void frmCDRipper::AddTrackToList(int record) {
    const QString path = m_tracks->filePath(record).trimmed();
    if (path.isEmpty())
        return;
    RippedTrack track;
    track.path = path;
    track.title = m_tracks->title(record);
    track.artist = tagText(0);
    track.album = tagText(1);
    track.genre = tagText(2);
    track.year = lbl_CD[3]->text() == QLatin1String("unknown") ? QString() : lbl_CD[3]->text();
    track.track = QString::number(m_tracks->trackNumber(record));
    if (CoverAvailable && !m_cover.isNull()) {
        const QString thumbnail =
            Paths().tempFolder + QStringLiteral("thumbnail_") + NewPresetID() + QStringLiteral(".bmp");
        if (m_cover.save(thumbnail, "BMP"))
            track.thumbnail = thumbnail;
    }
    m_tracks->setFilePath(record, QString());
    m_tracks->setTicked(record, false);
    if (m_sink)
        m_sink(track);
}

void frmCDRipper::RipFinished(int result) {
    ProgressBar_Total->hide();
    Timer_Progress->stop();
    resetRipButton();
    SetUiState(3, true);

    RipLogInfo info;
    const RipRequest &request = m_ripper->request();
    info.source = request.source;
    info.image = IsDiscImagePath(request.source);
    info.driveModel = m_ripper->outcome().driveModel;
    info.readOffset = request.readOffset;
    info.testAndCopy = request.testAndCopy;
    info.started = m_ripper->startedAt();
    info.toc = m_session->disc().toc;
    info.info.artist = tagText(0);
    info.info.album = tagText(1);
    info.info.genre = tagText(2);
    info.info.year = m_session->info().year;
    info.discId = m_session->discId();
    info.error = m_ripper->outcome().error;
    m_ripLog = RipLogText(info, m_ripper->results());
    emit ripLogReady(m_ripLog);

    if (result == -1) {
        if (CurrentRipTrack >= 0)
            m_tracks->setStatus(CurrentRipTrack, RowStatus::Unsuccessful);
        ShowMessage(m_ripper->outcome().error, MsgExclamation);
        return;
    }
    if (result != 1) {
        if (CurrentRipTrack >= 0 && m_tracks->statusText(CurrentRipTrack).isEmpty())
            m_tracks->setStatus(CurrentRipTrack, RowStatus::Canceled);
        return;
    }
    int failed = 0;
    for (const RipTrackResult &track : m_ripper->results())
        failed += track.status == RipStatus::Done ? 0 : 1;
    if (failed == 0) {
        close();
        return;
    }
    // The window stays so the failed tracks and their log can be seen.
    ShowMessage(tr("%n track(s) could not be read reliably and were not added to the list. The rip log "
                   "tells what happened.",
                   nullptr, failed),
                MsgExclamation);
}

void frmCDRipper::closeEvent(QCloseEvent *event) {
    if (Cmd_Panel[4]->property("tag").toString() == QLatin1String("Stop")) {
        if (ShowMessage(QStringLiteral("Are you sure you want to terminate it ?"), MsgYesNo | MsgQuestion,
                        QString()) != AnsYes) {
            event->ignore();
            return;
        }
        StopRip();
    }
    m_watcher->stop();
    m_session->cancel();
    event->accept();
}

} // namespace tv

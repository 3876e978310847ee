#pragma once
// The CD ripper window: pick a drive or a disc image, see its tracks with the disc's artist,
// album, genre, year and cover (CD-Text, then MusicBrainz), tick tracks and "Add to list": they
// are read securely into WAV files that go to the main list with the disc's tags.

#include "DiscSource.h"
#include "RipJob.h"

#include <QHash>
#include <QPixmap>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tv {

class DiscSession;
class MediaWatcher;
class TrackListModel;
class TrackListView;
struct ReleaseCandidate;

// A ripped track on its way to the main list, with the tags the list is to hold for it.
struct RippedTrack {
    QString path;
    QString title;
    QString artist;
    QString album;
    QString genre;
    QString year;
    QString track;
    QString thumbnail; // the cover saved as "thumbnail_" + identifier + ".bmp", or ""
};
using RippedTrackSink = std::function<void(const RippedTrack &)>;

class frmCDRipper : public QWidget {
    Q_OBJECT
public:
    // sink receives every track that was read and verified; image, when given, is opened like a
    // drive at start.
    frmCDRipper(RippedTrackSink sink, QWidget *parent = nullptr, const QString &image = QString());
    ~frmCDRipper() override;

    // The window start: list the drives (on a worker) and choose the first entry.
    void Form_Load();
    // Adds an image file to the drive box and chooses it.
    void OpenDiscImage(const QString &path);
    // Asks for an image file and opens it; false when none was chosen.
    bool ChooseDiscImage();

    // The layouts: state 3 disabled (enabled false) or enabled (true), state 4 ripping.
    void SetUiState(int state, bool enabled);

    TrackListModel *trackList() const { return m_tracks; }
    DiscSession *session() const { return m_session; }
    CdRipper *ripper() const { return m_ripper; }
    // The log of the last rip (this window's, or the one handed over from an earlier window).
    QString ripLog() const { return m_ripLog; }
    void setRipLog(const QString &text) { m_ripLog = text; }

Q_SIGNALS:
    // A rip ended; its log is ready.
    void ripLogReady(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void setPanelIcon(int index, const QString &image);
    const DriveEntry *selectedDrive() const;
    void fillDrives(const QVector<DriveEntry> &drives);

    // Disc and disc information (frmCDRipper.cpp).
    void ComboCdDrives_Click();
    void ChooseDrive();
    void ReadTrackList();
    void showUnknownLabels();
    void showEmptyCover();
    void onDiscRead(const QString &source, int code);
    void MediaChanged(bool present);
    void DiscInfoReady(const QString &source, bool success);
    void ReleasesFound(const QString &source, const QVector<ReleaseCandidate> &releases);
    void CoverReady(const QString &source, const QString &path);
    void Tray();
    void Cmd_Panel_Click(int index);
    void showRipLog();

    // Ripping (frmCDRipper_rip.cpp).
    bool Rip();
    void StopRip();
    void resetRipButton();
    void RipStarted();
    void OverallProgress(int percent);
    void TrackProgress(int trackNumber, int percent);
    void TrackFinished(int index, const RipTrackResult &result);
    void RipFinished(int result);
    void AddTrackToList(int record);
    int recordOfTrack(int trackNumber) const;
    QString tagText(int label) const;

    // Widgets and state: UI thread only.
    RippedTrackSink m_sink;
    QString m_initialImage;
    QVector<DriveEntry> m_drives;
    QComboBox *ComboCdDrives = nullptr;
    QPushButton *Cmd_OpenImage = nullptr;
    QPushButton *Cmd_RipLog = nullptr;
    QHash<int, QPushButton *> Cmd_Panel;
    QLabel *lbl_CD[4] = {};
    QLabel *lbl_CDTitle[4] = {};
    QLabel *Pic_CDCoverCaseLarge = nullptr;
    TrackListModel *m_tracks = nullptr;
    TrackListView *TrackViewMain = nullptr;
    QProgressBar *ProgressBar_Total = nullptr;
    QTimer *Timer_Progress = nullptr;
    DiscSession *m_session = nullptr;
    MediaWatcher *m_watcher = nullptr;
    CdRipper *m_ripper = nullptr;
    TaskRunner *m_runner = nullptr; // drive listing and tray moves
    QPixmap m_cover;
    QString m_ripFolder;
    QString m_ripLog;
    bool CdMediaPresent = false;
    bool CdInfoAvailable = false;
    bool CoverAvailable = false;
    int CurrentRipTrack = -1;
    bool m_trayMoving = false;
};

} // namespace tv

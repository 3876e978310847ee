#include "frmCDRipper.h"

#include "Config.h"
#include "DiscSession.h"
#include "ImageStore.h"
#include "MediaWatcher.h"
#include "MessageBox.h"
#include "SoundErrorBox.h"
#include "SoundErrors.h"
#include "TrackListModel.h"
#include "TrackListView.h"
#include "WindowUtil.h"
#include "frmReleaseChooser.h"
#include "frmRipLog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

namespace {

// The images behind the icon numbers of the ripper's buttons.
const QString kIconTrayOpen = QStringLiteral("img_cd_eject.png");         // 62: the tray can be opened
const QString kIconTrayClose = QStringLiteral("img_cd_close_tray.png");   // 63: the tray can be closed
const QString kIconCoverOther = QStringLiteral("img_cd_cover_other.png"); // 66
const QString kIconCoverNone = QStringLiteral("img_cd_cover_none.png");   // 67
const QString kIconRip = QStringLiteral("img_cd_rip.png");                // 68
const QString kIconStop = QStringLiteral("img_stop.png");                 // 69

const char *const kLabelCaptions[4] = {"Artist:", "Album:", "Genre:", "Year:"};

} // namespace

frmCDRipper::frmCDRipper(RippedTrackSink sink, QWidget *parent, const QString &image)
    : QWidget(parent, Qt::Window), m_sink(std::move(sink)), m_initialImage(image) {
    setObjectName(QStringLiteral("frmCDRipper"));
    setWindowTitle(tr("CD Ripper"));
    setWindowIcon(ThemeIcon(QStringLiteral("img_cd_rip.png")));
    m_tracks = new TrackListModel(this);
    m_session = new DiscSession(this);
    m_session->setCoverFolder(Paths().tempFolder);
    m_watcher = new MediaWatcher(this);
    m_ripper = new CdRipper(this);
    m_runner = new TaskRunner(this);
    buildLayout();

    connect(m_session, &DiscSession::discRead, this, &frmCDRipper::onDiscRead);
    connect(m_session, &DiscSession::discInfoReady, this, &frmCDRipper::DiscInfoReady);
    connect(m_session, &DiscSession::releasesFound, this, &frmCDRipper::ReleasesFound);
    connect(m_session, &DiscSession::coverReady, this, &frmCDRipper::CoverReady);
    connect(m_watcher, &MediaWatcher::mediaChanged, this, &frmCDRipper::MediaChanged);
    connect(m_ripper, &CdRipper::ripStarted, this, &frmCDRipper::RipStarted);
    connect(m_ripper, &CdRipper::overallProgress, this, &frmCDRipper::OverallProgress);
    connect(m_ripper, &CdRipper::trackProgress, this, &frmCDRipper::TrackProgress);
    connect(m_ripper, &CdRipper::trackFinished, this, &frmCDRipper::TrackFinished);
    connect(m_ripper, &CdRipper::ripFinished, this, &frmCDRipper::RipFinished);
    // "Add to list" needs at least one ticked track.
    connect(m_tracks, &TrackListModel::tickChanged, this, [this]() {
        if (Cmd_Panel[4]->property("tag").toString() == QLatin1String("RipNow"))
            Cmd_Panel[4]->setEnabled(ComboCdDrives->isEnabled() && m_tracks->tickedCount() > 0);
    });
}

frmCDRipper::~frmCDRipper() {
    delete m_runner;
}

void frmCDRipper::setPanelIcon(int index, const QString &image) {
    Cmd_Panel[index]->setIcon(ThemeIcon(image));
    Cmd_Panel[index]->setProperty("image", image);
}

void frmCDRipper::buildLayout() {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(8);

    auto *driveRow = new QHBoxLayout();
    auto *driveLabel = new QLabel(tr("Drive:"), this);
    driveRow->addWidget(driveLabel);
    ComboCdDrives = new QComboBox(this);
    ComboCdDrives->setObjectName(QStringLiteral("ComboCdDrives"));
    ComboCdDrives->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboCdDrives->setMinimumContentsLength(40);
    driveLabel->setBuddy(ComboCdDrives);
    connect(ComboCdDrives, &QComboBox::activated, this, [this]() { ComboCdDrives_Click(); });
    driveRow->addWidget(ComboCdDrives, 1);
    auto addPanel = [this](int index, const QString &image, const QString &tip) {
        auto *button = new QPushButton(this);
        button->setObjectName(QStringLiteral("Cmd_Panel(%1)").arg(index));
        button->setToolTip(tip);
        button->setIconSize(QSize(22, 22));
        Cmd_Panel.insert(index, button);
        setPanelIcon(index, image);
        connect(button, &QPushButton::clicked, this, [this, index]() { Cmd_Panel_Click(index); });
        return button;
    };
    QPushButton *tray = addPanel(0, kIconTrayOpen, QStringLiteral("Open"));
    tray->setProperty("tag", QStringLiteral("Open"));
    driveRow->addWidget(tray);
    driveRow->addWidget(addPanel(1, QStringLiteral("img_cd_refresh.png"), tr("Read the disc again")));
    Cmd_OpenImage =
        new QPushButton(ThemeIcon(QStringLiteral("img_open_folder.png")), tr("Open Disc Image..."), this);
    Cmd_OpenImage->setObjectName(QStringLiteral("Cmd_OpenImage"));
    Cmd_OpenImage->setToolTip(tr("Rip a disc image (.cue/.bin, .toc, .nrg) as if it were in a drive"));
    connect(Cmd_OpenImage, &QPushButton::clicked, this, &frmCDRipper::ChooseDiscImage);
    driveRow->addWidget(Cmd_OpenImage);
    outer->addLayout(driveRow);

    auto *body = new QHBoxLayout();
    auto *side = new QVBoxLayout();
    Pic_CDCoverCaseLarge = new QLabel(this);
    Pic_CDCoverCaseLarge->setObjectName(QStringLiteral("Pic_CDCoverCaseLarge"));
    Pic_CDCoverCaseLarge->setFixedSize(200, 200);
    Pic_CDCoverCaseLarge->setAlignment(Qt::AlignCenter);
    Pic_CDCoverCaseLarge->setFrameShape(QFrame::StyledPanel);
    side->addWidget(Pic_CDCoverCaseLarge);
    auto *labels = new QGridLayout();
    labels->setHorizontalSpacing(8);
    for (int i = 0; i < 4; ++i) {
        lbl_CDTitle[i] = new QLabel(tr(kLabelCaptions[i]), this);
        lbl_CDTitle[i]->setObjectName(QStringLiteral("lbl_CDTitle(%1)").arg(i));
        lbl_CD[i] = new QLabel(QStringLiteral("unknown"), this);
        lbl_CD[i]->setObjectName(QStringLiteral("lbl_CD(%1)").arg(i));
        lbl_CD[i]->setWordWrap(true);
        lbl_CD[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = lbl_CD[i]->font();
        bold.setBold(true);
        lbl_CD[i]->setFont(bold);
        labels->addWidget(lbl_CDTitle[i], i, 0, Qt::AlignTop);
        labels->addWidget(lbl_CD[i], i, 1);
    }
    labels->setColumnStretch(1, 1);
    side->addLayout(labels);
    side->addStretch(1);
    auto *sideWidget = new QWidget(this);
    sideWidget->setLayout(side);
    sideWidget->setFixedWidth(220);
    body->addWidget(sideWidget);

    auto *listColumn = new QVBoxLayout();
    listColumn->setSpacing(0);
    TrackViewMain = new TrackListView(m_tracks, this);
    listColumn->addWidget(TrackViewMain, 1);
    listColumn->addWidget(new TrackListFooter(TrackViewMain, this));
    body->addLayout(listColumn, 1);
    outer->addLayout(body, 1);

    auto *bottom = new QHBoxLayout();
    QPushButton *cover = addPanel(3, kIconCoverNone, tr("Cover"));
    cover->setIconSize(QSize(32, 32));
    bottom->addWidget(cover);
    Cmd_RipLog = new QPushButton(ThemeIcon(QStringLiteral("img_cd_log.png")), tr("Rip Log..."), this);
    Cmd_RipLog->setObjectName(QStringLiteral("Cmd_RipLog"));
    Cmd_RipLog->setToolTip(tr("The checksums and read results of the last rip"));
    connect(Cmd_RipLog, &QPushButton::clicked, this, &frmCDRipper::showRipLog);
    bottom->addWidget(Cmd_RipLog);
    ProgressBar_Total = new QProgressBar(this);
    ProgressBar_Total->setObjectName(QStringLiteral("ProgressBar_Total"));
    ProgressBar_Total->setRange(0, 100);
    ProgressBar_Total->setTextVisible(true);
    ProgressBar_Total->setFormat(QStringLiteral("0 %"));
    ProgressBar_Total->hide();
    bottom->addWidget(ProgressBar_Total, 1);
    bottom->addStretch(0);
    QPushButton *rip = addPanel(4, kIconRip, QString());
    rip->setText(tr("Add to list"));
    rip->setProperty("tag", QStringLiteral("RipNow"));
    rip->setIconSize(QSize(24, 24));
    rip->setMinimumWidth(140);
    QFont bold = rip->font();
    bold.setBold(true);
    rip->setFont(bold);
    bottom->addWidget(rip);
    outer->addLayout(bottom);

    Timer_Progress = new QTimer(this);
    Timer_Progress->setObjectName(QStringLiteral("Timer_Progress"));
    Timer_Progress->setSingleShot(true);
    Timer_Progress->setInterval(200);
    resize(960, 520);
    FitToScreen(this);
}

void frmCDRipper::Form_Load() {
    SetUiState(3, false);
    m_runner->start([](TaskControl &, const TaskProgress &) { return ListCdDrives(); },
                    [this](QVector<DriveEntry> drives) { fillDrives(drives); });
}

void frmCDRipper::fillDrives(const QVector<DriveEntry> &drives) {
    m_drives = drives;
    ComboCdDrives->clear();
    for (const DriveEntry &drive : drives)
        ComboCdDrives->addItem(drive.text());
    if (!m_initialImage.isEmpty()) {
        OpenDiscImage(std::exchange(m_initialImage, QString()));
        return;
    }
    if (m_drives.isEmpty()) {
        // Without a drive an image can still be ripped; only without either is there nothing to do.
        if (!ChooseDiscImage()) {
            ShowMessage(QStringLiteral("No CD Drive available!"), MsgExclamation);
            close();
        }
        return;
    }
    ComboCdDrives->setCurrentIndex(0);
    ChooseDrive();
}

bool frmCDRipper::ChooseDiscImage() {
    QStringList patterns;
    for (const QString &extension : DiscImageExtensions())
        patterns << QStringLiteral("*.") + extension;
    QFileDialog dialog(this, tr("Open Disc Image"), QString(),
                       tr("Disc images (%1)").arg(patterns.join(QLatin1Char(' '))));
    dialog.setObjectName(QStringLiteral("dlgOpenDiscImage"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    OpenDiscImage(dialog.selectedFiles().constFirst());
    return true;
}

void frmCDRipper::OpenDiscImage(const QString &path) {
    const DriveEntry entry = ImageDriveEntry(path);
    int index = -1;
    for (int i = 0; i < m_drives.size(); ++i) {
        if (m_drives.at(i).device == entry.device)
            index = i;
    }
    if (index < 0) {
        m_drives.append(entry);
        ComboCdDrives->addItem(entry.text());
        index = static_cast<int>(m_drives.size()) - 1;
    }
    ComboCdDrives->setCurrentIndex(index);
    ChooseDrive();
}

void frmCDRipper::showEmptyCover() {
    // The box shows an empty case until a cover arrives; CoverAvailable stays clear.
    const QPixmap empty = ThemePixmap(QStringLiteral("tag_cover_empty.jpg"));
    if (empty.isNull())
        Pic_CDCoverCaseLarge->clear();
    else
        Pic_CDCoverCaseLarge->setPixmap(empty.scaled(Pic_CDCoverCaseLarge->size() - QSize(4, 4),
                                                     Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

const DriveEntry *frmCDRipper::selectedDrive() const {
    const int index = ComboCdDrives->currentIndex();
    return index >= 0 && index < m_drives.size() ? &m_drives.at(index) : nullptr;
}

void frmCDRipper::SetUiState(int state, bool enabled) {
    const bool ripping = state == 4;
    const bool on = !ripping && enabled;
    const DriveEntry *drive = selectedDrive();
    ComboCdDrives->setEnabled(on);
    Cmd_OpenImage->setEnabled(on);
    Cmd_Panel[0]->setEnabled(on && drive && !drive->image);
    Cmd_Panel[1]->setEnabled(on && drive);
    Cmd_Panel[3]->setEnabled(on);
    Cmd_RipLog->setEnabled(on);
    TrackViewMain->setEnabled(on);
    Cmd_Panel[4]->setEnabled(ripping || (on && m_tracks->tickedCount() > 0));
}

void frmCDRipper::showUnknownLabels() {
    for (int i = 0; i < 4; ++i) {
        lbl_CD[i]->setText(QStringLiteral("unknown"));
        lbl_CD[i]->setVisible(true);
        lbl_CDTitle[i]->setVisible(true);
    }
}

void frmCDRipper::ComboCdDrives_Click() {
    ChooseDrive();
}

void frmCDRipper::ChooseDrive() {
    showUnknownLabels();
    setPanelIcon(3, kIconCoverNone);
    showEmptyCover();
    m_cover = QPixmap();
    CoverAvailable = false;
    CdInfoAvailable = false;
    const DriveEntry *drive = selectedDrive();
    if (!drive) {
        m_session->cancel();
        m_tracks->clear();
        SetUiState(3, true);
        return;
    }
    if (m_watcher->device() != drive->device) {
        CdMediaPresent = false;
        m_watcher->watch(drive->device);
    } else if (!CdMediaPresent) {
        m_watcher->checkNow();
    }
    SetUiState(3, false);
    m_session->readDisc(drive->device);
}

void frmCDRipper::onDiscRead(const QString &source, int code) {
    const DriveEntry *drive = selectedDrive();
    if (!drive || drive->device != source)
        return;
    if (code != 0 && drive->image) {
        // A damaged image is explained and leaves the drive box.
        ShowMessage(m_session->disc().message, MsgExclamation);
        const int index = ComboCdDrives->currentIndex();
        m_drives.remove(index);
        ComboCdDrives->removeItem(index);
        m_watcher->stop();
        ChooseDrive();
        return;
    }
    ReadTrackList();
    if (CdMediaPresent && code == 0 && !m_session->infoRequested())
        ShowSoundError(m_session->requestDiscInfo());
    SetUiState(3, true);
}

void frmCDRipper::ReadTrackList() {
    m_tracks->clear();
    m_tracks->setFooterText(TrackListModel::TitleColumn, AudioTrackCountText(0));
    m_tracks->setFooterText(TrackListModel::DurationColumn, QStringLiteral("00:00"));
    const DriveEntry *drive = selectedDrive();
    const DiscReading &disc = m_session->disc();
    if (!drive || m_session->source() != drive->device || m_session->isReading()) {
        m_tracks->setEmptyText(QString());
        return;
    }
    const QVector<DiscTrack> audio = disc.toc.audioTracks();
    if (disc.code == 0 && !disc.toc.isEmpty()) {
        Cmd_Panel[0]->setProperty("tag", QStringLiteral("Open"));
        Cmd_Panel[0]->setToolTip(QStringLiteral("Open"));
        setPanelIcon(0, kIconTrayOpen);
        m_tracks->setFooterText(TrackListModel::TitleColumn,
                                AudioTrackCountText(static_cast<int>(audio.size())));
        qint64 total = 0;
        for (const DiscTrack &track : audio) {
            total += track.lengthSeconds();
            QString title = NumberedTrackName(track.number);
            if (CdInfoAvailable && !m_session->info().titles.value(track.number).isEmpty())
                title = m_session->info().titles.value(track.number);
            m_tracks->addTrack(track.number, title, CdTimeText(track.lengthSeconds() * 1000LL));
        }
        m_tracks->setFooterText(TrackListModel::DurationColumn, CdTimeText(total * 1000) + QLatin1Char(' '));
        if (total < 1) {
            m_tracks->clear();
            m_tracks->setEmptyText(QStringLiteral("The specified CD track is not an audio track!"));
            m_tracks->setFooterText(TrackListModel::TitleColumn, AudioTrackCountText(0));
            showUnknownLabels();
        }
    } else if (disc.code == SoundError::DriveNotReady) {
        m_tracks->setEmptyText(QStringLiteral("Plase insert a disk into drive ") + drive->device +
                               QLatin1Char(':'));
        showUnknownLabels();
    } else {
        m_tracks->setEmptyText(QString());
    }
    TrackViewMain->viewport()->update();
}

void frmCDRipper::MediaChanged(bool present) {
    const bool arrived = present && !CdMediaPresent;
    CdMediaPresent = present;
    const DriveEntry *drive = selectedDrive();
    if (!drive || m_session->isReading() || m_ripper->isRunning() || m_trayMoving)
        return;
    if (!present) {
        // The disc went away: the list follows.
        if (!m_session->disc().toc.isEmpty())
            ChooseDrive();
        return;
    }
    // A disc that arrived is read first; a disc already read gets its information, once (the
    // web service wants few requests).
    if (arrived && (m_session->source() != drive->device || m_session->disc().toc.isEmpty()))
        ChooseDrive();
    else if (!m_session->infoRequested())
        m_session->requestDiscInfo();
}

void frmCDRipper::DiscInfoReady(const QString &source, bool success) {
    const DriveEntry *drive = selectedDrive();
    if (!drive || drive->device != source || !success) {
        CdInfoAvailable = false;
        return;
    }
    SetUiState(3, false);
    const DiscText &info = m_session->info();
    auto show = [](QLabel *label, const QString &text) {
        label->setText(text.isEmpty() ? QStringLiteral("unknown") : text);
    };
    show(lbl_CD[0], info.artist);
    show(lbl_CD[1], info.album);
    show(lbl_CD[2], info.genre);
    const QString year = info.year.isEmpty() ? QStringLiteral("0") : info.year;
    lbl_CD[3]->setText(year == QLatin1String("0") ? QStringLiteral("Not available") : year);
    CdInfoAvailable = true;
    ReadTrackList();
    SetUiState(3, true);
}

void frmCDRipper::ReleasesFound(const QString &source, const QVector<ReleaseCandidate> &releases) {
    const DriveEntry *drive = selectedDrive();
    if (!drive || drive->device != source)
        return;
    QStringList names;
    for (const ReleaseCandidate &release : releases)
        names << release.description();
    frmReleaseChooser chooser(names, this);
    chooser.exec();
    if (m_session->source() == source)
        m_session->chooseRelease(chooser.chosen());
}

void frmCDRipper::CoverReady(const QString &source, const QString &path) {
    CoverAvailable = false;
    const DriveEntry *drive = selectedDrive();
    if (!drive || drive->device != source) {
        setPanelIcon(3, kIconCoverOther);
        return;
    }
    const QPixmap cover(path);
    if (cover.isNull())
        return;
    m_cover = cover;
    Cmd_Panel[3]->setIcon(QIcon(cover));
    Cmd_Panel[3]->setProperty("image", path);
    Pic_CDCoverCaseLarge->setPixmap(cover.scaled(Pic_CDCoverCaseLarge->size() - QSize(4, 4),
                                                 Qt::KeepAspectRatio, Qt::SmoothTransformation));
    CoverAvailable = true;
}

void frmCDRipper::Tray() {
    const DriveEntry *drive = selectedDrive();
    if (!drive || drive->image || m_trayMoving)
        return;
    const bool open = Cmd_Panel[0]->property("tag").toString() == QLatin1String("Open");
    SetUiState(3, false);
    m_trayMoving = true;
    const QString device = drive->device;
    // A tray takes a moment to move: the window keeps drawing meanwhile.
    m_runner->start(
        [device, open](TaskControl &, const TaskProgress &) {
            return open ? OpenTray(device) : CloseTray(device);
        },
        [this, open](int code) {
            m_trayMoving = false;
            SetUiState(3, true);
            if (ShowSoundError(code) != 0)
                return;
            if (open) {
                setPanelIcon(0, kIconTrayClose);
                Cmd_Panel[0]->setToolTip(QStringLiteral("Close"));
                Cmd_Panel[0]->setProperty("tag", QStringLiteral("Close"));
                m_session->cancel();
                CdMediaPresent = false;
                m_tracks->clear();
                m_tracks->setFooterText(TrackListModel::TitleColumn, AudioTrackCountText(0));
                m_tracks->setFooterText(TrackListModel::DurationColumn, QStringLiteral("00:00"));
            } else {
                setPanelIcon(0, kIconTrayOpen);
                Cmd_Panel[0]->setToolTip(QStringLiteral("Open"));
                Cmd_Panel[0]->setProperty("tag", QStringLiteral("Open"));
                ChooseDrive();
            }
        });
}

void frmCDRipper::Cmd_Panel_Click(int index) {
    switch (index) {
    case 0:
        Tray();
        break;
    case 1:
        ChooseDrive();
        break;
    case 4:
        if (Cmd_Panel[4]->property("tag").toString() == QLatin1String("Stop"))
            StopRip();
        else
            Rip();
        break;
    default:
        break;
    }
}

void frmCDRipper::showRipLog() {
    frmRipLog log(m_ripLog.isEmpty() ? tr("No rip yet: the log of a rip shows here when it ends.") : m_ripLog,
                  this);
    log.exec();
}

} // namespace tv

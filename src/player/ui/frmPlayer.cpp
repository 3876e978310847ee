#include "frmPlayer.h"

#include "FolderOpener.h"
#include "ImageStore.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "Player.h"
#include "PlayerPane.h"
#include "PlayerWidgets.h"
#include "Settings.h"
#include "Slider_Ctrl.h"
#include "Snapshot.h"
#include "WindowUtil.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

namespace {

constexpr int kPanelHeight = 74;
constexpr int kSlideStep = 2; // pixels per tick of Timer_Motion
enum StreamKind { SoundStream = 0, SubtitleStream = 1 };

} // namespace

frmPlayer::frmPlayer(PlayerEvents *events, const QString &filePath, Slider_Ctrl *mainVolume, QWidget *parent)
    : QWidget(parent, Qt::Window), m_events(events), m_path(filePath), m_mainVolume(mainVolume) {
    setObjectName(QStringLiteral("frmPlayer"));
    setWindowTitle(QFileInfo(filePath).fileName());
    setWindowIcon(ThemeIcon(QStringLiteral("img_playericon.png")));
    setMinimumSize(480, 300);
    resize(800, 500);
    FitToScreen(this);

    m_pane = new PlayerPane(events, this, OwnerPlayerWindow, 5);
    m_pane->setSource([this](PlayerSettings &settings) {
        settings.filePath = m_path;
        return true;
    });
    m_pane->setOpenFailedHandler([this](const QString &) {
        ShowMessage(QFileInfo(m_path).fileName() + QStringLiteral(" is not playable!"), MsgExclamation,
                    QStringLiteral("Sorry!"));
    });
    connect(m_pane->Cmd_Player(3), &QPushButton::clicked, this, &QWidget::close);
    connect(m_pane->Cmd_Player(4), &QPushButton::clicked, this, &frmPlayer::Snapshot);
    connect(m_pane->picPreview, &PreviewPicture::doubleClicked, this, &frmPlayer::ToggleFullScreen);
    connect(events->player(), &Player::FileOpened, this, [this]() {
        if (m_pane->ownsPlayer())
            fillStreams();
    });

    buildPanel();

    Timer_GetMousePosition = new QTimer(this);
    Timer_GetMousePosition->setObjectName(QStringLiteral("Timer_GetMousePosition"));
    Timer_GetMousePosition->setInterval(250);
    connect(Timer_GetMousePosition, &QTimer::timeout, this, &frmPlayer::Timer_GetMousePosition_Timer);
    Timer_HidePanel = new QTimer(this);
    Timer_HidePanel->setObjectName(QStringLiteral("Timer_HidePanel"));
    Timer_HidePanel->setInterval(2500);
    Timer_HidePanel->setSingleShot(true);
    connect(Timer_HidePanel, &QTimer::timeout, this, &frmPlayer::Timer_HidePanel_Timer);
    Timer_Motion = new QTimer(this);
    Timer_Motion->setObjectName(QStringLiteral("Timer_Motion"));
    Timer_Motion->setInterval(8);
    connect(Timer_Motion, &QTimer::timeout, this, &frmPlayer::Timer_Motion_Timer);
    Timer_WaitToPlay = new QTimer(this);
    Timer_WaitToPlay->setObjectName(QStringLiteral("Timer_WaitToPlay"));
    Timer_WaitToPlay->setInterval(200);
    Timer_WaitToPlay->setSingleShot(true);
    connect(Timer_WaitToPlay, &QTimer::timeout, this, &frmPlayer::Timer_WaitToPlay_Timer);
}

frmPlayer::~frmPlayer() = default;

void frmPlayer::buildPanel() {
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("PanelControls"));
    m_panel->setAutoFillBackground(true);
    auto *rows = new QVBoxLayout(m_panel);
    rows->setContentsMargins(10, 6, 10, 6);
    rows->setSpacing(4);
    auto *timeRow = new QHBoxLayout();
    timeRow->addWidget(m_pane->lbl_PlayTime);
    timeRow->addWidget(m_pane->ProgressBar_Play, 1);
    timeRow->addWidget(m_pane->lbl_PlayTotal);
    rows->addLayout(timeRow);

    auto *buttonRow = new QHBoxLayout();
    buttonRow->setSpacing(4);
    for (int i : {0, 1, 2})
        buttonRow->addWidget(m_pane->Cmd_Player(i));
    buttonRow->addWidget(m_pane->Slider_MPVolume);
    Combo_AudioSubTitle = new QComboBox(m_panel);
    Combo_AudioSubTitle->setObjectName(QStringLiteral("Combo_AudioSubTitle"));
    Combo_AudioSubTitle->setToolTip(tr("Sound and subtitles"));
    Combo_AudioSubTitle->setMinimumWidth(180);
    Combo_AudioSubTitle->setEnabled(false);
    connect(Combo_AudioSubTitle, &QComboBox::activated, this, &frmPlayer::Combo_AudioSubTitle_Click);
    buttonRow->addSpacing(8);
    buttonRow->addWidget(Combo_AudioSubTitle);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_pane->Cmd_Player(4));

    Cmd_SnapShotMenu = new QPushButton(m_panel);
    Cmd_SnapShotMenu->setObjectName(QStringLiteral("Cmd_SnapShotMenu"));
    Cmd_SnapShotMenu->setIcon(ThemeIcon(QStringLiteral("img_player_capture_menu.png")));
    Cmd_SnapShotMenu->setFlat(true);
    Cmd_SnapShotMenu->setToolTip(tr("Snapshot folder"));
    m_snapshotMenu = new QMenu(this);
    auto *mnuSnapShot = new QAction(tr("Open Snapshot Folder"), m_snapshotMenu);
    mnuSnapShot->setObjectName(QStringLiteral("mnuSnapShot"));
    connect(mnuSnapShot, &QAction::triggered, this,
            [this]() { OpenFolder(this, Folders().captureFolder, false, true); });
    m_snapshotMenu->addAction(mnuSnapShot);
    Cmd_SnapShotMenu->setMenu(m_snapshotMenu);
    buttonRow->addWidget(Cmd_SnapShotMenu);

    Cmd_FullScreen = new QPushButton(m_panel);
    Cmd_FullScreen->setObjectName(QStringLiteral("Cmd_FullScreen"));
    Cmd_FullScreen->setIcon(ThemeIcon(QStringLiteral("img_fullscreen.png")));
    Cmd_FullScreen->setIconSize(QSize(22, 22));
    Cmd_FullScreen->setFlat(true);
    Cmd_FullScreen->setToolTip(QStringLiteral("Full Screen"));
    connect(Cmd_FullScreen, &QPushButton::clicked, this, &frmPlayer::ToggleFullScreen);
    buttonRow->addWidget(Cmd_FullScreen);
    buttonRow->addWidget(m_pane->Cmd_Player(3));
    rows->addLayout(buttonRow);
    m_panel->raise();
}

void frmPlayer::placePanel() {
    const int top = m_panelWanted ? height() - kPanelHeight : height();
    m_panel->setGeometry(0, top, width(), kPanelHeight);
    placePicture();
}

void frmPlayer::placePicture() {
    // The picture takes what the panel leaves, so the panel never hides a subtitle.
    m_pane->picPreview->setGeometry(0, 0, width(), std::max(1, m_panel->y()));
}

bool frmPlayer::panelHidden() const {
    return m_panel->y() >= height();
}

void frmPlayer::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    Timer_Motion->stop();
    placePanel();
}

void frmPlayer::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    m_events->registerHost(m_pane);
    placePanel();
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    m_lastPointer = QCursor::pos();
    Timer_GetMousePosition->start();
    Timer_WaitToPlay->start();
}

void frmPlayer::Timer_WaitToPlay_Timer() {
    Timer_WaitToPlay->stop();
    if (m_mainVolume)
        (void)m_pane->Slider_MPVolume->setValue(m_mainVolume->Value());
    m_events->player()->SetVolume(m_pane->Slider_MPVolume->Value());
    m_pane->Cmd_Player(0)->click();
}

void frmPlayer::Timer_GetMousePosition_Timer() {
    const QPoint pointer = QCursor::pos();
    if (pointer == m_lastPointer) {
        // The pointer rests: the panel goes after a while, unless the pointer is on it or
        // nothing plays.
        const bool onPanel = m_panel->rect().contains(m_panel->mapFromGlobal(pointer));
        if (m_panelWanted && !onPanel && m_pane->isPlaying() && !Timer_HidePanel->isActive())
            Timer_HidePanel->start();
        return;
    }
    m_lastPointer = pointer;
    Timer_HidePanel->stop();
    if (!m_panelWanted) {
        m_panelWanted = true;
        Timer_Motion->start();
    }
}

void frmPlayer::Timer_HidePanel_Timer() {
    Timer_HidePanel->stop();
    if (!m_pane->isPlaying())
        return;
    m_panelWanted = false;
    Timer_Motion->start();
}

void frmPlayer::Timer_Motion_Timer() {
    const int target = m_panelWanted ? height() - kPanelHeight : height();
    int top = m_panel->y();
    top = top < target ? std::min(top + kSlideStep, target) : std::max(top - kSlideStep, target);
    m_panel->move(0, top);
    placePicture();
    if (top == target)
        Timer_Motion->stop();
}

void frmPlayer::fillStreams() {
    const PlayerMedia &media = m_events->player()->Media();
    Combo_AudioSubTitle->clear();
    for (const PlayerStream &stream : media.audioStreams) {
        Combo_AudioSubTitle->addItem(tr("Audio %1").arg(stream.text), stream.index);
        Combo_AudioSubTitle->setItemData(Combo_AudioSubTitle->count() - 1, SoundStream, Qt::UserRole + 1);
        if (stream.index == media.audioStream)
            Combo_AudioSubTitle->setCurrentIndex(Combo_AudioSubTitle->count() - 1);
    }
    if (!media.subtitleStreams.isEmpty()) {
        Combo_AudioSubTitle->insertSeparator(Combo_AudioSubTitle->count());
        Combo_AudioSubTitle->addItem(tr("Subtitles off"), -1);
        Combo_AudioSubTitle->setItemData(Combo_AudioSubTitle->count() - 1, SubtitleStream, Qt::UserRole + 1);
        for (const PlayerStream &stream : media.subtitleStreams) {
            Combo_AudioSubTitle->addItem(tr("Subtitle %1").arg(stream.text), stream.index);
            Combo_AudioSubTitle->setItemData(Combo_AudioSubTitle->count() - 1, SubtitleStream,
                                             Qt::UserRole + 1);
        }
    }
    Combo_AudioSubTitle->setEnabled(Combo_AudioSubTitle->count() > 1);
}

void frmPlayer::Combo_AudioSubTitle_Click(int index) {
    Player *player = m_events->player();
    if (!m_pane->ownsPlayer() || !player->isActive())
        return;
    const int stream = Combo_AudioSubTitle->itemData(index).toInt();
    if (Combo_AudioSubTitle->itemData(index, Qt::UserRole + 1).toInt() == SoundStream) {
        player->SetAudioStream(stream);
    } else if (stream < 0) {
        player->SetSubtitles(false);
    } else {
        player->SetSubtitleStream(stream);
        player->SetSubtitles(true);
    }
    // The change shows at once: the player goes back to where it is.
    player->Seek(player->Position());
}

void frmPlayer::Snapshot() {
    // The picture of the moment of the click, whatever the dialog takes.
    const QImage picture = m_events->player()->Snapshot();
    if (picture.isNull())
        return;
    QFileDialog dialog(this, tr("Save Snapshot"), Folders().captureFolder);
    dialog.setObjectName(QStringLiteral("dlgSnapshot"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(SnapshotFilters());
    dialog.setDefaultSuffix(SnapshotExtension(1).mid(1));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(SnapshotExtension(int(SnapshotFilters().indexOf(filter)) + 1).mid(1));
    });
    dialog.selectFile(SnapshotFileName(m_pane->lbl_PlayTime->text()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const int filter = int(SnapshotFilters().indexOf(dialog.selectedNameFilter())) + 1;
    const QString path = SnapshotPath(dialog.selectedFiles().constFirst(), filter);
    const QString error = SaveSnapshot(picture, path, filter);
    if (!error.isEmpty()) {
        ShowMessage(path + QStringLiteral("\n") + error, MsgExclamation, QStringLiteral("Attention!"));
        return;
    }
    Folders().captureFolder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    WriteSetting(QStringLiteral("CapturePath"), Folders().captureFolder);
}

void frmPlayer::ToggleFullScreen() {
    const bool full = !isFullScreen();
    if (full)
        showFullScreen();
    else
        showNormal();
    Cmd_FullScreen->setToolTip(full ? QStringLiteral("Exit full screen") : QStringLiteral("Full Screen"));
    Cmd_FullScreen->setIcon(
        ThemeIcon(full ? QStringLiteral("img_exit_fullscreen.png") : QStringLiteral("img_fullscreen.png")));
}

void frmPlayer::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        ToggleFullScreen();
        return;
    }
    if (event->key() == Qt::Key_Space) {
        m_pane->Cmd_Player(0)->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmPlayer::closeEvent(QCloseEvent *event) {
    Timer_GetMousePosition->stop();
    Timer_HidePanel->stop();
    Timer_Motion->stop();
    Timer_WaitToPlay->stop();
    if (m_pane->ownsPlayer())
        m_pane->StopClick();
    // The player goes back to the main window as soon as this window is closed.
    m_events->unregisterHost(m_pane);
    QWidget::closeEvent(event);
}

} // namespace tv

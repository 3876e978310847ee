#include "PlayerPane.h"

#include "ImageStore.h"
#include "MessageBox.h"
#include "Player.h"
#include "PlayerWidgets.h"
#include "Slider_Ctrl.h"

#include <QLabel>
#include <QPushButton>

namespace tv {

namespace {

const char *const kButtonImages[] = {"img_player_play.png", "img_player_stop.png", "img_player_vol_on.png",
                                     "img_closeform.png", "img_player_capture.png"};
const char *const kButtonTips[] = {"Play", "Stop", "Mute", "Close", "Snapshot"};

} // namespace

PlayerPane::PlayerPane(PlayerEvents *events, QWidget *window, PlayerOwnerKind kind, int buttons)
    : QObject(window), m_events(events), m_window(window), m_kind(kind) {
    for (int i = 0; i < buttons && i < 5; ++i) {
        auto *button = new QPushButton(window);
        button->setObjectName(QStringLiteral("Cmd_Player(%1)").arg(i));
        button->setIcon(ThemeIcon(QString::fromLatin1(kButtonImages[i])));
        button->setIconSize(QSize(22, 22));
        button->setToolTip(tr(kButtonTips[i]));
        button->setFlat(true);
        m_buttons.append(button);
    }
    m_buttons[0]->setProperty("Tag", QStringLiteral("Play"));
    m_buttons[2]->setProperty("Tag", QStringLiteral("On"));
    connect(m_buttons[0], &QPushButton::clicked, this, &PlayerPane::PlayClick);
    connect(m_buttons[1], &QPushButton::clicked, this, &PlayerPane::StopClick);
    connect(m_buttons[2], &QPushButton::clicked, this, &PlayerPane::MuteClick);

    lbl_PlayTime = new QLabel(QStringLiteral("00:00:00"), window);
    lbl_PlayTime->setObjectName(QStringLiteral("lbl_PlayTime"));
    lbl_PlayTime->setProperty("Tag", QStringLiteral("00:00:00.000"));
    lbl_PlayTotal = new QLabel(QStringLiteral("00:00:00"), window);
    lbl_PlayTotal->setObjectName(QStringLiteral("lbl_PlayTotal"));
    ProgressBar_Play = new SeekBar(window);
    connect(ProgressBar_Play, &SeekBar::clickedAt, this, &PlayerPane::onSeek);

    Slider_MPVolume = new Slider_Ctrl(window);
    Slider_MPVolume->setObjectName(QStringLiteral("Slider_MPVolume"));
    Slider_MPVolume->setOrientation(0);
    Slider_MPVolume->setMax(100);
    (void)Slider_MPVolume->setValue(80);
    Slider_MPVolume->setSliderImage(ThemePixmap(QStringLiteral("img_sliderimage1.jpg")));
    Slider_MPVolume->setRailImage(ThemePixmap(QStringLiteral("img_sliderrail_4.jpg")));
    Slider_MPVolume->setFixedSize(90, 22);
    Slider_MPVolume->setToolTip(tr("Volume"));
    connect(Slider_MPVolume, &Slider_Ctrl::Changed, this, &PlayerPane::onVolumeChanged);

    picPreview = new PreviewPicture(window);
    picPreview->setIdlePixmap(ThemePixmap(QStringLiteral("img_play_preview.jpg")));
    picPreview->setSoundPixmap(ThemePixmap(QStringLiteral("img_type_audio.png")));
    connect(picPreview, &PreviewPicture::boxChanged, this, [this](const QSize &box) {
        if (ownsPlayer())
            player()->SetPictureBox(box, 1);
    });
    m_events->registerHost(this);
}

PlayerPane::~PlayerPane() {
    MediaPlayer().ownerFlags[m_kind] = false;
    if (!m_events)
        return;
    if (ownsPlayer() && player())
        player()->Stop();
    m_events->unregisterHost(this);
}

Player *PlayerPane::player() const {
    return m_events ? m_events->player() : nullptr;
}

bool PlayerPane::isPlaying() const {
    return m_buttons[0]->property("Tag").toString() == QLatin1String("Pause");
}

bool PlayerPane::ownsPlayer() const {
    return m_events && m_events->owner() == this;
}

void PlayerPane::setPlayLook(bool playing) {
    m_buttons[0]->setProperty("Tag", playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
    m_buttons[0]->setIcon(
        ThemeIcon(playing ? QStringLiteral("img_player_pause.png") : QStringLiteral("img_player_play.png")));
    m_buttons[0]->setToolTip(playing ? tr("Pause") : tr("Play"));
}

void PlayerPane::setSoundLook(bool on) {
    m_buttons[2]->setProperty("Tag", on ? QStringLiteral("On") : QStringLiteral("Off"));
    m_buttons[2]->setIcon(
        ThemeIcon(on ? QStringLiteral("img_player_vol_on.png") : QStringLiteral("img_player_vol_off.png")));
}

void PlayerPane::PlayClick() {
    Player &engine = *player();
    if (isPlaying()) {
        PlayerSettings none;
        PlayerCommand(engine, 1, none);
        if (engine.State() != PlayerState::Playing)
            setPlayLook(false);
        return;
    }
    if (ownsPlayer() && MediaPlayer().ownerFlags[m_kind] && engine.State() == PlayerState::Paused) {
        // A paused file goes on where it stopped.
        PlayerSettings none;
        PlayerCommand(engine, 1, none);
        setPlayLook(engine.State() == PlayerState::Playing);
        return;
    }
    PlayerSettings settings;
    settings.pictureBox = picPreview->pictureBox();
    settings.volume = Slider_MPVolume->Value();
    settings.aspectMode = 1;
    if (!m_source || !m_source(settings))
        return;
    m_events->TakeOwnership(this);
    picPreview->clear();
    ProgressBar_Play->setValue(0);
    const QString error = PlayerCommand(engine, -1, settings);
    if (!error.isEmpty()) {
        MediaPlayer().ownerFlags[m_kind] = false;
        ShowMessage(error, MsgCritical);
        return;
    }
    engine.SetMute(m_buttons[2]->property("Tag").toString() == QLatin1String("Off") &&
                   Slider_MPVolume->Value() > 0);
    setPlayLook(true);
    picPreview->setPlaying(true);
    emit playStarted();
}

void PlayerPane::StopClick() {
    const bool flagged = MediaPlayer().ownerFlags[m_kind];
    MediaPlayer().ownerFlags[m_kind] = false;
    if (ownsPlayer() && flagged) {
        PlayerSettings none;
        PlayerCommand(*player(), 2, none);
    }
    setPlayLook(false);
    lbl_PlayTime->setText(QStringLiteral("00:00:00"));
    lbl_PlayTime->setProperty("Tag", QStringLiteral("00:00:00.000"));
    ProgressBar_Play->setValue(0);
    picPreview->clear();
    picPreview->setPlaying(false);
    emit playStopped();
}

void PlayerPane::MuteClick() {
    if (m_buttons[2]->property("Tag").toString() == QLatin1String("On")) {
        setSoundLook(false);
        player()->SetMute(true);
    } else {
        setSoundLook(true);
        player()->SetMute(false);
        player()->SetVolume(Slider_MPVolume->Value());
    }
}

void PlayerPane::onVolumeChanged() {
    const int value = Slider_MPVolume->Value();
    player()->SetVolume(value);
    // Volume 0 looks muted without muting the player; any other volume sounds again.
    setSoundLook(value != 0);
    if (value != 0)
        player()->SetMute(false);
}

void PlayerPane::onSeek(int x, int width) {
    const qint64 length = MediaPlayer().PlayerLength;
    if (!ownsPlayer() || length <= 0 || !player()->isActive())
        return;
    player()->Seek(PlaySeekPosition(x, width, length));
}

void PlayerPane::PlayerOpenFailed(const QString &error) {
    if (m_failed)
        m_failed(error);
    else
        ShowMessage(error, MsgExclamation, QStringLiteral("Attention!"));
}

} // namespace tv

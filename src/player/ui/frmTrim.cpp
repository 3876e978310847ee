#include "frmTrim.h"

#include "Engine.h"
#include "FileListModel.h"
#include "ImageStore.h"
#include "MessageBox.h"
#include "Settings.h"
#include "SingleFileConversion.h"
#include "SoundEditor.h"
#include "TrimPlayback.h"
#include "TrimRecord.h"
#include "WaveformView.h"
#include "WindowUtil.h"
#include "frmWait.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

namespace {

const QString kZeroTime = QStringLiteral("00:00:00.000");

} // namespace

frmTrim::frmTrim(const Services &services, int row, QWidget *owner)
    : QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::WindowMinMaxButtonsHint),
      m_services(services), m_converter(services.converter), m_record(services.list->index(row, 0)) {
    setObjectName(QStringLiteral("frmTrim"));
    setModal(false);
    setWindowTitle(QStringLiteral("Trim - "));
    // Initialise the editor and create its waveform view inside PicWave.
    ActiveSoundEditor1 = new SoundEditor(this);
    ActiveSoundEditor1->setObjectName(QStringLiteral("ActiveSoundEditor1"));
    PicWave = new WaveformView(ActiveSoundEditor1, this);
    PicWave->setThemeNo(Settings().themeNo);
    m_playback = new TrimPlayback(services.playerEvents, this);
    m_wait = new frmWait(this);
    buildLayout();
    colourTimeBoxes();
    resetTimeBoxes();
    setAnalysisButtons(false);

    Timer_LoadFile = new QTimer(this);
    Timer_LoadFile->setObjectName(QStringLiteral("Timer_LoadFile"));
    Timer_LoadFile->setSingleShot(true);
    Timer_LoadFile->setInterval(50);
    connect(Timer_LoadFile, &QTimer::timeout, this, &frmTrim::Timer_LoadFile_Timer);
    TimerReload = new QTimer(this);
    TimerReload->setObjectName(QStringLiteral("TimerReload"));
    TimerReload->setSingleShot(true);
    TimerReload->setInterval(100);
    connect(TimerReload, &QTimer::timeout, this, &frmTrim::TimerReload_Timer);
    TimerDisplayWaveform = new QTimer(this);
    TimerDisplayWaveform->setObjectName(QStringLiteral("TimerDisplayWaveform"));
    TimerDisplayWaveform->setSingleShot(true);
    TimerDisplayWaveform->setInterval(10);
    connect(TimerDisplayWaveform, &QTimer::timeout, this, [this]() { PicWave->ShowRange(0, -1); });

    connect(ActiveSoundEditor1, &SoundEditor::LoadProgress, this, &frmTrim::ActiveSoundEditor1_LoadProgress);
    connect(ActiveSoundEditor1, &SoundEditor::LoadFinished, this, &frmTrim::ActiveSoundEditor1_LoadFinished);
    connect(ActiveSoundEditor1, &SoundEditor::WaveformAnalysisFinished, this,
            &frmTrim::ActiveSoundEditor1_WaveformAnalysisFinished);
    connect(PicWave, &WaveformView::SelectionChanged, this, &frmTrim::PicWave_SelectionChanged);
    connect(PicWave, &WaveformView::ViewRangeChanged, this, &frmTrim::PicWave_ViewRangeChanged);
    connect(m_wait, &frmWait::canceled, this, &frmTrim::onWaitCanceled);
    connect(m_services.converter, &SingleFileConversion::finished, this, &frmTrim::onConversionFinished);

    const auto pauseTag = [this](const char *tag) {
        Cmd_Panels(3)->setProperty("Tag", QString::fromLatin1(tag));
    };
    connect(m_playback, &TrimPlayback::PlaybackStarted, this, [pauseTag]() { pauseTag("Pause"); });
    connect(m_playback, &TrimPlayback::PlaybackPaused, this, [pauseTag]() { pauseTag("Resume"); });
    connect(m_playback, &TrimPlayback::PlaybackStopped, this, [this, pauseTag]() {
        pauseTag("Pause");
        PicWave->setPlayPosition(-1);
    });
    connect(m_playback, &TrimPlayback::PlaybackFinished, this, [this, pauseTag]() {
        pauseTag("Pause");
        PicWave->setPlayPosition(-1);
    });
    connect(m_playback, &TrimPlayback::PositionChanged, PicWave, &WaveformView::setPlayPosition);
}

frmTrim::~frmTrim() {
    cleanUp();
}

void frmTrim::setPanelButton(int index, const QString &image, const QString &toolTip) {
    auto *button = new QPushButton(this);
    button->setObjectName(QStringLiteral("Cmd_Panels(%1)").arg(index));
    if (!image.isEmpty()) {
        button->setIcon(ThemeIcon(image));
        button->setIconSize(QSize(22, 22));
        button->setFixedSize(38, 32);
    }
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, index]() { Cmd_Panels_Click(index); });
    m_panels.insert(index, button);
}

void frmTrim::buildLayout() {
    setPanelButton(1, QStringLiteral("img_trim_play_selected.png"), QStringLiteral("Play"));
    setPanelButton(3, QStringLiteral("img_player_pause.png"), QStringLiteral("Pause"));
    setPanelButton(4, QStringLiteral("img_player_stop.png"), QStringLiteral("Stop"));
    setPanelButton(5, QString(), QString());
    setPanelButton(6, QString(), QString());
    setPanelButton(7, QStringLiteral("img_zoom_in_h.png"), QStringLiteral("Zoom in"));
    setPanelButton(8, QStringLiteral("img_zoom_out_h.png"), QStringLiteral("Zoom out"));
    setPanelButton(9, QStringLiteral("img_zoom_fullsize.png"), QStringLiteral("Zoom to full waveform"));
    setPanelButton(10, QStringLiteral("img_zoom_selection.png"), QStringLiteral("Zoom to selection"));
    Cmd_Panels(3)->setProperty("Tag", QStringLiteral("Pause"));
    Cmd_Panels(5)->setText(tr("OK"));
    Cmd_Panels(6)->setText(tr("Cancel"));
    for (int index : {5, 6})
        Cmd_Panels(index)->setMinimumWidth(90);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(8);
    outer->addWidget(PicWave, 1);

    auto *transport = new QHBoxLayout();
    transport->setSpacing(4);
    for (int index : {1, 3, 4})
        transport->addWidget(Cmd_Panels(index));
    transport->addSpacing(18);
    for (int index : {7, 8, 9, 10})
        transport->addWidget(Cmd_Panels(index));
    transport->addStretch(1);
    outer->addLayout(transport);

    auto *bottom = new QHBoxLayout();
    auto *times = new QGridLayout();
    times->setHorizontalSpacing(8);
    times->setVerticalSpacing(4);
    const QStringList heads = {tr("Start"), tr("End"), tr("Duration")};
    for (int i = 0; i < heads.size(); ++i)
        times->addWidget(new QLabel(heads.at(i), this), 0, i + 1, Qt::AlignHCenter);
    times->addWidget(new QLabel(tr("View"), this), 1, 0);
    times->addWidget(new QLabel(tr("Selection"), this), 2, 0);
    const auto box = [this, times](QLineEdit *&edit, const char *name, int row, int column) {
        edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::ClickFocus);
        edit->setAlignment(Qt::AlignCenter);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(kZeroTime) + 24);
        times->addWidget(edit, row, column);
    };
    box(Txt_StartView, "Txt_StartView", 1, 1);
    box(Txt_EndView, "Txt_EndView", 1, 2);
    box(Txt_DurationView, "Txt_DurationView", 1, 3);
    box(Txt_StartSelect, "Txt_StartSelect", 2, 1);
    box(Txt_EndSelect, "Txt_EndSelect", 2, 2);
    box(Txt_DurationSelect, "Txt_DurationSelect", 2, 3);
    bottom->addLayout(times);
    bottom->addStretch(1);
    auto *answers = new QHBoxLayout();
    answers->addWidget(Cmd_Panels(5));
    answers->addWidget(Cmd_Panels(6));
    bottom->addLayout(answers);
    bottom->setAlignment(answers, Qt::AlignBottom);
    outer->addLayout(bottom);
    resize(960, 460);
    FitToScreen(this);
}

void frmTrim::colourTimeBoxes() {
    for (QLineEdit *edit :
         {Txt_StartView, Txt_EndView, Txt_DurationView, Txt_StartSelect, Txt_EndSelect, Txt_DurationSelect}) {
        QPalette p = edit->palette();
        if (Settings().themeNo == 1) {
            p.setColor(QPalette::Base, palette().color(QPalette::Window));
            p.setColor(QPalette::Text, palette().color(QPalette::ButtonText));
        } else {
            p.setColor(QPalette::Base, QColor(0x161616));
            p.setColor(QPalette::Text, Qt::white);
        }
        edit->setPalette(p);
    }
}

void frmTrim::setAnalysisButtons(bool enabled) {
    for (int index : {1, 3, 4, 7, 8, 9})
        Cmd_Panels(index)->setEnabled(enabled);
    if (!enabled)
        Cmd_Panels(10)->setEnabled(false);
    // Nothing is saved without a sound to measure it against (the stored trim stays as it is).
    Cmd_Panels(5)->setEnabled(enabled);
}

void frmTrim::resetTimeBoxes() {
    for (QLineEdit *edit :
         {Txt_StartView, Txt_EndView, Txt_DurationView, Txt_StartSelect, Txt_EndSelect, Txt_DurationSelect})
        edit->setText(kZeroTime);
}

void frmTrim::Form_Load() {
    show();
    Timer_LoadFile->start();
}

void frmTrim::Cmd_Panels_Click(int index) {
    switch (index) {
    case 1:
        Play();
        break;
    case 3:
        PauseClick();
        break;
    case 4:
        m_playback->Stop();
        break;
    case 5:
        if (Save())
            accept();
        break;
    case 6:
        reject();
        break;
    case 7:
        PicWave->ZoomIn();
        break;
    case 8:
        PicWave->ZoomOut();
        break;
    case 9:
        PicWave->ZoomToFull();
        break;
    case 10:
        PicWave->ZoomToSelection();
        break;
    default:
        break;
    }
}

void frmTrim::Play() {
    bool shown = false;
    qint64 start = 0;
    qint64 end = 0;
    PicWave->GetSelection(&shown, &start, &end);
    const QString error = shown ? m_playback->PlayRange(TrimTempWav, start, end)
                                : m_playback->PlayRange(TrimTempWav, TrimStartMs, TrimDurationMs);
    if (!error.isEmpty())
        ShowMessage(error, MsgCritical);
}

void frmTrim::PauseClick() {
    if (Cmd_Panels(3)->property("Tag").toString() == QLatin1String("Pause"))
        m_playback->Pause();
    else
        m_playback->Resume();
}

bool frmTrim::Save() {
    const qint64 length = ActiveSoundEditor1->SoundLength();
    if (length <= 0 || !m_record.isValid())
        return false;
    const int row = m_record.row();
    WriteTrimCells(*m_services.list, row, TrimCellsToSave(TrimStartMs, TrimDurationMs, int(length)));
    Q_EMIT trimSaved(row);
    return true;
}

void frmTrim::done(int result) {
    cleanUp();
    QDialog::done(result);
    Q_EMIT closed();
    deleteLater();
}

void frmTrim::cleanUp() {
    if (m_cleanedUp)
        return;
    m_cleanedUp = true;
    Timer_LoadFile->stop();
    TimerReload->stop();
    TimerDisplayWaveform->stop();
    m_playback->Stop();
    // A decoding still under way stops without a word, and leaves no file behind.
    if ((m_phase == Phase::Decoding || m_phase == Phase::StoppingDecode) && m_converter)
        m_converter->engine()->StopAll(false);
    m_phase = Phase::Empty;
    m_wait->hide();
    ActiveSoundEditor1->CloseSound();
    deleteTempWav();
}

void frmTrim::deleteTempWav() {
    if (!TrimTempWav.isEmpty() && QFile::exists(TrimTempWav))
        QFile::remove(TrimTempWav);
}

} // namespace tv

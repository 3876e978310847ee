// The loudness choice under the output panel: the sound as it is, each file brought to a target,
// the whole batch with one gain (an album keeps its levels), or ReplayGain tags only. The choice
// is remembered in the settings.
#include "Settings.h"
#include "frmMain.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>

#include <cmath>

namespace tv {

namespace {

// The order of Combo_Loudness's entries.
const LoudnessMode kModes[] = {LoudnessMode::Off, LoudnessMode::Track, LoudnessMode::Album,
                               LoudnessMode::Tags};

QString TargetText(double target) {
    return QStringLiteral("%1 LUFS").arg(target, 0, 'f', 0);
}

} // namespace

void frmMain::setupLoudness() {
    auto *row = new QHBoxLayout();
    row->setSpacing(6);
    auto *label = new QLabel(tr("Loudness:"), this);
    Combo_Loudness = new QComboBox(this);
    Combo_Loudness->setObjectName(QStringLiteral("Combo_Loudness"));
    Combo_Loudness->addItems({tr("Off"), tr("Normalize to"), tr("Album"), tr("ReplayGain tags only")});
    Combo_Loudness->setToolTip(
        tr("Normalize: every file plays at the same loudness. Album: one gain for all files, so their "
           "levels stay as they are to each other. ReplayGain tags: the sound is left untouched and "
           "players are told the gain. True peaks stay under -1 dBTP."));
    label->setBuddy(Combo_Loudness);
    Combo_LoudnessTarget = new QComboBox(this);
    Combo_LoudnessTarget->setObjectName(QStringLiteral("Combo_LoudnessTarget"));
    for (double target : kLoudnessTargets)
        Combo_LoudnessTarget->addItem(TargetText(target), target);
    Combo_LoudnessTarget->setToolTip(tr("-16 LUFS suits phones and streaming, -23 LUFS broadcast, "
                                        "-14 LUFS loud playlists"));
    row->addWidget(label);
    row->addWidget(Combo_Loudness);
    row->addWidget(Combo_LoudnessTarget);
    row->addStretch(1);
    m_outputPanelArea->addLayout(row);

    // The remembered choice; an unknown target falls back to the default.
    const LoudnessMode mode = LoudnessModeFromName(ReadSetting(QStringLiteral("LoudnessMode")));
    for (int i = 0; i < int(std::size(kModes)); ++i) {
        if (kModes[i] == mode)
            Combo_Loudness->setCurrentIndex(i);
    }
    bool ok = false;
    const double target = ReadSetting(QStringLiteral("LoudnessTarget")).toDouble(&ok);
    const int targetIndex = ok ? Combo_LoudnessTarget->findData(target) : -1;
    Combo_LoudnessTarget->setCurrentIndex(std::max(0, targetIndex));

    const auto update = [this]() {
        const LoudnessSettings choice = loudnessChoice();
        // A target means something only where the sound is changed.
        Combo_LoudnessTarget->setEnabled(choice.mode == LoudnessMode::Track ||
                                         choice.mode == LoudnessMode::Album);
        WriteSetting(QStringLiteral("LoudnessMode"), LoudnessModeName(choice.mode));
        WriteSetting(QStringLiteral("LoudnessTarget"), QString::number(choice.targetLufs));
    };
    Combo_LoudnessTarget->setEnabled(mode == LoudnessMode::Track || mode == LoudnessMode::Album);
    connect(Combo_Loudness, &QComboBox::currentIndexChanged, this, update);
    connect(Combo_LoudnessTarget, &QComboBox::currentIndexChanged, this, update);
}

LoudnessSettings frmMain::loudnessChoice() const {
    LoudnessSettings choice;
    const int index = Combo_Loudness ? Combo_Loudness->currentIndex() : 0;
    choice.mode = index >= 0 && index < int(std::size(kModes)) ? kModes[index] : LoudnessMode::Off;
    if (Combo_LoudnessTarget && Combo_LoudnessTarget->currentIndex() >= 0)
        choice.targetLufs = Combo_LoudnessTarget->currentData().toDouble();
    return choice;
}

} // namespace tv

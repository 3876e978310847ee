#pragma once
// What tunevane-cli tells about a row's loudness: JSON fields and a line of text.

#include "Loudness.h"

#include <QJsonObject>
#include <QString>

namespace tv {

// Adds "loudness" (LUFS, null for silence), "truePeak" (dBTP), "gain" (dB applied to the sound),
// and in the album and tag modes "albumLoudness", in the tag mode "replayGainTrack" and
// "replayGainAlbum" (dB, null when absent). Nothing when loudness was off or not measured.
void AddLoudnessJson(LoudnessMode mode, const LoudnessOutcome &outcome, QJsonObject *object);

// "loudness -30.0 LUFS, true peak -26.9 dBTP, gain +14.0 dB"; "" when nothing was measured.
QString LoudnessLine(LoudnessMode mode, const LoudnessOutcome &outcome);

} // namespace tv

#pragma once
// ReplayGain 2.0 values as tags: REPLAYGAIN_TRACK_GAIN/PEAK and REPLAYGAIN_ALBUM_GAIN/PEAK in
// each tag family's own form (ID3v2 TXXX frames, Vorbis comments, MP4 freeform atoms, APE items,
// WMA attributes). Gains refer to -18 LUFS; peaks are linear true peaks.

#include "Loudness.h"

#include <QString>

namespace tv {

class TagManager;
struct TagFamilies;

// "-6.48 dB", "+3.20 dB"
QString ReplayGainText(double gainDb);
// "0.988553"
QString ReplayGainPeakText(double peak);

// Writes the values into every family the file's type writes that can hold them; a value the
// outcome lacks (the track gain of silence) is removed. Answers whether any family took them.
// The ID3v2 block is stored by the next CommitId3v2, the others by Save.
bool WriteReplayGain(TagManager &manager, const TagFamilies &families, const LoudnessOutcome &loudness);

} // namespace tv

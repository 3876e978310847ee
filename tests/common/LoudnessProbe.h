#pragma once
// Loudness as an independent meter sees it: ffmpeg's ebur128 filter (integrated loudness and
// true peak), and test tones made at a chosen loudness.

#include <QString>
#include <QStringList>

namespace tv::test {

struct MeteredLoudness {
    bool ok = false;
    double integrated = 0.0; // LUFS (the filter answers -70.0 for silence)
    double truePeak = 0.0;   // dBTP (-inf for silence)
};

// Meters one file, or several played one after the other (as one recording).
MeteredLoudness MeterLoudness(const QStringList &paths);
inline MeteredLoudness MeterLoudness(const QString &path) {
    return MeterLoudness(QStringList{path});
}

// A stereo 997 Hz tone of about the given loudness (LUFS), as 16-bit WAV; with clickPeak > 0 a
// short click of that linear height every half second (a high true peak at low loudness).
bool GenerateToneAtLoudness(const QString &path, double lufs, double seconds, double clickPeak = 0.0);

} // namespace tv::test

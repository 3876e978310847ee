#pragma once
// Even loudness across a batch: the user's choice (off, each file to a target, the whole batch
// with one gain, or ReplayGain tags that leave the sound untouched), the measured loudness of an
// input (EBU R128 integrated loudness and true peak) and the gain that follows from it.

#include <QString>

#include <memory>
#include <optional>
#include <vector>

extern "C" {
#include <libavutil/samplefmt.h>
}

namespace tv {

struct LoudnessMeterState;

enum class LoudnessMode {
    Off,   // the sound is converted as it is
    Track, // every output is brought to the target on its own
    Album, // one gain for all rows, from their loudness together: their relative levels stay
    Tags,  // the sound stays as it is; ReplayGain tags tell players how to play it
};

struct LoudnessSettings {
    LoudnessMode mode = LoudnessMode::Off;
    double targetLufs = -16.0;

    bool operator==(const LoudnessSettings &) const = default;
};

inline constexpr double kDefaultLoudnessTarget = -16.0;
// The targets offered to the user; -16 is what streaming players use on phones.
inline constexpr double kLoudnessTargets[] = {-16.0, -23.0, -14.0};
// Neither the gain nor a player following the tags may push the true peak past this.
inline constexpr double kTruePeakCeiling = -1.0;
// Kept below the ceiling when the ceiling sets the gain: true-peak meters (and lossy encoders)
// differ by a few tenths of a dB on sharp transients, and the output must stay under -1 dBTP
// whichever meter checks it.
inline constexpr double kTruePeakMargin = 0.5;
// The loudness ReplayGain 2.0 gains refer to.
inline constexpr double kReplayGainReference = -18.0;
// The loudness Opus output gains (R128_*_GAIN) refer to.
inline constexpr double kOpusGainReference = -23.0;

// Parses the command line's form: "off", "tags", "track", "album", "track=-14", "album=-23".
// Answers "" or why the text is not a loudness choice.
QString ParseLoudnessOption(const QString &text, LoudnessSettings *settings);

// The settings store's form of a mode ("off", "track", "album", "tags") and back (Off when unknown).
QString LoudnessModeName(LoudnessMode mode);
LoudnessMode LoudnessModeFromName(const QString &name);

// The loudness of one input as the encoder would receive it.
struct LoudnessMeasurement {
    bool measured = false;   // false: the input could not be read (message says why)
    double integrated = 0.0; // LUFS; -infinity for silence
    double truePeakDb = 0.0; // dBTP; -infinity for digital silence
    QString message;
    // The meter's state, kept for measuring several inputs together (album loudness).
    std::shared_ptr<LoudnessMeterState> state;

    bool silent() const;
};

// What a job did about loudness, for the row's report.
struct LoudnessOutcome {
    bool measured = false;
    double integrated = 0.0;      // LUFS (-infinity: silence)
    double truePeakDb = 0.0;      // dBTP of the input
    double gainDb = 0.0;          // applied to the sound (0 in the tag mode)
    bool peakLimited = false;     // the gain was lowered to keep the true peak under the ceiling
    double albumIntegrated = 0.0; // LUFS of the whole batch (album and tag modes)
    // ReplayGain values written as tags (tag mode only).
    bool hasReplayGain = false;
    std::optional<double> trackGainDb; // absent for silence
    double trackPeak = 0.0;            // linear
    std::optional<double> albumGainDb;
    double albumPeak = 0.0;
};

// The gain that brings a loudness to the target without the true peak passing the ceiling;
// 0 for silence. *limited tells whether the ceiling lowered it.
double NormalizationGain(double integrated, double truePeakDb, double target, bool *limited = nullptr);

// The integrated loudness of several measurements together (the gating runs over all their
// blocks, as if they were one recording) and their highest true peak.
struct AlbumLoudness {
    double integrated = 0.0;
    double truePeakDb = 0.0;
};
AlbumLoudness CombinedLoudness(const std::vector<LoudnessMeasurement> &measurements);

// The ReplayGain 2.0 values of a track (and its album) from their measurements.
void FillReplayGain(const LoudnessMeasurement &track, const AlbumLoudness &album, LoudnessOutcome *outcome);

// Multiplies samples in place by the gain; integer formats are rounded and kept within range.
// planes: one per channel for planar formats, otherwise one.
void ApplyGain(uint8_t *const *planes, AVSampleFormat format, int channels, int samples, double gainDb);

} // namespace tv

#include "Loudness.h"

#include "LoudnessMeterState.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tv {

namespace {

template <typename T> void ScaleInteger(T *data, qsizetype count, double factor, double low, double high) {
    for (qsizetype i = 0; i < count; ++i)
        data[i] = static_cast<T>(std::clamp(std::nearbyint(data[i] * factor), low, high));
}

template <typename T> void ScaleFloat(T *data, qsizetype count, double factor) {
    const T f = static_cast<T>(factor);
    for (qsizetype i = 0; i < count; ++i)
        data[i] *= f;
}

} // namespace

QString ParseLoudnessOption(const QString &text, LoudnessSettings *settings) {
    static const QRegularExpression shape(QStringLiteral("^(off|tags|track|album)(?:=(.*))?$"));
    const auto m = shape.match(text.trimmed().toLower());
    if (!m.hasMatch())
        return QStringLiteral("--loudness takes off, track[=LUFS], album[=LUFS] or tags.");
    LoudnessSettings parsed;
    parsed.mode = LoudnessModeFromName(m.captured(1));
    if (m.hasCaptured(2)) {
        if (parsed.mode == LoudnessMode::Off || parsed.mode == LoudnessMode::Tags)
            return QStringLiteral("--loudness %1 takes no target.").arg(m.captured(1));
        bool ok = false;
        const double target = m.captured(2).trimmed().toDouble(&ok);
        // Beyond these a gain would only bring noise up or crush the sound against the ceiling.
        if (!ok || target < -40.0 || target > -5.0)
            return QStringLiteral("The loudness target is a number of LUFS from -40 to -5, such as -16.");
        parsed.targetLufs = target;
    }
    *settings = parsed;
    return QString();
}

QString LoudnessModeName(LoudnessMode mode) {
    switch (mode) {
    case LoudnessMode::Track:
        return QStringLiteral("track");
    case LoudnessMode::Album:
        return QStringLiteral("album");
    case LoudnessMode::Tags:
        return QStringLiteral("tags");
    case LoudnessMode::Off:
        break;
    }
    return QStringLiteral("off");
}

LoudnessMode LoudnessModeFromName(const QString &name) {
    for (LoudnessMode mode : {LoudnessMode::Track, LoudnessMode::Album, LoudnessMode::Tags}) {
        if (name == LoudnessModeName(mode))
            return mode;
    }
    return LoudnessMode::Off;
}

bool LoudnessMeasurement::silent() const {
    return !std::isfinite(integrated);
}

double NormalizationGain(double integrated, double truePeakDb, double target, bool *limited) {
    if (limited)
        *limited = false;
    // Silence (below the absolute gate) has no loudness to correct: it is left as it is.
    if (!std::isfinite(integrated))
        return 0.0;
    double gain = target - integrated;
    if (std::isfinite(truePeakDb) && truePeakDb + gain > kTruePeakCeiling - kTruePeakMargin) {
        gain = kTruePeakCeiling - kTruePeakMargin - truePeakDb;
        if (limited)
            *limited = true;
    }
    return gain;
}

AlbumLoudness CombinedLoudness(const std::vector<LoudnessMeasurement> &measurements) {
    AlbumLoudness album;
    album.integrated = -std::numeric_limits<double>::infinity();
    album.truePeakDb = -std::numeric_limits<double>::infinity();
    std::vector<ebur128_state *> states;
    for (const LoudnessMeasurement &m : measurements) {
        if (!m.measured || !m.state)
            continue;
        states.push_back(m.state->meter);
        album.truePeakDb = std::max(album.truePeakDb, m.truePeakDb);
    }
    double integrated = 0.0;
    if (!states.empty() &&
        ebur128_loudness_global_multiple(states.data(), states.size(), &integrated) == EBUR128_SUCCESS)
        album.integrated = integrated;
    return album;
}

void FillReplayGain(const LoudnessMeasurement &track, const AlbumLoudness &album, LoudnessOutcome *outcome) {
    outcome->hasReplayGain = true;
    const auto linear = [](double db) { return std::isfinite(db) ? std::pow(10.0, db / 20.0) : 0.0; };
    outcome->trackPeak = linear(track.truePeakDb);
    outcome->albumPeak = linear(album.truePeakDb);
    outcome->trackGainDb.reset();
    outcome->albumGainDb.reset();
    if (!track.silent())
        outcome->trackGainDb = kReplayGainReference - track.integrated;
    if (std::isfinite(album.integrated))
        outcome->albumGainDb = kReplayGainReference - album.integrated;
}

void ApplyGain(uint8_t *const *planes, AVSampleFormat format, int channels, int samples, double gainDb) {
    if (gainDb == 0.0 || samples <= 0 || channels <= 0)
        return;
    const double factor = std::pow(10.0, gainDb / 20.0);
    const bool planar = av_sample_fmt_is_planar(format);
    const int planeCount = planar ? channels : 1;
    const qsizetype perPlane = static_cast<qsizetype>(samples) * (planar ? 1 : channels);
    for (int p = 0; p < planeCount; ++p) {
        uint8_t *data = planes[p];
        switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_U8:
            // Unsigned 8-bit samples sit around 128.
            for (qsizetype i = 0; i < perPlane; ++i)
                data[i] = static_cast<uint8_t>(
                    std::clamp(std::nearbyint((data[i] - 128) * factor), -128.0, 127.0) + 128);
            break;
        case AV_SAMPLE_FMT_S16:
            ScaleInteger(reinterpret_cast<int16_t *>(data), perPlane, factor, -32768.0, 32767.0);
            break;
        case AV_SAMPLE_FMT_S32:
            ScaleInteger(reinterpret_cast<int32_t *>(data), perPlane, factor, -2147483648.0, 2147483647.0);
            break;
        case AV_SAMPLE_FMT_S64:
            ScaleInteger(reinterpret_cast<int64_t *>(data), perPlane, factor, -9.2233720368547758e18,
                         9.2233720368547748e18);
            break;
        case AV_SAMPLE_FMT_FLT:
            ScaleFloat(reinterpret_cast<float *>(data), perPlane, factor);
            break;
        case AV_SAMPLE_FMT_DBL:
            ScaleFloat(reinterpret_cast<double *>(data), perPlane, factor);
            break;
        default:
            return;
        }
    }
}

} // namespace tv

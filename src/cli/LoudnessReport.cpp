#include "LoudnessReport.h"

#include <QJsonValue>

#include <cmath>
#include <optional>

namespace tv {

namespace {

// Two decimals are what any meter can tell apart; silence has no number.
QJsonValue Decibels(double value) {
    return std::isfinite(value) ? QJsonValue(std::round(value * 100.0) / 100.0) : QJsonValue();
}

QJsonValue Decibels(const std::optional<double> &value) {
    return value ? Decibels(*value) : QJsonValue();
}

QString DecibelText(double value, const char *unit, bool sign = false) {
    if (!std::isfinite(value))
        return QStringLiteral("-inf %1").arg(QLatin1String(unit));
    return QStringLiteral("%1%2 %3")
        .arg(sign && value >= 0 ? QStringLiteral("+") : QString())
        .arg(value, 0, 'f', 1)
        .arg(QLatin1String(unit));
}

} // namespace

void AddLoudnessJson(LoudnessMode mode, const LoudnessOutcome &outcome, QJsonObject *object) {
    if (mode == LoudnessMode::Off || !outcome.measured)
        return;
    object->insert(QStringLiteral("loudness"), Decibels(outcome.integrated));
    object->insert(QStringLiteral("truePeak"), Decibels(outcome.truePeakDb));
    object->insert(QStringLiteral("gain"), Decibels(outcome.gainDb));
    if (mode == LoudnessMode::Album || mode == LoudnessMode::Tags)
        object->insert(QStringLiteral("albumLoudness"), Decibels(outcome.albumIntegrated));
    if (mode == LoudnessMode::Tags) {
        object->insert(QStringLiteral("replayGainTrack"), Decibels(outcome.trackGainDb));
        object->insert(QStringLiteral("replayGainAlbum"), Decibels(outcome.albumGainDb));
    }
}

QString LoudnessLine(LoudnessMode mode, const LoudnessOutcome &outcome) {
    if (mode == LoudnessMode::Off || !outcome.measured)
        return QString();
    QString line = QStringLiteral("loudness %1, true peak %2")
                       .arg(DecibelText(outcome.integrated, "LUFS"), DecibelText(outcome.truePeakDb, "dBTP"));
    if (mode == LoudnessMode::Tags) {
        line += QStringLiteral(", ReplayGain track %1, album %2")
                    .arg(outcome.trackGainDb ? DecibelText(*outcome.trackGainDb, "dB", true)
                                             : QStringLiteral("none"),
                         outcome.albumGainDb ? DecibelText(*outcome.albumGainDb, "dB", true)
                                             : QStringLiteral("none"));
    } else {
        line += QStringLiteral(", gain %1").arg(DecibelText(outcome.gainDb, "dB", true));
        if (outcome.peakLimited)
            line += QStringLiteral(" (kept under the -1 dBTP ceiling)");
    }
    return line;
}

} // namespace tv

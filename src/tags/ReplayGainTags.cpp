#include "ReplayGainTags.h"

#include "TagManager.h"
#include "TagMapping.h"

namespace tv {

namespace {

constexpr int kFamilies[] = {TagFamilyId3v2, TagFamilyOggVorbis, TagFamilyFlac,
                             TagFamilyMp4,   TagFamilyApe,       TagFamilyWma};

} // namespace

QString ReplayGainText(double gainDb) {
    return QStringLiteral("%1%2 dB")
        .arg(gainDb >= 0 ? QStringLiteral("+") : QString())
        .arg(gainDb, 0, 'f', 2);
}

QString ReplayGainPeakText(double peak) {
    return QString::number(peak, 'f', 6);
}

bool WriteReplayGain(TagManager &manager, const TagFamilies &families, const LoudnessOutcome &loudness) {
    if (!loudness.hasReplayGain)
        return false;
    const QString trackGain = loudness.trackGainDb ? ReplayGainText(*loudness.trackGainDb) : QString();
    const QString trackPeak = loudness.trackGainDb ? ReplayGainPeakText(loudness.trackPeak) : QString();
    const QString albumGain = loudness.albumGainDb ? ReplayGainText(*loudness.albumGainDb) : QString();
    const QString albumPeak = loudness.albumGainDb ? ReplayGainPeakText(loudness.albumPeak) : QString();
    bool any = false;
    for (int family : kFamilies) {
        if (!families.Writes(family))
            continue;
        bool ok = manager.SetUserText(family, QStringLiteral("REPLAYGAIN_TRACK_GAIN"), trackGain);
        ok = manager.SetUserText(family, QStringLiteral("REPLAYGAIN_TRACK_PEAK"), trackPeak) && ok;
        ok = manager.SetUserText(family, QStringLiteral("REPLAYGAIN_ALBUM_GAIN"), albumGain) && ok;
        ok = manager.SetUserText(family, QStringLiteral("REPLAYGAIN_ALBUM_PEAK"), albumPeak) && ok;
        any = any || ok;
    }
    return any;
}

} // namespace tv

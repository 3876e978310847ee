#include "DiscId.h"

#include "DiscToc.h"

#include <discid/discid.h>

namespace tv {

QString MusicBrainzDiscId(const DiscToc &toc) {
    const int last = toc.lastAudioTrack();
    const DiscTrack *lastAudio = toc.track(last);
    if (!lastAudio || toc.firstTrack < 1 || last > 99)
        return QString();
    // Addresses count the two seconds of lead-in that LSNs leave out.
    int offsets[100] = {};
    offsets[0] = lastAudio->startLsn + lastAudio->sectors + kLeadInSectors;
    for (const DiscTrack &track : toc.tracks) {
        if (track.number <= last)
            offsets[track.number] = track.startLsn + kLeadInSectors;
    }
    DiscId *disc = discid_new();
    QString id;
    if (discid_put(disc, toc.firstTrack, last, offsets))
        id = QString::fromLatin1(discid_get_id(disc));
    discid_free(disc);
    return id;
}

} // namespace tv

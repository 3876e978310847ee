#pragma once
// The MusicBrainz disc id of a table of contents, computed by libdiscid from our own TOC (so
// images get the id of the pressed disc they copy).

#include <QString>

namespace tv {

struct DiscToc;

// "" when the disc has no audio track. Tracks from the disc's first one to its last audio
// track count; a data track after the audio (an Enhanced CD) does not.
QString MusicBrainzDiscId(const DiscToc &toc);

} // namespace tv

#pragma once
// Where media items meet the tag reader and writer: the probe's reading of the tag formats and
// the tag record each converted output receives.

#include "TagRecord.h"

#include <QString>

namespace tv {

class MediaItem;

// The item's tags as a record; its cover is the picture saved from the input's tag (a video's
// thumbnail is a frame of the film, not a cover, and is left out).
TagRecord TagRecordOfItem(const MediaItem &item);

// Installs the tag reader into the probe: for the tag formats, items 26 to 36 and the cover
// come from the file's tags instead of the container.
void InstallTagReader();

} // namespace tv

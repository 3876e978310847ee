#pragma once
// Where media items meet the tag reader and writer: the probe's reading of the tag formats and
// the tag record each converted output receives.

#include "EngineOptions.h"
#include "TagRecord.h"

#include <QString>
#include <QVector>

namespace tv {

class MediaItem;

// The item's tags as a record; its cover is the picture saved from the input's tag, or a ripped
// track's disc cover (a video's thumbnail is a frame of the film, not a cover, and is left out).
TagRecord TagRecordOfItem(const MediaItem &item);

// The container tags of a record, under the names the muxers know ("title", "date" …).
QList<QPair<QString, QString>> ContainerTagsOf(const TagRecord &record);

// The tagging of a batch whose job i converts the row with records[i]: the tag writer on every
// finished output, and the same values as container tags for formats it cannot write.
OutputTagging TaggingForRows(const QVector<TagRecord> &records);

// Installs the tag reader into the probe: for the tag formats, items 26 to 36 and the cover
// come from the file's tags instead of the container.
void InstallTagReader();

} // namespace tv

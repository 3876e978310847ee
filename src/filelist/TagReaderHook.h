#pragma once
// Where the probe hands the tag formats (MP3, OGG, WMA, FLAC, APE, WAV, M4A) to the tag reader.
// The tag editing subsystem installs its reader here at start-up; until one is installed the
// probe takes every file's tags from the container.

#include <QString>
#include <functional>
#include <optional>

namespace tv {

class MediaItem;

// How a tag reader's loading of one file ended.
enum class TagReading {
    NotStarted, // the reader could not start loading: the file's tags are skipped
    Failed,     // loading ended in an error: items 26 to 36 stay as the probe left them
    Loaded,     // items 26 (bits per sample), 27 to 36 and a saved cover in 43 were written
};

// A tag reader fills items 26 to 36 of the item (and 43 with a "tagimg_" picture it saved).
// It is called on probing worker threads, several at once, so it must be safe for that.
using TagReaderFunction = std::function<TagReading(const QString &path, MediaItem &item)>;

// Installs (or, with an empty function, removes) the tag reader.
void SetTagReader(TagReaderFunction reader);

// True for the extensions whose tags come from the tag reader; takes the upper-case extension.
bool IsTagReaderFormat(const QString &upperExtension);

// Reads the tags of a tag-format file with the tag reader; std::nullopt when none is installed.
std::optional<TagReading> ReadTagsWithTagReader(const QString &path, MediaItem &item);

} // namespace tv

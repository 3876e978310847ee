#include "TagReaderHook.h"

#include <QStringList>
#include <mutex>

namespace tv {

namespace {
std::mutex gReaderMutex;
TagReaderFunction gReader; // set from the UI thread, copied by probing workers under the mutex
} // namespace

void SetTagReader(TagReaderFunction reader) {
    std::lock_guard<std::mutex> lock(gReaderMutex);
    gReader = std::move(reader);
}

bool IsTagReaderFormat(const QString &upperExtension) {
    static const QStringList kFormats{"MP3", "OGG", "WMA", "FLAC", "APE", "WAV", "M4A"};
    return kFormats.contains(upperExtension);
}

std::optional<TagReading> ReadTagsWithTagReader(const QString &path, MediaItem &item) {
    TagReaderFunction reader;
    {
        std::lock_guard<std::mutex> lock(gReaderMutex);
        reader = gReader;
    }
    if (!reader)
        return std::nullopt;
    return reader(path, item);
}

} // namespace tv

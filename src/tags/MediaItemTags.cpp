#include "MediaItemTags.h"

#include "Config.h"
#include "MediaItem.h"
#include "TagFiles.h"
#include "TagReaderHook.h"

#include <QFileInfo>

namespace tv {

TagRecord TagRecordOfItem(const MediaItem &item) {
    TagRecord record;
    record.year = item[Item::TagYear];
    record.track = item[Item::TagTrack];
    record.artist = item[Item::TagArtist];
    record.title = item[Item::TagTitle];
    record.album = item[Item::TagAlbum];
    record.genre = item[Item::TagGenre];
    record.copyright = item[Item::TagCopyright];
    record.composer = item[Item::TagComposer];
    record.comment = item[Item::TagComment];
    const QString picture = item[Item::Thumbnail];
    if (!picture.isEmpty() && !QFileInfo(picture).fileName().startsWith(QLatin1String("thumbnail_")))
        record.picturePath = picture;
    return record;
}

void InstallTagReader() {
    SetTagReader([](const QString &path, MediaItem &item) {
        const ProbeTags tags = ReadTagsForProbe(path, Paths().tempFolder);
        if (!tags.loaded)
            return TagReading::NotStarted;
        item[Item::AudioBitsDepth] = QString::number(tags.bitsPerSample);
        if (!tags.coverPath.isEmpty())
            item[Item::Thumbnail] = tags.coverPath;
        item[Item::TagLanguage] = tags.language;
        item[Item::TagTrack] = tags.record.track;
        item[Item::TagTitle] = tags.record.title;
        item[Item::TagArtist] = tags.record.artist;
        item[Item::TagAlbum] = tags.record.album;
        item[Item::TagYear] = tags.record.year;
        item[Item::TagGenre] = tags.record.genre;
        item[Item::TagCopyright] = tags.record.copyright;
        item[Item::TagComposer] = tags.record.composer;
        item[Item::TagComment] = tags.record.comment;
        return TagReading::Loaded;
    });
}

} // namespace tv

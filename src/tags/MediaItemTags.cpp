#include "MediaItemTags.h"

#include "Config.h"
#include "MediaItem.h"
#include "TagFiles.h"
#include "TagReaderHook.h"

#include <QFileInfo>

#include <algorithm>

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
    // The item shares this cell between the comment's language (after the tag reader ran) and
    // the low half of the audio length: only three letters are a language.
    const QString language = item[Item::TagLanguage].trimmed();
    if (language.size() == 3 &&
        std::all_of(language.begin(), language.end(), [](QChar c) { return c.isLetter(); }))
        record.commentLanguage = language;
    // A video's thumbnail is a frame of the film, not a cover; a ripped track's is the disc's cover.
    const QString picture = item[Item::Thumbnail];
    const bool frameOfAFilm = QFileInfo(picture).fileName().startsWith(QLatin1String("thumbnail_")) &&
                              item[Item::FileType] != QLatin1String("CD");
    if (!picture.isEmpty() && !frameOfAFilm)
        record.picturePath = picture;
    return record;
}

QList<QPair<QString, QString>> ContainerTagsOf(const TagRecord &record) {
    const QPair<const char *, const QString *> fields[] = {
        {"title", &record.title},         {"artist", &record.artist},     {"album", &record.album},
        {"date", &record.year},           {"track", &record.track},       {"genre", &record.genre},
        {"copyright", &record.copyright}, {"composer", &record.composer}, {"comment", &record.comment}};
    QList<QPair<QString, QString>> tags;
    for (const auto &[key, value] : fields) {
        if (!value->trimmed().isEmpty())
            tags.append({QString::fromLatin1(key), *value});
    }
    return tags;
}

OutputTagging TaggingForRows(const QVector<TagRecord> &records) {
    OutputTagging tagging;
    tagging.containerTags = [records](int job) {
        return job >= 0 && job < records.size() ? ContainerTagsOf(records.at(job))
                                                : QList<QPair<QString, QString>>();
    };
    tagging.finish = [records](int job, const QString &workPath) {
        if (job >= 0 && job < records.size())
            WriteTagsToOutput(workPath, records.at(job));
    };
    tagging.finishWithLoudness = [records](int job, const QString &workPath,
                                           const LoudnessOutcome &loudness) {
        if (job >= 0 && job < records.size())
            WriteTagsToOutput(workPath, records.at(job), &loudness);
    };
    return tagging;
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

#include "MediaProber.h"

#include "MediaCaptions.h"
#include "MediaDecoder.h"
#include "MediaDuration.h"
#include "PresetIdentifier.h"
#include "TagReaderHook.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace tv {

namespace {

bool Canceled(const ProbeOptions &options) {
    return options.cancel && options.cancel->load();
}

// Container tags are written only when the decoder has a value ("0" stands for none).
void WriteTag(MediaItem &item, int index, const QString &value) {
    if (value.trimmed() != QLatin1String("0"))
        item[index] = value;
}

void ReadContainerTags(MediaDecoder &decoder, MediaItem &item) {
    WriteTag(item, Item::TagLanguage, decoder.AudioLanguage());
    WriteTag(item, Item::TagTrack, decoder.Tag(QStringLiteral("track")));
    WriteTag(item, Item::TagTitle, decoder.Tag(QStringLiteral("title")));
    WriteTag(item, Item::TagArtist, decoder.Tag(QStringLiteral("artist")));
    WriteTag(item, Item::TagAlbum, decoder.Tag(QStringLiteral("album")));
    WriteTag(item, Item::TagYear, decoder.Tag(QStringLiteral("year")));
    WriteTag(item, Item::TagGenre, decoder.Tag(QStringLiteral("genre")));
    WriteTag(item, Item::TagCopyright, decoder.Tag(QStringLiteral("copyright")));
    item[Item::TagComposer].clear();
    WriteTag(item, Item::TagComment, decoder.Tag(QStringLiteral("comment")));
}

QString SaveThumbnail(MediaDecoder &decoder, qint64 duration, const ProbeOptions &options) {
    if (options.tempFolder.isEmpty())
        return QString();
    const qint64 position = std::llround(DurationToSeconds(duration)) >= 7 ? 7000000 : 100000;
    decoder.SeekMedia(position);
    if (Canceled(options) || !decoder.DecodeFrame())
        return QString();
    const QImage picture = decoder.DrawFrame(options.thumbnailSize);
    if (picture.isNull())
        return QString();
    const QString path =
        options.tempFolder + QStringLiteral("thumbnail_") + NewPresetID() + QStringLiteral(".bmp");
    return picture.save(path, "BMP") ? path : QString();
}

} // namespace

ProbeOutcome ProbeFile(const QString &path, const ProbeOptions &options) {
    ProbeOutcome out;
    out.path = path;
    const QFileInfo info(path);
    out.fileName = info.fileName();
    if (Canceled(options)) {
        out.kind = ProbeOutcome::Canceled;
        return out;
    }
    if (!info.exists()) {
        out.kind = ProbeOutcome::NotFound;
        // A name with bytes that are not text cannot be reached by any name the program can hold.
        out.failureText =
            path.contains(QChar::ReplacementCharacter)
                ? QStringLiteral("The file's name is not valid text, so it cannot be opened. Rename "
                                 "the file and add it again.")
                : QStringLiteral("File not found!");
        return out;
    }
    // Only regular files are opened: reading a pipe or a device could wait forever.
    if (!info.isFile()) {
        out.kind = ProbeOutcome::OpenFailed;
        out.failureText = info.isDir() ? QStringLiteral("This is a folder, not a media file.")
                                       : QStringLiteral("This is not a regular file (a pipe or a device).");
        return out;
    }
    if (info.size() == 0) {
        out.kind = ProbeOutcome::OpenFailed;
        out.failureText = QStringLiteral("The file is empty (0 bytes).");
        return out;
    }

    // 1. Open; a failure adds nothing and names the decoder's reason.
    MediaDecoder decoder;
    decoder.setCancelFlag(options.cancel);
    decoder.setTimeLimit(options.timeLimitMs);
    errno = 0;
    if (!decoder.OpenMedia(path)) {
        const int systemError = errno;
        if (Canceled(options)) {
            out.kind = ProbeOutcome::Canceled;
            return out;
        }
        out.kind = ProbeOutcome::OpenFailed;
        out.failureText = decoder.MediaErrorText().trimmed();
        if (out.failureText.isEmpty())
            out.failureText = QString::fromLocal8Bit(std::strerror(systemError));
        return out;
    }

    // 2. and 3. The duration, and the skip of files under one second.
    qint64 duration = 0;
    const qint32 low = decoder.DurationLow();
    const qint32 high = decoder.DurationHigh();
    const bool known = !IsUnknownDuration(low, high);
    if (known)
        duration = JoinDuration(low, high);
    if (duration < 0)
        duration = 0;
    const QString durationText = DurationToText(duration);
    if (options.importMode == kImportModeSkipShort && durationText.left(8) == QLatin1String("00:00:00")) {
        out.kind = ProbeOutcome::Skipped;
        // A picture or a text opens too, but has no sound to be short of.
        out.failureText = decoder.AudioStreamCount() > 0 ? QStringLiteral("shorter than one second")
                                                         : QStringLiteral("not a media file");
        return out;
    }

    // 4. The row's names and duration.
    MediaItem &item = out.item;
    out.kind = ProbeOutcome::Interrupted;
    const QString extension = info.suffix();
    item[Item::Name] = info.completeBaseName();
    item[Item::Format] = extension.toUpper();
    item[Item::Duration] = durationText.left(8);
    item[Item::FileDurationInMs] = DurationSecondsText(duration);
    item[Item::FileName] = info.fileName();
    QString folder = info.absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    item[Item::FilePath] = folder;
    item[Item::FileDuration] = QString::number(SplitDuration(duration).low);

    // 5. Default streams and counts.
    int video = decoder.DefaultVideoStream();
    int audio = decoder.DefaultAudioStream();
    int subtitle = decoder.DefaultSubtitleStream();
    item[Item::VideoStream] = ItemFlagText(decoder.VideoStream(video));
    item[Item::AudioStream] = ItemFlagText(decoder.AudioStream(audio));
    item[Item::SubtitleStream] =
        subtitle == -1 ? QStringLiteral("0") : ItemFlagText(decoder.SubtitleStream(subtitle));
    item[Item::SubtitleCount] = QString::number(decoder.SubtitleCount());
    item[Item::VideoStreamCount] = QString::number(decoder.VideoStreamCount());
    item[Item::AudioStreamCount] = QString::number(decoder.AudioStreamCount());

    // 6. The video stream.
    item[Item::VideoCodecName] = StripParentheses(decoder.VideoCodecName());
    const int width = decoder.VideoWidth();
    const int height = decoder.VideoHeight();
    item[Item::VideoWidth] = QString::number(width);
    item[Item::VideoHeight] = QString::number(height);
    item[Item::VideoBitRate] = QString::number(decoder.VideoBitRate());
    const int numerator = decoder.VideoFrameRateNumerator();
    if (numerator != 0 && numerator != -1) {
        const int denominator = decoder.VideoFrameRateDenominator();
        if (denominator == 0)
            return out; // the row stays with what was written so far
        item[Item::VideoFrameRateNumerator] = QString::number(numerator / denominator);
    } else {
        item[Item::VideoFrameRateNumerator] = QString::number(numerator);
    }
    item[Item::VideoSampleAspectRatio] =
        AspectRatioText(width, height, decoder.VideoAspectNumerator(), decoder.VideoAspectDenominator(),
                        decoder.VideoAspectValue());
    item[Item::VideoLanguage] = decoder.VideoLanguage();

    // 7. The audio stream.
    item[Item::AudioCodecName] = StripParentheses(decoder.AudioCodecName());
    item[Item::AudioBitRate] = QString::number(decoder.AudioBitRate());
    item[Item::AudioSampleRate] = QString::number(decoder.AudioSampleRate());
    item[Item::AudioChannels] = QString::number(decoder.AudioChannels());
    item[Item::AudioBitsDepth] = QStringLiteral("16");
    item[Item::AudioDurationLow] = QString::number(decoder.AudioDurationLow());

    // 8. Tags: the tag reader for its formats, the container's for every other file.
    std::optional<TagReading> tagReading;
    if (IsTagReaderFormat(item[Item::Format]))
        tagReading = ReadTagsWithTagReader(path, item);
    if (!tagReading)
        ReadContainerTags(decoder, item);

    // 9. Trim range, output name, type.
    item[Item::TrimStart] = QStringLiteral("00:00:00.000");
    item[Item::TrimDuration] = DurationToText(duration);
    item[Item::TrimStartInMs] = QStringLiteral("0");
    item[Item::TrimDurationInMs] = QStringLiteral("0");
    item[Item::ConvertedFileName].clear();
    item[Item::FileType] = FileTypeOf(extension.toLower());
    item[Item::ErrMsg].clear();

    // 10. A picture of the video (or of the cover) unless the tag reader saved a cover.
    if (known && item[Item::Thumbnail].isEmpty())
        item[Item::Thumbnail] = SaveThumbnail(decoder, duration, options);

    // 11. Close.
    decoder.CloseMedia();
    if (Canceled(options)) {
        if (!item[Item::Thumbnail].isEmpty())
            QFile::remove(item[Item::Thumbnail]);
        out.item = MediaItem();
        out.kind = ProbeOutcome::Canceled;
        return out;
    }
    out.kind = ProbeOutcome::Added;
    return out;
}

} // namespace tv

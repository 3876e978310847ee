#include "MediaItem.h"

namespace tv {

namespace {

const char *const kItemCaptions[kMediaItemCount] = {
    " ",
    "Name",
    "Format",
    "Duration",
    "",
    "FileDurationInMs",
    "FileName",
    "FilePath",
    "FileDuration",
    "VideoStream",
    "AudioStream",
    "SubtitleStream",
    "SubtitleCount",
    "VideoStreamCount",
    "VideoCodecName",
    "VideoWidth",
    "VideoHeight",
    "VideoBitRate",
    "VideoFrameRateNumerator",
    "VideoSampleAspectRatio",
    "VideoLanguage",
    "AudioStreamCount",
    "AudioCodecName",
    "AudioBitRate",
    "AudioSampleRate",
    "AudioChannels",
    "AudioBitsDepth",
    "AudioDurationLow",
    "Tag_Track",
    "Tag_Title",
    "Tag_Artist",
    "Tag_Album",
    "Tag_Year",
    "Tag_Genre",
    "Tag_Copyright",
    "Tag_Composer",
    "Tag_Comment",
    "Trim Start",
    "Trim Duration",
    "Trim Start In Ms",
    "Trim Duration In Ms",
    "ConvertedFileName",
    "FileType",
    "Thumbnail",
    "ErrMsg",
    nullptr, // item 45 has no column
};

// The second caption of item 27 has its own column right after the first.
constexpr int kLanguageColumn = 28;

bool InList(const QString &list, const QString &extension) {
    if (extension.isEmpty() || extension.contains(QLatin1Char('|')))
        return false;
    return list.contains(QLatin1Char('|') + extension + QLatin1Char('|'), Qt::CaseInsensitive);
}

} // namespace

const QString kVideoExtensions = QStringLiteral(
    "|3gp|3gpp|3gp2|3g2|3gpp2|avi|ivf|div|divx|mts|m2ts|dv|vob|flv|f4v|flc|fli|m4v|mkv|mpg|mpeg|mpa|dat|mp4|"
    "mxf|dvr-ms|nsv|ogv|mov|qt|rm|rmvb|h264|tivo|ts|tp|trp|vro|wmv|asf|wtv|webm|amv|");
const QString kAudioExtensions = QStringLiteral(
    "|ac3|dts|amr|aif|aiff|aifc|awb|caf|voc|flac|aac|m4a|m4r|m4b|mpa|mp3|mpeg3|mp2|mp1|mka|mlp|ape|mpc|ogg|"
    "qcp|raw|gsm|ra|ram|shn|au|tta|wav|wv|wma|xa|"
    // Beyond the classic list: what the FFmpeg libraries here decode and Linux users meet.
    "opus|oga|spx|weba|dsf|dff|tak|w64|rf64|3ga|");

QString MediaItem::value(const QString &caption) const {
    const int index = ItemIndex(caption);
    return index < 0 ? QString() : m_items[static_cast<std::size_t>(index)];
}

bool MediaItem::setValue(const QString &caption, const QString &text) {
    const int index = ItemIndex(caption);
    if (index < 0)
        return false;
    m_items[static_cast<std::size_t>(index)] = text;
    return true;
}

QString ItemFlagText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

const QStringList &ColumnCaptions() {
    static const QStringList captions = [] {
        QStringList list;
        for (int column = 0; column < kListColumnCount; ++column)
            list << (column == kLanguageColumn ? QStringLiteral("Tag_Language")
                                               : QString::fromLatin1(kItemCaptions[ColumnItem(column)]));
        return list;
    }();
    return captions;
}

int ColumnItem(int column) {
    if (column < 0 || column >= kListColumnCount)
        return -1;
    return column < kLanguageColumn ? column : column - 1;
}

int ItemColumn(int item) {
    if (item < 0 || item >= kMediaItemCount - 1)
        return -1;
    return item < kLanguageColumn ? item : item + 1;
}

int ItemIndex(const QString &caption) {
    const int column = ColumnCaptions().indexOf(caption);
    return ColumnItem(column);
}

int ColumnWidth(int column) {
    static const int kVisible[] = {22, 300, 80, 100, 150};
    if (column >= 0 && column < kFirstHiddenColumn)
        return kVisible[column];
    return 150;
}

bool IsMediaExtension(const QString &extension) {
    return InList(kVideoExtensions, extension) || InList(kAudioExtensions, extension);
}

QString FileTypeOf(const QString &extension) {
    if (InList(kVideoExtensions, extension))
        return QStringLiteral("VIDEO");
    if (InList(kAudioExtensions, extension))
        return QStringLiteral("AUDIO");
    return QStringLiteral("CD");
}

} // namespace tv

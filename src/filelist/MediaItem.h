#pragma once
// The media item: one row of the main file list with 46 numbered items whose column captions
// are also the field names, the list's columns, and the extension lists that type a file.

#include <QString>
#include <QStringList>
#include <array>

namespace tv {

// Item indexes of a media item. Item 27 first holds the audio stream's duration value and is
// then overwritten by the language; item 45 has no column and is never written.
namespace Item {
enum : int {
    Status = 0,
    Name = 1,
    Format = 2,
    Duration = 3,
    Progress = 4,
    FileDurationInMs = 5,
    FileName = 6,
    FilePath = 7,
    FileDuration = 8,
    VideoStream = 9,
    AudioStream = 10,
    SubtitleStream = 11,
    SubtitleCount = 12,
    VideoStreamCount = 13,
    VideoCodecName = 14,
    VideoWidth = 15,
    VideoHeight = 16,
    VideoBitRate = 17,
    VideoFrameRateNumerator = 18,
    VideoSampleAspectRatio = 19,
    VideoLanguage = 20,
    AudioStreamCount = 21,
    AudioCodecName = 22,
    AudioBitRate = 23,
    AudioSampleRate = 24,
    AudioChannels = 25,
    AudioBitsDepth = 26,
    // One cell, two meanings: the prober writes the low half of the audio length there, and the
    // tag reader (for the tag formats) replaces it with the first comment's language. Readers
    // tell them apart by shape: a language is three letters (see TagRecordOfItem).
    AudioDurationLow = 27,
    TagLanguage = AudioDurationLow,
    TagTrack = 28,
    TagTitle = 29,
    TagArtist = 30,
    TagAlbum = 31,
    TagYear = 32,
    TagGenre = 33,
    TagCopyright = 34,
    TagComposer = 35,
    TagComment = 36,
    TrimStart = 37,
    TrimDuration = 38,
    TrimStartInMs = 39,
    TrimDurationInMs = 40,
    ConvertedFileName = 41,
    FileType = 42,
    Thumbnail = 43,
    ErrMsg = 44,
};
} // namespace Item

inline constexpr int kMediaItemCount = 46;
// Columns of the list: items 0 to 44, with item 27 shown by two columns.
inline constexpr int kListColumnCount = 46;
// Columns from this one on are hidden fields.
inline constexpr int kFirstHiddenColumn = 5;

class MediaItem {
public:
    QString &operator[](int index) { return m_items[static_cast<std::size_t>(index)]; }
    const QString &operator[](int index) const { return m_items[static_cast<std::size_t>(index)]; }

    // Items by their field name ("FilePath", "Tag_Language" ...); "" for an unknown name.
    QString value(const QString &caption) const;
    // Answers false for an unknown name.
    bool setValue(const QString &caption, const QString &text);

    // The input path: FilePath followed directly by FileName.
    QString inputPath() const { return m_items[Item::FilePath] + m_items[Item::FileName]; }

private:
    std::array<QString, kMediaItemCount> m_items;
};

// Booleans of items 9 to 11 are written "True" and "False".
QString ItemFlagText(bool value);

// The captions of the 46 columns in list order (" ", "Name", ... "AudioDurationLow",
// "Tag_Language", ... "ErrMsg"), the item each column shows, and the first column of an item.
const QStringList &ColumnCaptions();
int ColumnItem(int column);
int ItemColumn(int item);
// Item index of a field name, -1 when there is none; both captions of item 27 answer 27.
int ItemIndex(const QString &caption);
// Width in pixels of a column as the list creates it.
int ColumnWidth(int column);

// The extension lists, lower case and delimited by "|" at both ends.
extern const QString kVideoExtensions;
extern const QString kAudioExtensions;
bool IsMediaExtension(const QString &extension);
// "VIDEO" when the extension is in the video list, else "AUDIO" when in the audio list, else "CD".
QString FileTypeOf(const QString &extension);

} // namespace tv

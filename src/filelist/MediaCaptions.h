#pragma once
// Texts the input information panel and the tag editor show for a media item's fields.

#include <QString>
#include <array>

namespace tv {

class MediaItem;

// Bits per second as "128 kbps" (fraction dropped); "-1" and "0" stay as they are.
QString BitrateCaption(const QString &bitsPerSecond);

// "1 Channel (Mono)", "2 Channels (Stereo)", "6 Channels"; "-1" and "0" stay as they are.
QString ChannelsCaption(const QString &channels);

// The aspect text of a picture: a named ratio ("1.78", "1.33" ...) or width / height rounded to
// two decimals ("1.71"; "1" for the -1 x -1 of a file without picture).
QString AspectRatioText(int width, int height, int aspectNumerator, int aspectDenominator,
                        double aspectValue);

// The aspect text with its name: "1.78" -> "1.78:1 - (16:9)  Widescreen"; others "t:1".
QString AspectRatioCaption(const QString &aspectText);

// A codec text reduced to what stands in its parentheses: "mp3 (MP3 (MPEG audio layer 3))"
// -> "MP3 (MPEG audio layer 3)"; a text without "(" is returned unchanged.
QString StripParentheses(const QString &text);

// One line of the input information panel: its text and whether it is shown as "Not Available".
struct InputInfoLine {
    QString text;
    bool available = false;
};
inline constexpr int kInputInfoLineCount = 11;

// The eleven lines of the panel for an item, the first being the file type description.
std::array<InputInfoLine, kInputInfoLineCount> InputInfoLines(const MediaItem &item,
                                                              const QString &typeDescription);

} // namespace tv

#include "FileProperties.h"

#include "MediaCaptions.h"
#include "MediaItem.h"
#include "TimeFormat.h"

#include <QFileInfo>
#include <QLocale>

namespace tv {

namespace {

const QString kNotAvailable = QStringLiteral("Not Available");

// The user's digit grouping; the C locale of a bare environment groups like English.
QLocale GroupingLocale() {
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale;
}

bool Unknown(const QString &value) {
    const QString t = value.trimmed();
    return t.isEmpty() || t == QLatin1String("0") || t == QLatin1String("-1");
}

PropertyLine Line(const QString &title, const QString &value) {
    return value.isEmpty() ? PropertyLine{title, kNotAvailable, false} : PropertyLine{title, value, true};
}

// A field with its unit, or "" when the field is unknown.
QString WithUnit(const QString &value, const QString &unit) {
    return Unknown(value) ? QString() : value.trimmed() + unit;
}

} // namespace

QString FileSizeText(qint64 bytes) {
    return FormatSize(static_cast<double>(bytes)) + QStringLiteral(" (") + GroupingLocale().toString(bytes) +
           QStringLiteral(" bytes)");
}

QString FileDateText(const QDateTime &when) {
    if (!when.isValid())
        return QString();
    // English names, as every other text of the program.
    return QLocale(QLocale::English, QLocale::UnitedStates)
        .toString(when.toLocalTime(), QStringLiteral("dddd, MMMM dd, yyyy, hh:mm:ss AP"));
}

QString FileAttributesText(const QFileInfo &file) {
    QStringList set;
    if (file.fileName().startsWith(QLatin1Char('.')))
        set << QStringLiteral("Hidden");
    if (!file.permission(QFileDevice::WriteOwner))
        set << QStringLiteral("Read-only");
    if (set.isEmpty())
        set << QStringLiteral("Normal");
    return set.join(QStringLiteral(", "));
}

QList<PropertyLine> FilePropertyLines(const MediaItem &item) {
    const QFileInfo file(item.inputPath());
    const bool exists = file.isFile();
    QList<PropertyLine> lines;
    lines << Line(QStringLiteral("Type:"), item[Item::FileType].trimmed());
    lines << Line(QStringLiteral("Format:"), item[Item::Format].trimmed());
    lines << Line(QStringLiteral("Size:"), exists ? FileSizeText(file.size()) : QString());
    lines << Line(QStringLiteral("Created:"), exists ? FileDateText(file.birthTime()) : QString());
    lines << Line(QStringLiteral("Modified:"), exists ? FileDateText(file.lastModified()) : QString());
    lines << Line(QStringLiteral("Accessed:"), exists ? FileDateText(file.lastRead()) : QString());
    lines << Line(QStringLiteral("Attributes:"), exists ? FileAttributesText(file) : QString());
    lines << Line(QStringLiteral("Duration:"), item[Item::Duration].trimmed());

    lines << Line(QStringLiteral("Video Codec:"),
                  Unknown(item[Item::VideoCodecName]) ? QString() : item[Item::VideoCodecName]);
    const bool frameKnown = !Unknown(item[Item::VideoWidth]) && !Unknown(item[Item::VideoHeight]);
    lines << Line(QStringLiteral("Frame Size:"),
                  frameKnown ? item[Item::VideoWidth].trimmed() + QStringLiteral(" x ") +
                                   item[Item::VideoHeight].trimmed() + QStringLiteral(" pixels")
                             : QString());
    lines << Line(QStringLiteral("Frame Rate:"),
                  WithUnit(item[Item::VideoFrameRateNumerator], " frames/second"));
    lines << Line(QStringLiteral("Video Bitrate:"),
                  Unknown(item[Item::VideoBitRate]) ? QString() : BitrateCaption(item[Item::VideoBitRate]));
    const QString aspect = item[Item::VideoSampleAspectRatio].trimmed();
    lines << Line(QStringLiteral("Aspect Ratio:"),
                  frameKnown && !Unknown(aspect) && aspect != QLatin1String("1") ? AspectRatioCaption(aspect)
                                                                                 : QString());

    lines << Line(QStringLiteral("Audio Codec:"),
                  Unknown(item[Item::AudioCodecName]) ? QString() : item[Item::AudioCodecName]);
    lines << Line(QStringLiteral("Sample Rate:"), WithUnit(item[Item::AudioSampleRate], " Hz"));
    lines << Line(QStringLiteral("Bits per Sample:"), WithUnit(item[Item::AudioBitsDepth], " bits"));
    lines << Line(QStringLiteral("Channels:"), Unknown(item[Item::AudioChannels])
                                                   ? QString()
                                                   : ChannelsCaption(item[Item::AudioChannels]));
    lines << Line(QStringLiteral("Audio Bitrate:"),
                  Unknown(item[Item::AudioBitRate]) ? QString() : BitrateCaption(item[Item::AudioBitRate]));
    return lines;
}

} // namespace tv

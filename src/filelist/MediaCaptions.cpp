#include "MediaCaptions.h"

#include "MediaItem.h"

#include <QLocale>
#include <cmath>

namespace tv {

namespace {

bool IsMissing(const QString &text) {
    const QString t = text.trimmed();
    return t == QLatin1String("-1") || t == QLatin1String("0");
}

// Rounds half away from zero at two decimals, the way the decimal rounding of the aspect
// rules expects for values such as 1.375.
double Round2(double value) {
    return std::round(value * 100.0) / 100.0;
}

} // namespace

QString BitrateCaption(const QString &bitsPerSecond) {
    if (IsMissing(bitsPerSecond))
        return bitsPerSecond;
    bool ok = false;
    const double value = QLocale::c().toDouble(bitsPerSecond.trimmed(), &ok);
    const qint64 kilo = ok ? static_cast<qint64>(std::trunc(value / 1000.0)) : 0;
    return QString::number(kilo) + QStringLiteral(" kbps");
}

QString ChannelsCaption(const QString &channels) {
    if (IsMissing(channels))
        return channels;
    const QString t = channels.trimmed();
    if (t == QLatin1String("1"))
        return QStringLiteral("1 Channel (Mono)");
    if (t == QLatin1String("2"))
        return QStringLiteral("2 Channels (Stereo)");
    return channels + QStringLiteral(" Channels");
}

QString AspectRatioText(int width, int height, int aspectNumerator, int aspectDenominator,
                        double aspectValue) {
    struct Ratio {
        int num;
        int den;
        const char *text;
    };
    static const Ratio kRatios[] = {{5, 4, "1.25"}, {4, 3, "1.33"}, {2, 1, "1.41"},
                                    {3, 2, "1.50"}, {5, 3, "1.66"}, {16, 9, "1.78"}};
    QString text;
    for (const Ratio &r : kRatios) {
        if (aspectNumerator == r.num && aspectDenominator == r.den)
            text = QString::fromLatin1(r.text);
    }

    struct Known {
        int hundredths;
        const char *text;
    };
    static const Known kValues[] = {{117, "1.17"}, {125, "1.25"}, {133, "1.33"}, {137, "1.37"}, {141, "1.41"},
                                    {150, "1.50"}, {166, "1.66"}, {177, "1.77"}, {178, "1.78"}, {185, "1.85"},
                                    {235, "2.35"}, {239, "2.39"}, {240, "2.4"}};
    if (std::isfinite(aspectValue)) {
        const auto hundredths = static_cast<long long>(std::llround(Round2(aspectValue) * 100.0));
        for (const Known &k : kValues) {
            if (hundredths == k.hundredths)
                text = QString::fromLatin1(k.text);
        }
    }

    // Written as the rounded number itself ("1.71", "1.5", "1"), with "." whatever the locale.
    if (text.isEmpty() && height != 0)
        text = QString::number(Round2(static_cast<double>(width) / height), 'g', 12);
    return text;
}

QString AspectRatioCaption(const QString &aspectText) {
    static const struct {
        const char *text;
        const char *caption;
    } kCaptions[] = {
        {"1.17", "1.17:1 - (Academy Scope)"},
        {"1.25", "1.25:1 - (5:4)"},
        {"1.33", "1.33:1 - (4:3)"},
        {"1.37", "1.37:1 - (Academy ratio)"},
        {"1.41", "1.41:1 - (2:1)"},
        {"1.5", "1.50:1 - (3:2)"},
        {"1.66", "1.66:1 - (5:3)  Super 16mm"},
        {"1.77", "1.77:1 - (16:9)  Widescreen"},
        {"1.78", "1.78:1 - (16:9)  Widescreen"},
        {"1.85", "1.85:1 - (35mm Standard)"},
        {"2.35", "2.35:1 - (35mm Anamorphic post-1970)"},
        {"2.39", "2.39:1 - (35mm Anamorphic post-1970)"},
        {"2.4", "2.40:1 - (Widescreen Cinema Standard)"},
    };
    QString caption = aspectText + QStringLiteral(":1");
    for (const auto &c : kCaptions) {
        if (aspectText == QLatin1String(c.text))
            caption = QString::fromLatin1(c.caption);
    }
    caption.replace(QLatin1Char(','), QLatin1Char('.'));
    return caption;
}

QString StripParentheses(const QString &text) {
    const int open = text.indexOf(QLatin1Char('('));
    if (open < 0)
        return text;
    QString inner = text.mid(open).trimmed();
    if (inner.startsWith(QLatin1Char('(')))
        inner.remove(0, 1);
    if (inner.endsWith(QLatin1Char(')')))
        inner.chop(1);
    return inner;
}

std::array<InputInfoLine, kInputInfoLineCount> InputInfoLines(const MediaItem &item,
                                                              const QString &typeDescription) {
    const QString raw[kInputInfoLineCount] = {
        typeDescription,
        item[Item::Duration],
        item[Item::VideoCodecName],
        item[Item::VideoWidth] + QStringLiteral(" x ") + item[Item::VideoHeight],
        item[Item::VideoBitRate],
        item[Item::VideoFrameRateNumerator],
        AspectRatioCaption(item[Item::VideoSampleAspectRatio]),
        item[Item::AudioCodecName],
        item[Item::AudioSampleRate],
        item[Item::AudioBitRate],
        item[Item::AudioChannels],
    };
    std::array<InputInfoLine, kInputInfoLineCount> lines;
    for (int i = 0; i < kInputInfoLineCount; ++i) {
        const QString t = raw[i].trimmed();
        const bool missing = t.isEmpty() || t == QLatin1String("0") || t == QLatin1String("x") ||
                             t == QLatin1String("-1 x -1") || t == QLatin1String("-1") ||
                             t == QLatin1String("1:1");
        auto &line = lines[static_cast<std::size_t>(i)];
        if (missing) {
            line = {QStringLiteral("Not Available"), false};
            continue;
        }
        QString text = raw[i];
        switch (i) {
        case 3:
            text += QStringLiteral(" pixels");
            break;
        case 4:
        case 9:
            text = BitrateCaption(text);
            break;
        case 5:
            text += QStringLiteral(" frames/second");
            break;
        case 8:
            text += QStringLiteral(" Hz");
            break;
        case 10:
            text = ChannelsCaption(text);
            break;
        default:
            break;
        }
        line = {text, true};
    }
    return lines;
}

} // namespace tv

#include "EncodingParameters.h"

#include "Chooser.h"

#include <QLocale>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

namespace tv {

namespace {

const char *const kRates[] = {"8000 Hz",  "11025 Hz", "12000 Hz", "16000 Hz", "22050 Hz",
                              "24000 Hz", "32000 Hz", "44100 Hz", "48000 Hz"};
// rate × 8 / 1000 with the fraction dropped, per rate above.
const qint16 kRateFactor[] = {64, 88, 96, 128, 176, 192, 256, 352, 384};

int RateIndex(const QString &rate) {
    for (int i = 0; i < 9; ++i) {
        if (rate == QLatin1String(kRates[i]))
            return i;
    }
    return -1;
}

int ChannelCount(const QString &channels) {
    if (channels == QLatin1String("Mono"))
        return 1;
    if (channels == QLatin1String("Stereo"))
        return 2;
    if (channels == QLatin1String("5.1 Surround"))
        return 6;
    return 0;
}

int ByteCount(const QString &size) {
    if (size == QLatin1String("8 bit"))
        return 1;
    if (size == QLatin1String("16 bit"))
        return 2;
    if (size == QLatin1String("24 bit"))
        return 3;
    if (size == QLatin1String("32 bit"))
        return 4;
    return 0;
}

using Values = std::vector<int>;

QString Join(const Values &values, int factor = 1) {
    QString text;
    for (int v : values)
        text += QString::number(v * factor) + QStringLiteral(" kbps;");
    return text;
}

Values Steps(int from, int to, int step) {
    Values v;
    for (int x = from; x <= to; x += step)
        v.push_back(x);
    return v;
}

Values Plus(Values v, std::initializer_list<int> more) {
    v.insert(v.end(), more);
    return v;
}

// The mono AAC list per rate index; stereo doubles it and 5.1 multiplies it by six.
Values AacMono(int rate) {
    const Values low = Steps(8, 64, 8);
    switch (rate) {
    case 0:
        return Steps(8, 48, 8);
    case 1:
    case 2:
        return low;
    case 3:
        return Plus(low, {80, 96});
    case 4:
        return Plus(low, {80, 96, 112, 128});
    case 5:
        return Plus(low, {80, 96, 112, 128, 144});
    default:
        return Plus(low, {80, 96, 112, 128, 144, 160});
    }
}

Values Mp3(int rate, int channels) {
    if (channels == 1) {
        switch (rate) {
        case 0:
            return {16, 24, 32, 40, 48, 56, 64, 80};
        case 1:
        case 2:
        case 3:
            return {24, 32, 40, 48, 56, 64, 80};
        case 4:
        case 5:
            return {32, 40, 48, 56, 64, 80};
        case 6:
            return {32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
        default:
            return {48, 56, 64, 80, 96, 112, 128, 144, 160};
        }
    }
    switch (rate) {
    case 0:
        return {32, 48, 64, 80, 96, 112, 128, 160};
    case 1:
    case 2:
    case 3:
        return {48, 64, 80, 96, 112, 128, 160};
    case 4:
    case 5:
        return {64, 80, 96, 112, 128, 160};
    case 6:
        return {64, 80, 96, 112, 128, 160, 192, 224, 256, 288, 320};
    default:
        return {96, 112, 128, 160, 192, 224, 256, 288, 320};
    }
}

Values Mp2(int rate, int channels) {
    if (rate <= 3)
        return {};
    if (channels == 1)
        return rate <= 5 ? Values{32, 40, 48, 56, 64, 80} : Values{32, 48, 56, 64, 80, 96, 112, 128, 160};
    return rate <= 5 ? Values{64, 80, 96, 112, 128, 160}
                     : Values{64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
}

Values Vorbis(int rate, int channels) {
    if (channels == 1) {
        switch (rate) {
        case 0:
            return {8, 16, 24, 32, 40};
        case 1:
        case 2:
            return {16, 24, 32, 40, 48};
        case 3:
            return {16, 24, 32, 40, 48, 56, 64, 80, 96};
        case 4:
        case 5:
            return {16, 24, 32, 40, 48, 56, 64, 80};
        default:
            return {32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
        }
    }
    switch (rate) {
    case 0:
        return {16, 32, 48, 64, 80};
    case 1:
    case 2:
        return {16, 32, 48, 64, 80, 96};
    case 3:
        return {32, 48, 64, 80, 96, 112, 128, 160, 192};
    case 4:
    case 5:
        return {32, 48, 64, 80, 96, 112, 128, 160};
    default:
        return {48, 64, 80, 96, 112, 128, 160, 192, 224, 256, 288, 320};
    }
}

Values Adpcm(int rate, int channels) {
    const bool stereo = channels == 2;
    if (channels != 1 && !stereo)
        return {};
    switch (rate) {
    case 0:
        return {stereo ? 64 : 32};
    case 1:
        return {stereo ? 88 : 44};
    case 4:
        return {stereo ? 176 : 88};
    case 7:
        return {stereo ? 325 : 176};
    default:
        return {};
    }
}

// Round to nearest with halves to even, as the platform's integer conversions do.
double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

bool ToDouble(const QString &text, double *value) {
    bool ok = false;
    const QString t = text.trimmed();
    double v = QLocale::c().toDouble(t, &ok);
    if (!ok)
        v = QLocale().toDouble(t, &ok);
    if (ok)
        *value = v;
    return ok && std::isfinite(v);
}

} // namespace

QString CodecOption(const QString &audioCodec, const QString &audioSize) {
    static const struct {
        const char *name;
        const char *option;
    } kCodecs[] = {
        {"No Audio", " -an "},
        {"MPEG-2/4", " -acodec libfaac"},
        {"AAC", " -acodec aac"},
        {"MP3", " -acodec libmp3lame"},
        {"MP2", " -acodec mp2"},
        {"Ogg Vorbis", " -acodec libvorbis"},
        {"Opus", " -acodec libopus"},
        {"IMA ADPCM", " -acodec adpcm_ima_wav"},
        {"AMR ACELP", " -acodec libopencore_amrnb"},
        {"CCITT A-law", " -acodec pcm_alaw"},
        {"CCITT u-law", " -acodec pcm_mulaw"},
        {"AC3", " -acodec ac3"},
        {"WMA", " -acodec wmav2"},
        {"Microsoft ADPCM", " -acodec adpcm_ms"},
        {"IMA_ADPCM", " -acodec adpcm_ima_wav"},
        {"FLAC", " -acodec flac"},
        {"MS GSM 6.10", " -acodec libgsm_ms"},
        {"RealAudio 3.0 (dnet)", " -acodec ac3"},
    };
    for (const auto &c : kCodecs) {
        if (audioCodec == QLatin1String(c.name))
            return QString::fromLatin1(c.option);
    }
    // 8-bit PCM is unsigned in little-endian files and signed in big-endian ones.
    static const char *const kLittle[] = {" -acodec pcm_u8", " -acodec pcm_s16le", " -acodec pcm_s24le",
                                          " -acodec pcm_s32le"};
    static const char *const kBig[] = {" -acodec pcm_s8", " -acodec pcm_s16be", " -acodec pcm_s24be",
                                       " -acodec pcm_s32be"};
    const int bytes = ByteCount(audioSize);
    if (bytes == 0)
        return QString();
    if (audioCodec == QLatin1String("PCM little-endian"))
        return QString::fromLatin1(kLittle[bytes - 1]);
    if (audioCodec == QLatin1String("PCM big-endian"))
        return QString::fromLatin1(kBig[bytes - 1]);
    return QString();
}

qint16 ParseShortOr(const QString &text, qint16 defaultValue) {
    double value = 0;
    if (!ToDouble(text, &value))
        return defaultValue;
    const double rounded = RoundHalfEven(value);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return defaultValue;
    return static_cast<qint16>(rounded);
}

QString BuildAudioArguments(const JobParameters &job) {
    try {
        QString text;
        switch (job.Channels) {
        case 0:
            text += QStringLiteral(" -ac 1");
            break;
        case 1:
            text += QStringLiteral(" -ac 2");
            break;
        case 2:
            text += QStringLiteral(" -ac 6");
            break;
        default:
            break;
        }
        text += QStringLiteral(" -ar ") + job.SampleRate;
        text +=
            QStringLiteral(" -ab ") + QString::number(ParseShortOr(job.AudioBitrate, 64)) + QLatin1Char('k');
        text += CodecOption(job.AudioCodec.trimmed(), job.AudioSize.trimmed());
        text += QStringLiteral(" -vn");
        text += QStringLiteral(" -t ") + job.TrimDuration;
        return text;
    } catch (const std::bad_alloc &) {
        return QStringLiteral("-1");
    }
}

QString AudioBitrateChoices(const QString &audioCodec, const QString &sampleRate, const QString &channels,
                            const QString &audioSize) {
    const QString codec = audioCodec.trimmed();
    if (codec == QLatin1String("No Audio"))
        return sampleRate == QLatin1String("-") ? QStringLiteral("-;") : QString();
    const int rate = RateIndex(sampleRate);
    if (rate < 0)
        return QString();
    const int ch = ChannelCount(channels);
    const int bytes = ByteCount(audioSize);
    const qint16 factor = kRateFactor[rate];

    if (codec == QLatin1String("PCM little-endian") || codec == QLatin1String("PCM big-endian"))
        return Join({static_cast<qint16>(factor * bytes * ch)});
    if (codec == QLatin1String("CCITT A-law") || codec == QLatin1String("CCITT u-law"))
        return Join({static_cast<qint16>(factor * ch)});
    if (codec == QLatin1String("IMA ADPCM"))
        return Join({static_cast<qint16>((factor / 2) * ch)});
    if (codec == QLatin1String("WMA") || codec == QLatin1String("RealAudio 3.0 (dnet)"))
        return Join({32, 48, 64, 80, 96, 112, 128, 160, 192, 224, 256, 288, 320});
    if (codec == QLatin1String("AMR ACELP"))
        return QStringLiteral(
            "4.75 kbps;5.15 kbps;5.90 kbps;6.70 kbps;7.40 kbps;7.95 kbps;10.2 kbps;12.2 kbps;");
    if (codec == QLatin1String("MS GSM 6.10"))
        return Join({13});
    if (codec == QLatin1String("FLAC"))
        return Join({768});
    if (codec == QLatin1String("Microsoft ADPCM") || codec == QLatin1String("IMA_ADPCM"))
        return Join(Adpcm(rate, ch));
    if (ch == 0)
        return QString();
    if (codec == QLatin1String("MPEG-2/4") || codec == QLatin1String("AAC")) {
        if (ch == 6 && codec == QLatin1String("AAC"))
            return QString();
        return Join(AacMono(rate), ch);
    }
    if (ch == 6)
        return QString();
    if (codec == QLatin1String("MP3") || codec == QLatin1String("AC3"))
        return Join(Mp3(rate, ch));
    if (codec == QLatin1String("MP2"))
        return Join(Mp2(rate, ch));
    if (codec == QLatin1String("Ogg Vorbis"))
        return Join(Vorbis(rate, ch));
    if (codec == QLatin1String("Opus")) // libopus takes these at 48 kHz, mono voice to rich stereo
        return ch == 1 ? Join({16, 24, 32, 48, 64, 96, 128}) : Join({32, 48, 64, 96, 128, 160, 192, 256});
    return QString();
}

qint32 EstimateVideoBitrate(qint32 width, qint32 height, const QString &frameRate, qint16 motion,
                            qint32 unitFlag) {
    constexpr qint32 kFallback = 1500;
    qint64 fps = 24;
    if (frameRate != QLatin1String("Original") && frameRate != QLatin1String("-")) {
        double value = 0;
        if (!ToDouble(QString(frameRate).remove(QLatin1String(" fps"), Qt::CaseInsensitive), &value))
            return kFallback;
        const double rounded = RoundHalfEven(value);
        if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
            return kFallback;
        fps = static_cast<qint64>(rounded);
    }
    qint64 m = motion;
    if (width < 500)
        m += 2;
    // The product is taken in 32-bit arithmetic; an overflow there falls back like any failure.
    qint64 bits = width;
    for (qint64 factor : {static_cast<qint64>(height), fps, m}) {
        bits *= factor;
        if (bits > std::numeric_limits<qint32>::max() || bits < std::numeric_limits<qint32>::min())
            return kFallback;
    }
    double estimate = RoundHalfEven(static_cast<double>(bits) * 0.07);
    if (unitFlag == 1)
        estimate = RoundHalfEven(estimate / 1000);
    return static_cast<qint32>(estimate);
}

qint32 MaxVideoBitrate(qint32 width, qint32 height, qint32 cap) {
    if (width == 0 && height == 0)
        return cap;
    return std::min(EstimateVideoBitrate(width, height, QStringLiteral("60"), 4, 1), cap);
}

qint32 MinVideoBitrate(qint32 width, qint32 height, qint32 cap) {
    if (width == 0 && height == 0) {
        width = 720;
        height = 560;
    }
    const qint32 e = EstimateVideoBitrate(width, height, QStringLiteral("20"), 1, 1);
    return cap <= e ? 0 : e;
}

QString VideoBitrateChoices(qint32 width, qint32 height, qint32 cap) {
    if (cap == 0)
        return QStringLiteral("-;");
    const qint32 max = MaxVideoBitrate(width, height, cap);
    const qint32 min = MinVideoBitrate(width, height, cap);
    static const int kBitrates[] = {16,    32,    64,    96,    128,   256,   384,  512,  768,
                                    900,   1000,  1200,  1500,  2000,  3000,  4000, 6000, 8000,
                                    10000, 12000, 15000, 30000, 35000, 40000, 50000};
    QString text = QStringLiteral("Smart Fit;");
    for (int b : kBitrates) {
        if (min <= b && b <= max)
            text += QString::number(b) + QStringLiteral(" kbps;");
    }
    return text + QStringLiteral("Custom;");
}

const QStringList &PictureSizeTable() {
    static const QStringList table{"Original",   "80 x 60",     "96 x 72",     "128 x 96",   "160 x 120",
                                   "176 x 120",  "176 x 144",   "192 x 144",   "240 x 180",  "240 x 160",
                                   "320 x 200",  "320 x 240",   "352 x 288",   "480 x 320",  "640 x 360",
                                   "640 x 480",  "720 x 480",   "720 x 576",   "768 x 576",  "800 x 480",
                                   "854 x 480",  "960 x 540",   "960 x 640",   "1024 x 576", "1024 x 600",
                                   "1280 x 720", "1440 x 1080", "1920 x 1080", "Custom"};
    return table;
}

const QStringList &FrameRateTable() {
    static const QStringList table{"Original", "1 fps",  "2 fps",     "3 fps",  "5 fps",
                                   "10 fps",   "12 fps", "15 fps",    "20 fps", "23.976 fps",
                                   "24 fps",   "25 fps", "29.97 fps", "30 fps"};
    return table;
}

const QStringList &AspectRatioTable() {
    static const QStringList table{"Smart Fit", "4:3", "16:9", "Original"};
    return table;
}

QString ChoiceListText(const QStringList &table) {
    QString text;
    for (const QString &entry : table) {
        if (!entry.trimmed().isEmpty())
            text += entry + QLatin1Char(';');
    }
    return text;
}

void FillChoiceList(const QString &list, Chooser &chooser) {
    chooser.clearEntries();
    QStringList items = list.split(QLatin1Char(';'));
    items.removeLast();
    for (QString &item : items)
        chooser.addEntry(item.remove(QLatin1Char('#')));
}

} // namespace tv

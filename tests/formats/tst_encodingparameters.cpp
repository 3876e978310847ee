// The option text each job hands to the engine, and the bitrate choices the settings offer.
#include "EncodingParameters.h"
#include "TestEnv.h"

using namespace tv;

namespace {

JobParameters Mp3Job() {
    JobParameters job;
    job.AudioCodec = "MP3";
    job.FileExtention = "MP3";
    job.Channels = 1;
    job.AudioBitrate = "128";
    job.SampleRate = "44100";
    job.AudioSize = "16 bit";
    job.TrimStart = "00:00:00.000";
    job.TrimDuration = "00:03:25.120";
    return job;
}

QString List(std::initializer_list<int> values) {
    QString text;
    for (int v : values)
        text += QString::number(v) + " kbps;";
    return text;
}

QString Range(int from, int to, int step, std::initializer_list<int> more = {}) {
    QString text;
    for (int v = from; v <= to; v += step)
        text += QString::number(v) + " kbps;";
    return text + List(more);
}

const QStringList kRates{"8000 Hz",  "11025 Hz", "12000 Hz", "16000 Hz", "22050 Hz",
                         "24000 Hz", "32000 Hz", "44100 Hz", "48000 Hz"};

} // namespace

class EncodingParametersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mp3OptionTextHasItsExactBlanks() {
        SetCurrentOutputExtension("WAV");
        QCOMPARE(BuildAudioArguments(Mp3Job()),
                 QStringLiteral(" -ac 2 -ar 44100 -ab 128k -acodec libmp3lame -vn -t 00:03:25.120"));
        QCOMPARE(CurrentOutputExtension(), QStringLiteral("MP3"));
    }

    void optionTextEdgeCases_data() {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("bitrate");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("expected");
        const struct {
            const char *name, *codec;
            int channels;
            const char *rate, *bitrate, *size, *expected;
        } rows[] = {
            {"No Audio keeps two blanks before -vn", "No Audio", 1, "-", "-", "16 bit",
             " -ac 2 -ar - -ab 64k -an "},
            {"5.1 index still writes -ac 6 for MP3", "MP3", 2, "44100", "192", "16 bit",
             " -ac 6 -ar 44100 -ab 192k -acodec libmp3lame"},
            {"AMR 12.2 rounds to 12", "AMR ACELP", 0, "8000", "12.2", "16 bit",
             " -ac 1 -ar 8000 -ab 12k -acodec libopencore_amrnb"},
            {"AMR 7.95 rounds to 8", "AMR ACELP", 0, "8000", "7.95", "16 bit",
             " -ac 1 -ar 8000 -ab 8k -acodec libopencore_amrnb"},
            {"bitrate over 32767 falls back", "AAC", 1, "48000", "40000", "16 bit",
             " -ac 2 -ar 48000 -ab 64k -acodec aac"},
            {"empty bitrate falls back", "AAC", 1, "48000", "", "16 bit",
             " -ac 2 -ar 48000 -ab 64k -acodec aac"},
            {"empty sample rate passes through", "FLAC", 1, "", "768", "16 bit",
             " -ac 2 -ar  -ab 768k -acodec flac"},
            {"8-bit little-endian PCM is unsigned", "PCM little-endian", 1, "44100", "705", "8 bit",
             " -ac 2 -ar 44100 -ab 705k -acodec pcm_u8"},
            {"8-bit big-endian PCM is signed", "PCM big-endian", 1, "44100", "705", "8 bit",
             " -ac 2 -ar 44100 -ab 705k -acodec pcm_s8"},
            {"PCM with unknown width has no codec", "PCM big-endian", 1, "44100", "705", "12 bit",
             " -ac 2 -ar 44100 -ab 705k"},
            {"RealAudio is encoded as AC-3", "RealAudio 3.0 (dnet)", 1, "44100", "128", "16 bit",
             " -ac 2 -ar 44100 -ab 128k -acodec ac3"},
            {"codec names compare exactly", "mp3", 1, "44100", "128", "16 bit", " -ac 2 -ar 44100 -ab 128k"},
            {"unknown channel index adds nothing", "WMA", 7, "44100", "128", "16 bit",
             " -ar 44100 -ab 128k -acodec wmav2"},
            {"half rounds to even", "WMA", 1, "44100", "128.5", "16 bit",
             " -ac 2 -ar 44100 -ab 128k -acodec wmav2"},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.codec << r.channels << r.rate << r.bitrate << r.size
                                  << QString(r.expected) + " -vn -t 00:00:10.000";
    }
    void optionTextEdgeCases() {
        QFETCH(QString, codec);
        QFETCH(int, channels);
        QFETCH(QString, rate);
        QFETCH(QString, bitrate);
        QFETCH(QString, size);
        QFETCH(QString, expected);
        JobParameters job;
        job.AudioCodec = codec;
        job.FileExtention = "X";
        job.Channels = channels;
        job.SampleRate = rate;
        job.AudioBitrate = bitrate;
        job.AudioSize = size;
        job.TrimDuration = "00:00:10.000";
        QCOMPARE(BuildAudioArguments(job), expected);
    }

    void parseShortOr() {
        QCOMPARE(ParseShortOr("12.2", 64), qint16(12));
        QCOMPARE(ParseShortOr(" 128 ", 64), qint16(128));
        QCOMPARE(ParseShortOr("2.5", 64), qint16(2));
        QCOMPARE(ParseShortOr("3.5", 64), qint16(4));
        QCOMPARE(ParseShortOr("-32768", 64), qint16(-32768));
        QCOMPARE(ParseShortOr("32767.4", 64), qint16(32767));
        QCOMPARE(ParseShortOr("32767.6", 64), qint16(64));
        QCOMPARE(ParseShortOr("abc", 7), qint16(7));
        QCOMPARE(ParseShortOr("", 7), qint16(7));
        QCOMPARE(ParseShortOr("nan", 7), qint16(7));
    }

    // The bitrate choices: how the lists of one table relate (stereo and surround from mono, codecs
    // sharing a table, rates a codec lacks), the lists computed from rate, sample width and
    // channels, a few lists as they stand at the edges of their tables, and the worked examples.
    // (That every shipped format offers working choices is the shipped catalogs' test.)
    void audioBitrateChoices() {
        const auto at = [](const QString &codec, const QString &rate, const QString &channels,
                           const QString &size = "16 bit") {
            return AudioBitrateChoices(codec, rate, channels, size);
        };
        const auto times = [](const QString &list, int factor) {
            QString scaled;
            for (const QString &v : list.split(" kbps;", Qt::SkipEmptyParts))
                scaled += QString::number(v.toInt() * factor) + " kbps;";
            return scaled;
        };
        const int factor[] = {64, 88, 96, 128, 176, 192, 256, 352, 384};
        for (int r = 0; r < 9; ++r) {
            const QString rate = kRates[r];
            const QString aac = at("AAC", rate, "Mono");
            QVERIFY2(!aac.isEmpty(), qPrintable(rate));
            QCOMPARE(at("MPEG-2/4", rate, "Mono"), aac);
            QCOMPARE(at("AAC", rate, "Stereo"), times(aac, 2));
            QCOMPARE(at("MPEG-2/4", rate, "5.1 Surround"), times(aac, 6));
            for (const char *ch : {"Mono", "Stereo"}) {
                QVERIFY(!at("MP3", rate, ch).isEmpty() && !at("Ogg Vorbis", rate, ch).isEmpty());
                QCOMPARE(at("AC3", rate, ch), at("MP3", rate, ch));
                QCOMPARE(at("IMA_ADPCM", rate, ch), at("Microsoft ADPCM", rate, ch));
                QCOMPARE(at("MP2", rate, ch).isEmpty(), r < 4); // MP2 starts at 22050 Hz
            }
            for (const char *codec : {"AAC", "MP3", "AC3", "MP2", "Ogg Vorbis", "Microsoft ADPCM"})
                QCOMPARE(at(codec, rate, "5.1 Surround"), QString());
            for (int n : {1, 2, 6}) {
                const QString ch = n == 1 ? "Mono" : n == 2 ? "Stereo" : "5.1 Surround";
                QCOMPARE(at("WMA", rate, ch),
                         List({32, 48, 64, 80, 96, 112, 128, 160, 192, 224, 256, 288, 320}));
                QCOMPARE(at("RealAudio 3.0 (dnet)", rate, ch), at("WMA", rate, ch));
                QCOMPARE(at("AMR ACELP", rate, ch),
                         "4.75 kbps;5.15 kbps;5.90 kbps;6.70 kbps;7.40 kbps;7.95 kbps;10.2 kbps;12.2 kbps;");
                QCOMPARE(at("MS GSM 6.10", rate, ch), List({13}));
                QCOMPARE(at("FLAC", rate, ch), List({768}));
                QCOMPARE(at("CCITT A-law", rate, ch), List({factor[r] * n}));
                QCOMPARE(at("CCITT u-law", rate, ch), List({factor[r] * n}));
                QCOMPARE(at("IMA ADPCM", rate, ch), List({factor[r] / 2 * n}));
                QCOMPARE(at("No Audio", rate, ch) + at("Speex", rate, ch), QString());
                for (int bytes = 1; bytes <= 4; ++bytes) {
                    const QString size = QString::number(bytes * 8) + " bit";
                    QCOMPARE(at("PCM little-endian", rate, ch, size), List({factor[r] * bytes * n}));
                    QCOMPARE(at("PCM big-endian", rate, ch, size), List({factor[r] * bytes * n}));
                }
            }
        }
        QCOMPARE(at("AAC", "8000 Hz", "Mono"), Range(8, 48, 8));
        QCOMPARE(at("AAC", "48000 Hz", "Mono"), Range(8, 64, 8, {80, 96, 112, 128, 144, 160}));
        QCOMPARE(at("MP3", "8000 Hz", "Mono"), List({16, 24, 32, 40, 48, 56, 64, 80}));
        QCOMPARE(at("MP3", "44100 Hz", "Stereo"), List({96, 112, 128, 160, 192, 224, 256, 288, 320}));
        QCOMPARE(at("MP2", "32000 Hz", "Stereo"), List({64, 80, 96, 112, 128, 160, 192, 224, 256, 320}));
        QCOMPARE(at("Ogg Vorbis", "16000 Hz", "Mono"), List({16, 24, 32, 40, 48, 56, 64, 80, 96}));
        QCOMPARE(at("Microsoft ADPCM", "44100 Hz", "Stereo"), List({325}));
        QCOMPARE(at("Microsoft ADPCM", "12000 Hz", "Mono"), QString());
        QCOMPARE(at("PCM little-endian", "44100 Hz", "Stereo"), QStringLiteral("1408 kbps;"));
        QCOMPARE(at("PCM little-endian", "48000 Hz", "5.1 Surround", "32 bit"), QStringLiteral("9216 kbps;"));

        // Unknown inputs never fail: an empty list, or 0 kbps for a zero byte or channel count.
        for (const char *rate : {"44100", "44100 hz", "96000 Hz"})
            QCOMPARE(at("MP3", rate, "Stereo"), QString());
        QCOMPARE(at("MP3", "44100 Hz", "Quad"), QString());
        QCOMPARE(at("PCM little-endian", "44100 Hz", "Stereo", "12 bit"), List({0}));
        QCOMPARE(at("CCITT A-law", "8000 Hz", "Quad"), List({0}));
        QCOMPARE(at("No Audio", "-", "Stereo"), QStringLiteral("-;"));
        QCOMPARE(at("  MP3  ", "44100 Hz", "Stereo"), at("MP3", "44100 Hz", "Stereo"));
    }

    void videoBitrates() {
        QCOMPARE(EstimateVideoBitrate(640, 480, "60", 4, 1), 5161);
        QCOMPARE(EstimateVideoBitrate(640, 480, "Original", 2, 0), 1032192);
        QCOMPARE(EstimateVideoBitrate(640, 480, "23.976 fps", 2, 1),
                 EstimateVideoBitrate(640, 480, "24", 2, 1));
        QCOMPARE(EstimateVideoBitrate(640, 480, "29.97 FPS", 2, 1),
                 EstimateVideoBitrate(640, 480, "30", 2, 1));
        QCOMPARE(EstimateVideoBitrate(640, 480, "fast", 2, 1), 1500);
        QCOMPARE(EstimateVideoBitrate(100000, 100000, "30", 4, 1), 1500); // 32-bit overflow
        QCOMPARE(MaxVideoBitrate(640, 480, 3000), 3000);
        QCOMPARE(MinVideoBitrate(640, 480, 3000), 430);
        QCOMPARE(MinVideoBitrate(640, 480, 430), 0);
        QCOMPARE(
            VideoBitrateChoices(640, 480, 3000),
            QStringLiteral("Smart Fit;512 kbps;768 kbps;900 kbps;1000 kbps;1200 kbps;1500 kbps;2000 kbps;"
                           "3000 kbps;Custom;"));
        QCOMPARE(MaxVideoBitrate(320, 240, 100000), 1935);
        QCOMPARE(MinVideoBitrate(320, 240, 100000), 323);
        QCOMPARE(VideoBitrateChoices(320, 240, 100000),
                 QStringLiteral(
                     "Smart Fit;384 kbps;512 kbps;768 kbps;900 kbps;1000 kbps;1200 kbps;1500 kbps;Custom;"));
        QCOMPARE(VideoBitrateChoices(0, 0, 1000),
                 QStringLiteral("Smart Fit;768 kbps;900 kbps;1000 kbps;Custom;"));
        QCOMPARE(VideoBitrateChoices(640, 480, 0), QStringLiteral("-;"));
    }

    void choiceListText() {
        QCOMPARE(ChoiceListText({"a", " ", "", "b"}), QStringLiteral("a;b;"));
        QCOMPARE(ChoiceListText({}), QString());
    }
};

TV_TEST_MAIN_CORE(EncodingParametersTest)
#include "tst_encodingparameters.moc"

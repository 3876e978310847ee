// The option text each job hands to the engine at its edges, and how the bitrate choices the
// settings offer relate. (That every shipped format offers exactly its catalog's choices, and
// that each shipped preset's option text makes a file of its kind, is the shipped catalogs' test.)
#include "EncodingParameters.h"
#include "TestEnv.h"

using namespace tv;

namespace {

// The numbers of a choice list ("64 kbps;128 kbps;").
QList<double> Numbers(const QString &list) {
    QList<double> numbers;
    for (const QString &entry : list.split(';', Qt::SkipEmptyParts))
        numbers << entry.section(' ', 0, 0).toDouble();
    return numbers;
}

QList<double> Times(QList<double> numbers, double factor) {
    for (double &n : numbers)
        n *= factor;
    return numbers;
}

const QStringList kRates{"8000 Hz",  "11025 Hz", "12000 Hz", "16000 Hz", "22050 Hz",
                         "24000 Hz", "32000 Hz", "44100 Hz", "48000 Hz"};

} // namespace

class EncodingParametersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void optionTextKeepsItsBlanksAndEdgeCases_data() {
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
            {"AMR 7.95 rounds to 8", "AMR ACELP", 0, "8000", "7.95", "16 bit",
             " -ac 1 -ar 8000 -ab 8k -acodec libopencore_amrnb"},
            {"half rounds to even", "WMA", 1, "44100", "128.5", "16 bit",
             " -ac 2 -ar 44100 -ab 128k -acodec wmav2"},
            {"bitrate over 32767 falls back", "AAC", 1, "48000", "40000", "16 bit",
             " -ac 2 -ar 48000 -ab 64k -acodec aac"},
            {"empty bitrate falls back", "AAC", 1, "48000", "", "16 bit",
             " -ac 2 -ar 48000 -ab 64k -acodec aac"},
            {"empty sample rate passes through", "FLAC", 1, "", "768", "16 bit",
             " -ac 2 -ar  -ab 768k -acodec flac"},
            {"PCM with unknown width has no codec", "PCM big-endian", 1, "44100", "705", "12 bit",
             " -ac 2 -ar 44100 -ab 705k"},
            {"codec names compare exactly", "mp3", 1, "44100", "128", "16 bit", " -ac 2 -ar 44100 -ab 128k"},
            {"unknown channel index adds nothing", "WMA", 7, "44100", "128", "16 bit",
             " -ar 44100 -ab 128k -acodec wmav2"},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.codec << r.channels << r.rate << r.bitrate << r.size
                                  << QString(r.expected) + " -vn -t 00:00:10.000";
    }
    void optionTextKeepsItsBlanksAndEdgeCases() {
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

    // How the lists relate: codecs sharing a list, stereo and surround from mono, PCM from its
    // rate, width and channels, rates a codec lacks; and unknown inputs never fail.
    void bitrateChoicesFollowCodecRateAndChannels() {
        const auto at = [](const QString &codec, const QString &rate, const QString &channels,
                           const QString &size = "16 bit") {
            return AudioBitrateChoices(codec, rate, channels, size);
        };
        const QStringList channelNames{"Mono", "Stereo", "5.1 Surround"};
        for (const QString &rate : kRates) {
            const int hertz = rate.section(' ', 0, 0).toInt();
            const QList<double> aac = Numbers(at("AAC", rate, "Mono"));
            QVERIFY2(!aac.isEmpty() && std::is_sorted(aac.cbegin(), aac.cend()), qPrintable(rate));
            QCOMPARE(at("MPEG-2/4", rate, "Mono"), at("AAC", rate, "Mono"));
            QCOMPARE(Numbers(at("AAC", rate, "Stereo")), Times(aac, 2));
            QCOMPARE(Numbers(at("MPEG-2/4", rate, "5.1 Surround")), Times(aac, 6));
            for (const char *ch : {"Mono", "Stereo"}) {
                QVERIFY(!at("MP3", rate, ch).isEmpty() && !at("Ogg Vorbis", rate, ch).isEmpty());
                QCOMPARE(at("AC3", rate, ch), at("MP3", rate, ch));
                QCOMPARE(at("IMA_ADPCM", rate, ch), at("Microsoft ADPCM", rate, ch));
                QCOMPARE(at("MP2", rate, ch).isEmpty(), hertz < 22050);
            }
            for (const char *codec : {"AAC", "MP3", "AC3", "MP2", "Ogg Vorbis", "Microsoft ADPCM"})
                QCOMPARE(at(codec, rate, "5.1 Surround"), QString());
            const double pcm8Mono = Numbers(at("PCM little-endian", rate, "Mono", "8 bit")).value(0);
            QVERIFY(qAbs(pcm8Mono - hertz * 8 / 1000.0) < 1);
            for (int n = 0; n < 3; ++n) {
                const QString ch = channelNames[n];
                const int count = QList<int>{1, 2, 6}[n];
                QCOMPARE(at("RealAudio 3.0 (dnet)", rate, ch), at("WMA", rate, ch));
                QCOMPARE(Numbers(at("CCITT A-law", rate, ch)), QList<double>{pcm8Mono * count});
                QCOMPARE(at("CCITT u-law", rate, ch), at("CCITT A-law", rate, ch));
                QCOMPARE(Numbers(at("IMA ADPCM", rate, ch)),
                         QList<double>{double(int(pcm8Mono) / 2 * count)});
                QCOMPARE(at("No Audio", rate, ch) + at("Speex", rate, ch), QString());
                for (int bytes = 1; bytes <= 4; ++bytes) {
                    const QString size = QString::number(bytes * 8) + " bit";
                    QCOMPARE(Numbers(at("PCM little-endian", rate, ch, size)),
                             QList<double>{pcm8Mono * bytes * count});
                    QCOMPARE(at("PCM big-endian", rate, ch, size), at("PCM little-endian", rate, ch, size));
                }
            }
        }
        QCOMPARE(at("PCM little-endian", "44100 Hz", "Stereo"), QStringLiteral("1408 kbps;"));

        // Unknown inputs never fail: an empty list, or 0 kbps for a zero byte or channel count.
        for (const char *rate : {"44100", "44100 hz", "96000 Hz"})
            QCOMPARE(at("MP3", rate, "Stereo"), QString());
        QCOMPARE(at("MP3", "44100 Hz", "Quad"), QString());
        QCOMPARE(at("PCM little-endian", "44100 Hz", "Stereo", "12 bit"), QStringLiteral("0 kbps;"));
        QCOMPARE(at("No Audio", "-", "Stereo"), QStringLiteral("-;"));
        QCOMPARE(at("  MP3  ", "44100 Hz", "Stereo"), at("MP3", "44100 Hz", "Stereo"));
    }

    // Video bitrates grow with the picture, the frame rate and the motion, stay within the codec's
    // cap, and fall back instead of overflowing.
    void videoBitratesFollowThePictureAndStayUnderTheCap() {
        QVERIFY(EstimateVideoBitrate(640, 480, "30", 4, 1) > EstimateVideoBitrate(640, 480, "30", 2, 1));
        QVERIFY(EstimateVideoBitrate(640, 480, "30", 2, 1) > EstimateVideoBitrate(640, 480, "15", 2, 1));
        QVERIFY(EstimateVideoBitrate(1280, 720, "30", 2, 1) > EstimateVideoBitrate(640, 480, "30", 2, 1));
        QCOMPARE(EstimateVideoBitrate(640, 480, "Original", 2, 1),
                 EstimateVideoBitrate(640, 480, "24", 2, 1));
        QCOMPARE(EstimateVideoBitrate(640, 480, "23.976 fps", 2, 1),
                 EstimateVideoBitrate(640, 480, "24", 2, 1));
        QCOMPARE(EstimateVideoBitrate(640, 480, "29.97 FPS", 2, 1),
                 EstimateVideoBitrate(640, 480, "30", 2, 1));
        QCOMPARE(EstimateVideoBitrate(640, 480, "fast", 2, 1), 1500);
        QCOMPARE(EstimateVideoBitrate(100000, 100000, "30", 4, 1), 1500); // 32-bit overflow

        for (const QSize size : {QSize(640, 480), QSize(320, 240), QSize(0, 0)}) {
            for (const int cap : {430, 1000, 3000, 100000}) {
                const QString choices = VideoBitrateChoices(size.width(), size.height(), cap);
                QVERIFY(choices.startsWith("Smart Fit;") && choices.endsWith("Custom;"));
                const QList<double> listed = Numbers(QString(choices).remove("Smart Fit;").remove("Custom;"));
                QVERIFY(std::is_sorted(listed.cbegin(), listed.cend()));
                const int max = MaxVideoBitrate(size.width(), size.height(), cap);
                QVERIFY(max <= cap);
                for (const double b : listed)
                    QVERIFY(b >= MinVideoBitrate(size.width(), size.height(), cap) && b <= max);
            }
        }
        QCOMPARE(MinVideoBitrate(640, 480, 430), 0);
        QCOMPARE(VideoBitrateChoices(640, 480, 0), QStringLiteral("-;"));
    }
};

TV_TEST_MAIN_CORE(EncodingParametersTest)
#include "tst_encodingparameters.moc"

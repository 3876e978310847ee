// The catalogs the program ships: read back byte for byte, every preset offerable by the
// settings editor, every button's default a real preset, and every preset a working output.
#include "CatalogFile.h"
#include "CatalogOperations.h"
#include "CatalogStartup.h"
#include "CatalogTable.h"
#include "Chooser.h"
#include "Cipher.h"
#include "EncodingParameters.h"
#include "Engine.h"
#include "FormatSettings.h"
#include "MediaGen.h"
#include "MediaProbe.h"
#include "OutputTabs.h"
#include "TestEnv.h"

using namespace tv;
using tv::test::Options;

namespace {

QString Field(const CatalogTable &table, int row, const QString &field) {
    return GetCatalogField(table, row, field);
}

QString Unfixed(QString value) {
    return value.remove('#');
}

// The channel chooser's position is the channel option, so its list must start at "Mono".
const QStringList kChannelOrder = {"Mono", "Stereo", "5.1 Surround"};

// What ffprobe calls the stream a codec display name makes ("8 bit"… for the PCM kinds).
QString ProbedCodec(const QString &codec, const QString &size) {
    static const QStringList pairs =
        QStringLiteral("MP3=mp3|AAC=aac|MPEG-2/4=aac|MP2=mp2|Ogg Vorbis=vorbis|Opus=opus|FLAC=flac|"
                       "IMA ADPCM=adpcm_ima_wav|Microsoft ADPCM=adpcm_ms|CCITT A-law=pcm_alaw|"
                       "CCITT u-law=pcm_mulaw|AC3=ac3|RealAudio 3.0 (dnet)=ac3|WMA=wmav2|MS GSM 6.10=gsm_ms|"
                       "AMR ACELP=amr_nb|PCM little-endian 8 bit=pcm_u8|PCM big-endian 8 bit=pcm_s8")
            .split('|');
    const QString key = codec.startsWith("PCM") ? codec + " " + size : codec;
    for (const QString &pair : pairs) {
        if (pair.section('=', 0, 0) == key)
            return pair.section('=', 1);
    }
    if (codec.startsWith("PCM")) // pcm_s16le, pcm_s24be…
        return "pcm_s" + size.left(2) + (codec.contains("little") ? "le" : "be");
    return QString();
}

} // namespace

class ShippedCatalogsTest : public QObject {
    Q_OBJECT
private:
    CatalogTable m_formats;
    CatalogTable m_presets;

    // The format-catalog row of the preset's container whose field holds the value.
    int FormatRow(const QString &format, const QString &field, const QString &value) const {
        for (int row = 1; row <= m_formats.rows(); ++row) {
            if (Field(m_formats, row, "Format") == format && Field(m_formats, row, field) == value)
                return row;
        }
        return 0;
    }

    static QString Describe(const CatalogTable &presets, int row) {
        return Field(presets, row, "ID") + " (" + Field(presets, row, "Keyword") + " / " +
               Field(presets, row, "Name") + ")";
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(LoadCatalogFile(m_formats, kShippedFormatCatalog, 0, true) > 20);
        QVERIFY(LoadCatalogFile(m_presets, kShippedPresetCatalog, 0, true) > 100);
    }

    void everyShippedFileReadsBackByteForByte() {
        const QList<QPair<QString, QString>> files = {{kShippedFormatCatalog, "format"},
                                                      {kShippedPresetCatalog, "preset"}};
        for (const auto &[resource, name] : files) {
            const QByteArray shipped = test::ReadFile(resource);
            QVERIFY(!shipped.isEmpty());
            CatalogTable table;
            const int rows = LoadCatalogFile(table, resource, 0, true);
            QCOMPARE(rows, static_cast<int>(shipped.count("\r\n")) - 1); // no line was lost
            const QString again = test::Home().path() + "/" + name + ".dat";
            QVERIFY(SaveCatalogFile(table, again, true));
            QCOMPARE(test::ReadFile(again), shipped);
            // The plain form is the reviewed source text.
            const QString plain = test::Home().path() + "/" + name + ".csv";
            QVERIFY(SaveCatalogFile(table, plain, false));
            QCOMPARE(test::ReadFile(plain),
                     test::ReadFile(QStringLiteral(TUNEVANE_SOURCE_DIR "/data/catalog/") + name + ".csv"));
        }
    }

    void everyFormatRowOffersWorkingChoices() {
        for (int row = 1; row <= m_formats.rows(); ++row) {
            const QString where = Field(m_formats, row, "Format") + " row " + QString::number(row);
            const QString codec = Field(m_formats, row, "AudioCodec");
            if (codec == kNotApplicable)
                continue;
            const QStringList rates = Options(Field(m_formats, row, "SampleRate"));
            const QStringList channels = Options(Field(m_formats, row, "Channels"));
            const QStringList sizes = Options(Field(m_formats, row, "AudioSize"));
            QVERIFY2(!rates.isEmpty() && !channels.isEmpty() && !sizes.isEmpty(), qPrintable(where));
            QVERIFY2(channels == kChannelOrder.mid(0, channels.size()), qPrintable(where));
            QVERIFY2(!CodecOption(codec, sizes.first()).isEmpty(), qPrintable(where + ": " + codec));

            // The row's bitrate list is every choice any of its combinations offers, and no
            // combination leaves the bitrate chooser empty.
            QSet<QString> offered;
            for (const QString &rate : rates) {
                for (const QString &channel : channels) {
                    for (const QString &size : sizes) {
                        const QStringList choices = Options(AudioBitrateChoices(codec, rate, channel, size));
                        QVERIFY2(!choices.isEmpty(),
                                 qPrintable(where + ": " + rate + " " + channel + " " + size));
                        offered.unite(QSet<QString>(choices.cbegin(), choices.cend()));
                    }
                }
            }
            const QStringList listed = Options(Field(m_formats, row, "AudioBitrate"));
            QCOMPARE(QSet<QString>(listed.cbegin(), listed.cend()), offered);
            QCOMPARE(listed.size(), offered.size());
        }
    }

    void everyPresetIsAmongItsRowsOptions() {
        QSet<QString> ids;
        QSet<QString> names;
        const QStringList makers = {kVideoMaker, kDeviceMaker, kAudioMaker, kWebMaker};
        for (int row = 1; row <= m_presets.rows(); ++row) {
            const QString what = Describe(m_presets, row);
            const QString id = Field(m_presets, row, "ID");
            QVERIFY2(!id.isEmpty() && !ids.contains(id), qPrintable(what));
            ids.insert(id);
            const QString nameKey = Field(m_presets, row, "Maker") + "|" + Field(m_presets, row, "Keyword") +
                                    "|" + Field(m_presets, row, "Name");
            QVERIFY2(!names.contains(nameKey), qPrintable("two presets of one button share a name: " + what));
            names.insert(nameKey);
            QVERIFY2(makers.contains(Field(m_presets, row, "Maker")), qPrintable(what));
            QVERIFY2(!Field(m_presets, row, "Removable").isEmpty() &&
                         Field(m_presets, row, "Removable") != "Yes",
                     qPrintable(what));
            QVERIFY2(QFile::exists(QStringLiteral(TUNEVANE_SOURCE_DIR "/data/skin/Light/") +
                                   Field(m_presets, row, "Thumbnail") + ".svg"),
                     qPrintable(what));
            QVERIFY2(QStringList({"High", "Standard", "SmallSize"})
                         .contains(Unfixed(Field(m_presets, row, "QualityLevel"))),
                     qPrintable(what));

            const QString format = Field(m_presets, row, "Format");
            const int video = FormatRow(format, "VideoCodec", Unfixed(Field(m_presets, row, "VideoCodec")));
            const int audio = FormatRow(format, "AudioCodec", Unfixed(Field(m_presets, row, "AudioCodec")));
            QVERIFY2(video > 0, qPrintable(what + ": no video codec row"));
            QVERIFY2(audio > 0, qPrintable(what + ": no audio codec row"));

            // (That the choosers can show every other value is the format settings' test.)
            const QString aspects = Field(m_formats, video, "AspectRatio");
            const QString aspect = Field(m_presets, row, "AspectRatio");
            if (aspects == kNotApplicable)
                QVERIFY2(aspect == kNotApplicable, qPrintable(what + ": " + aspect));
            else
                QVERIFY2((aspects == "UseAspectRatioLib" ? AspectRatioTable() : Options(aspects))
                             .contains(Unfixed(aspect)),
                         qPrintable(what + ": " + aspect));

            const int width = Unfixed(Field(m_presets, row, "Width")).toInt();
            const int height = Unfixed(Field(m_presets, row, "Height")).toInt();
            const QString frameSizes = Field(m_formats, video, "FrameSize");
            if (frameSizes == kNotApplicable) {
                QVERIFY2(width == 0 && height == 0, qPrintable(what));
            } else {
                QCOMPARE(frameSizes, QStringLiteral("UseFrameLib"));
                const QString size = width == 0 && height == 0
                                         ? QStringLiteral("Original")
                                         : QStringLiteral("%1 x %2").arg(width).arg(height);
                QVERIFY2(PictureSizeTable().contains(size), qPrintable(what + ": " + size));
            }
            const QString videoBitrate = Unfixed(Field(m_presets, row, "VideoBitrate"));
            const int cap = Field(m_formats, video, "MaxVideoBitrate").toInt();
            if (videoBitrate != "Smart Fit") {
                const QStringList choices = Options(VideoBitrateChoices(width, height, cap));
                QVERIFY2(choices.contains(videoBitrate + " kbps") || (cap == 0 && videoBitrate == "0"),
                         qPrintable(what + ": video bitrate " + videoBitrate));
            }
        }
    }

    void everyButtonStartsAtItsRecommendedPreset() {
        const RememberedPresets remembered;
        for (int tab = 0; tab < kButtonTabCount; ++tab) {
            const QStringList keywords =
                SplitBarList(CollectKeywords(m_presets, FixedTabMaker(tab)).keywords);
            QVERIFY2(!keywords.isEmpty(), qPrintable(FixedTabMaker(tab)));
            for (int button = 0; button < keywords.size(); ++button) {
                ChoiceList chooser;
                FillPresetChooser(m_presets, FixedTabMaker(tab), keywords.at(button), chooser);
                const int index = std::max(0, remembered.index(tab, button));
                const QString what = keywords.at(button) + " on tab " + QString::number(tab);
                QVERIFY2(chooser.entryCount() >= 2, qPrintable(what + " offers a single preset"));
                QVERIFY2(index < chooser.entryCount(), qPrintable(what));
                QVERIFY2(chooser.entryText(index) != kCustomPresetEntry, qPrintable(what));
            }
        }
    }

    void startupLoadsShippedThenUserCatalogsAndRefusesEmptyOnes() {
        CatalogTable formats;
        CatalogTable presets;
        QCOMPARE(LoadShippedCatalogs(formats, presets), QString());
        QCOMPARE(formats.rows(), m_formats.rows());
        QCOMPARE(presets.rows(), m_presets.rows());

        // A catalog that cannot be read, or holds no rows, is said, never used as an empty table.
        CatalogTable broken;
        CatalogTable none;
        const QString empty = test::WriteFile(test::Home().path() + "/empty.dat", QByteArray());
        QVERIFY(LoadShippedCatalogs(broken, none, kShippedFormatCatalog, empty).contains("preset catalog"));
        QVERIFY(LoadShippedCatalogs(broken, none, test::Home().path() + "/missing.dat", kShippedPresetCatalog)
                    .contains("format catalog"));

        // User presets are appended (readable rows only), then favorites load.
        const auto line = [](const QStringList &cells) {
            return EncipherLine(JoinCatalogLine(cells).toUtf8()) + "\r\n";
        };
        QByteArray user = line(presets.captions());
        CatalogTable mine;
        for (const QString &caption : presets.captions())
            mine.addColumn(caption, 200);
        AddCatalogRow(mine, "My preset//User-AB12345CD//AudioFormat//MP3", 0, false);
        SetCatalogField(mine, 1, "Removable", "Yes", true, true);
        user += line(mine.rowCells(1));
        user += "0F0F0\r\n"; // a damaged line
        const QString userFile = test::WriteFile(test::Home().path() + "/user/presets.dat", user);
        const QString favoritesFile = test::WriteFile(test::Home().path() + "/fav/favorites.dat", user);
        CatalogTable favorites;
        LoadUserCatalogs(presets, favorites, userFile, favoritesFile);
        QCOMPARE(presets.rows(), m_presets.rows() + 1);
        QCOMPARE(Field(presets, presets.rows(), "ID"), QStringLiteral("User-AB12345CD"));
        QCOMPARE(favorites.rows(), 1);
        LoadUserCatalogs(presets, favorites, userFile + ".missing", favoritesFile + ".missing");
        QCOMPARE(presets.rows(), m_presets.rows() + 1);
        QCOMPARE(favorites.rows(), 1);
    }

    void everyPresetMakesAFileOfItsKind() {
        const QString in = test::Home().path() + "/in/tone.wav";
        QVERIFY(test::GenerateTone(in, 1.0));
        const QString out = test::Home().path() + "/out/";
        QDir().mkpath(out);

        // Presets with the same audio parameters make the same file; each kind is made once.
        struct Made {
            int presetRow;
            QString path;
        };
        QList<Made> made;
        QSet<QString> kinds;
        Engine engine;
        int batchEnds = 0;
        QHash<int, QString> failures;
        connect(&engine, &Engine::JobFinished, this,
                [&](int job, bool succeeded, bool, const QString &message) {
                    if (job == -1)
                        ++batchEnds;
                    else if (!succeeded)
                        failures.insert(job, message);
                });
        for (int row = 1; row <= m_presets.rows(); ++row) {
            // The job the settings give once the preset is chosen.
            JobParameters job = PresetJobParameters(m_formats, m_presets, row);
            job.TrimStart = "00:00:00.000";
            job.TrimDuration = "00:00:00.600";
            const QString kind =
                QStringList({job.AudioCodec, job.FileExtention, QString::number(job.Channels),
                             job.AudioBitrate, job.SampleRate, job.AudioSize})
                    .join('|');
            if (kinds.contains(kind))
                continue;
            kinds.insert(kind);
            const int index = engine.AddJob(in, " -ss " + job.TrimStart);
            QVERIFY(index >= 0);
            const QString path = out + QString::number(index) + "." + job.FileExtention;
            QVERIFY2(engine.SetJobOutput(index, path, BuildAudioArguments(job)) >= 0,
                     qPrintable(Describe(m_presets, row) + ": " + engine.LastErrorText()));
            made.append({row, path});
        }
        engine.StartJobs(0);
        QTRY_COMPARE_WITH_TIMEOUT(batchEnds, 1, 240000);

        for (int job = 0; job < made.size(); ++job) {
            const int row = made.at(job).presetRow;
            const QString what = Describe(m_presets, row);
            QVERIFY2(!failures.contains(job), qPrintable(what + ": " + failures.value(job)));
            const test::ProbedAudio probed = test::ProbeWithFFprobe(made.at(job).path);
            QVERIFY2(probed.ok, qPrintable(what));
            QCOMPARE(probed.codec,
                     ProbedCodec(Field(m_presets, row, "AudioCodec"), Field(m_presets, row, "AudioSize")));
            QCOMPARE(probed.sampleRate, Field(m_presets, row, "SampleRate").remove(" Hz").toInt());
            QCOMPARE(probed.channels,
                     QList<int>({1, 2, 6}).at(kChannelOrder.indexOf(Field(m_presets, row, "Channels"))));
            QCOMPARE(probed.videoStreams, 0);

            // The length is the cut's: exact for PCM and FLAC; lossy codecs add their priming and
            // fill their last frame, block codecs their last block.
            const QString codec = Field(m_presets, row, "AudioCodec").remove('#');
            const double length = test::DecodedDuration(made.at(job).path);
            const double slack = codec.contains("ADPCM") || codec.contains("GSM") ? 0.1
                                 : codec.startsWith("PCM") || codec.startsWith("CCITT") || codec == "FLAC"
                                     ? 0.001
                                     : 0.07;
            QVERIFY2(qAbs(length - 0.6) <= slack, qPrintable(what + ": " + QString::number(length)));

            // Constant-bitrate codecs keep the chosen bitrate. (AMR is left out: its option text
            // carries whole kilobits, so 4.75 and 5.15 both arrive as 5k and the nearest mode wins.)
            static const QStringList kConstant =
                QStringLiteral("MP3|MP2|AC3|RealAudio 3.0 (dnet)|PCM "
                               "little-endian|PCM big-endian|CCITT A-law|CCITT u-law")
                    .split('|');
            if (kConstant.contains(codec)) {
                const double wanted =
                    Field(m_presets, row, "AudioBitrate").remove('#').remove("kbps").trimmed().toDouble() *
                    1000;
                QVERIFY2(qAbs(probed.bitRate - wanted) <= wanted * 0.1,
                         qPrintable(what + ": " + QString::number(probed.bitRate) + " vs " +
                                    QString::number(wanted)));
            }
        }
    }
};

TV_TEST_MAIN_CORE(ShippedCatalogsTest)
#include "tst_shippedcatalogs.moc"

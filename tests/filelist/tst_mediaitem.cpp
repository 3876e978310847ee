// The media item's fields and columns, the duration halves and texts, the display captions of the
// information panel and the open-file dialog's filters.
#include "MediaCaptions.h"
#include "MediaDuration.h"
#include "MediaItem.h"
#include "OpenFileFilter.h"
#include "TestEnv.h"

using namespace tv;

class MediaItemTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Columns and fields map onto each other, except that two captions name one shared field.
    void captionsColumnsAndFieldsMapOntoEachOther() {
        const QStringList &captions = ColumnCaptions();
        QCOMPARE(ItemIndex("AudioDurationLow"), ItemIndex("Tag_Language"));
        QCOMPARE(ItemIndex("NoSuchField"), -1);
        for (int column = 0; column < captions.size(); ++column) {
            QCOMPARE(ColumnItem(column), ItemIndex(captions[column]));
            if (captions[column] != "Tag_Language")
                QCOMPARE(ItemColumn(ColumnItem(column)), column);
        }
        QCOMPARE(ItemColumn(ColumnItem(captions.size() - 1) + 1), -1);

        MediaItem item;
        QVERIFY(item.setValue("Tag_Language", "eng"));
        QCOMPARE(item.value("AudioDurationLow"), QStringLiteral("eng"));
        QVERIFY(!item.setValue("Bogus", "x"));
        item[Item::FilePath] = "/music/";
        item[Item::FileName] = "a b.mp3";
        QCOMPARE(item.inputPath(), QStringLiteral("/music/a b.mp3"));
    }

    void durationsSplitIntoHalvesAndReadBackFromText() {
        // The unknown pair is low 0, high 0x80000000, the smallest 64-bit value.
        const DurationHalves unknown = SplitDuration(kUnknownDuration);
        QCOMPARE(unknown.low, 0);
        QCOMPARE(static_cast<quint32>(unknown.high), 0x80000000u);
        QVERIFY(IsUnknownDuration(unknown.low, unknown.high));
        QVERIFY(!IsUnknownDuration(0, 0));
        QVERIFY(!IsUnknownDuration(1, static_cast<qint32>(0x80000000u)));
        // Beyond 32 bits the high half counts; a low half above 2^31 reads negative.
        for (const qint64 value : {5000LL * 1000000LL + 123, 3000LL * 1000000LL, -5LL}) {
            const DurationHalves halves = SplitDuration(value);
            QCOMPARE(JoinDuration(halves.low, halves.high), value);
        }
        QVERIFY(SplitDuration(3000LL * 1000000LL).low < 0);

        QCOMPARE(DurationToText(3723456789LL), QStringLiteral("01:02:03.456"));
        QCOMPARE(TextToDuration("01:02:03.456"), 3723456000LL);
        QCOMPARE(TextToDuration("00:00:07.5"), 7500000LL);
        QCOMPARE(TextToDuration("nonsense"), 0LL);
        QCOMPARE(DurationSecondsText(999999), QStringLiteral("1.00"));
        QCOMPARE(SecondsTextToSeconds("61.50"), 61.5);
    }

    void extensionsGiveTheFileType() {
        QCOMPARE(FileTypeOf("Flac"), QStringLiteral("AUDIO"));
        // A piece of a list entry or the delimiter itself is no extension (and counts as "CD").
        for (const char *other : {"cda", "", "mp", "mp3|wav"})
            QCOMPARE(FileTypeOf(other), QStringLiteral("CD"));
        QVERIFY(IsMediaExtension("XA"));
        QVERIFY(!IsMediaExtension("jpg"));
    }

    void captionsOfBitratesChannelsCodecsAndAspectRatios() {
        QCOMPARE(BitrateCaption("127999"), QStringLiteral("127 kbps"));
        QCOMPARE(BitrateCaption("-1"), QStringLiteral("-1"));
        QCOMPARE(ChannelsCaption("1"), QStringLiteral("1 Channel (Mono)"));
        QCOMPARE(ChannelsCaption("6"), QStringLiteral("6 Channels"));
        QCOMPARE(ChannelsCaption("0"), QStringLiteral("0"));
        QCOMPARE(StripParentheses("vorbis"), QStringLiteral("vorbis"));

        // Named ratios win; then the rounded value; then width / height.
        QCOMPARE(AspectRatioCaption(AspectRatioText(1920, 1080, 16, 9, 1.7777)),
                 QStringLiteral("1.78:1 - (16:9)  Widescreen"));
        QCOMPARE(AspectRatioCaption("1.71"), QStringLiteral("1.71:1"));
        QCOMPARE(AspectRatioText(1000, 417, 0, 0, 2.398), QStringLiteral("2.4"));
        QCOMPARE(AspectRatioCaption("2.4"), QStringLiteral("2.40:1 - (Widescreen Cinema Standard)"));
        // No picture: -1 x -1 gives "1", shown as "1:1"; no height gives nothing.
        QCOMPARE(AspectRatioCaption(AspectRatioText(-1, -1, 0, 0, 0)), QStringLiteral("1:1"));
        QCOMPARE(AspectRatioText(100, 0, 0, 0, 0), QString());
        QCOMPARE(AspectRatioCaption("1,85"), QStringLiteral("1.85:1"));
        // The decimal mark stays "." in a locale that writes ",".
        QLocale::setDefault(QLocale(QLocale::German));
        const QString german = AspectRatioText(1024, 600, 0, 0, 0);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(german, QStringLiteral("1.71"));
    }

    void informationLinesSayWhatIsNotAvailable() {
        MediaItem audio;
        audio[Item::Duration] = "00:03:05";
        audio[Item::VideoWidth] = "-1";
        audio[Item::VideoHeight] = "-1";
        audio[Item::VideoBitRate] = "0";
        audio[Item::VideoFrameRateNumerator] = "0";
        audio[Item::VideoSampleAspectRatio] = "1";
        audio[Item::AudioSampleRate] = "44100";
        audio[Item::AudioChannels] = "2";
        const auto lines = InputInfoLines(audio, "MP3 audio");
        QCOMPARE(lines[0].text, QStringLiteral("MP3 audio"));
        for (int i = 2; i <= 6; ++i) {
            QCOMPARE(lines[static_cast<std::size_t>(i)].text, QStringLiteral("Not Available"));
            QVERIFY(!lines[static_cast<std::size_t>(i)].available);
        }
        QCOMPARE(lines[8].text, QStringLiteral("44100 Hz"));
        QVERIFY(lines[8].available);

        MediaItem video = audio;
        video[Item::VideoWidth] = "1280";
        video[Item::VideoHeight] = "720";
        video[Item::VideoBitRate] = "2500000";
        video[Item::VideoFrameRateNumerator] = "29";
        const auto v = InputInfoLines(video, "");
        QCOMPARE(v[0].text, QStringLiteral("Not Available"));
        QCOMPARE(v[3].text, QStringLiteral("1280 x 720 pixels"));
        QCOMPARE(v[4].text, QStringLiteral("2500 kbps"));
        QCOMPARE(v[5].text, QStringLiteral("29 frames/second"));

        // An item without fields: the bare " x " of the resolution is hidden, the aspect's ":1" is not.
        const auto e = InputInfoLines(MediaItem(), "x");
        QVERIFY(!e[0].available && !e[3].available);
        QCOMPARE(e[6].text, QStringLiteral(":1"));
    }

    void everyFilterOfTheOpenDialogNamesItsPatterns() {
        const QStringList filters = OpenFileNameFilters();
        QVERIFY(filters.size() > 3);
        QCOMPARE(filters.size(), OpenFileFilterTable().filter(QRegularExpression("\\S")).size());
        static const QRegularExpression shape(R"(^[^()]+ \((\*\.[0-9a-z-]+)( \*\.[0-9a-z-]+)*\)$)");
        QCOMPARE(filters.last(), QStringLiteral("All Files (*)"));
        for (const QString &filter : filters.mid(0, filters.size() - 1))
            QVERIFY2(shape.match(filter).hasMatch(), qPrintable(filter));
        QCOMPARE(filters.at(0).count("*.mpa"), 1); // in both lists, offered once
    }
};

TV_TEST_MAIN_CORE(MediaItemTest)
#include "tst_mediaitem.moc"

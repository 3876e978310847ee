// The media item's fields and columns, the duration halves, the extension lists, the display
// captions of the information panel and the open-file filter table.
#include "MediaCaptions.h"
#include "MediaDuration.h"
#include "MediaItem.h"
#include "OpenFileFilter.h"
#include "TestEnv.h"

using namespace tv;

class MediaItemTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fieldsByIndexAndCaption() {
        QCOMPARE(ColumnCaptions().size(), 46);
        // Both captions of item 27 name the same field; the columns after it are shifted by one.
        QCOMPARE(ItemIndex("AudioDurationLow"), 27);
        QCOMPARE(ItemIndex("Tag_Language"), 27);
        QCOMPARE(ItemIndex("Tag_Track"), 28);
        QCOMPARE(ItemIndex("ErrMsg"), 44);
        QCOMPARE(ItemIndex("NoSuchField"), -1);
        QCOMPARE(ColumnItem(28), 27);
        QCOMPARE(ColumnItem(45), 44);
        QCOMPARE(ItemColumn(44), 45);
        QCOMPARE(ItemColumn(45), -1);

        MediaItem item;
        QVERIFY(item.setValue("Tag_Language", "eng"));
        QCOMPARE(item.value("AudioDurationLow"), QStringLiteral("eng"));
        QVERIFY(!item.setValue("Bogus", "x"));
        item[Item::FilePath] = "/music/";
        item[Item::FileName] = "a b.mp3";
        QCOMPARE(item.inputPath(), QStringLiteral("/music/a b.mp3"));
    }

    void durationHalves() {
        // The unknown pair is low 0, high 0x80000000, the smallest 64-bit value.
        const DurationHalves unknown = SplitDuration(kUnknownDuration);
        QCOMPARE(unknown.low, 0);
        QCOMPARE(static_cast<quint32>(unknown.high), 0x80000000u);
        QVERIFY(IsUnknownDuration(unknown.low, unknown.high));
        QVERIFY(!IsUnknownDuration(0, 0));
        QVERIFY(!IsUnknownDuration(1, static_cast<qint32>(0x80000000u)));

        // Values beyond 32 bits keep their high half, and a low half above 2^31 reads negative.
        const qint64 long_ = 5000LL * 1000000LL + 123;
        const DurationHalves halves = SplitDuration(long_);
        QCOMPARE(halves.high, 1);
        QCOMPARE(halves.low, static_cast<qint32>(static_cast<quint32>(long_ & 0xFFFFFFFF)));
        QCOMPARE(halves.low, 705032827);
        QCOMPARE(JoinDuration(halves.low, halves.high), long_);
        const DurationHalves fiftyMinutes = SplitDuration(3000LL * 1000000LL);
        QCOMPARE(fiftyMinutes.high, 0);
        QVERIFY(fiftyMinutes.low < 0);
        QCOMPARE(JoinDuration(fiftyMinutes.low, fiftyMinutes.high), 3000LL * 1000000LL);
        QCOMPARE(JoinDuration(SplitDuration(-5).low, SplitDuration(-5).high), qint64(-5));

        QCOMPARE(DurationToText(3723456789LL), QStringLiteral("01:02:03.456"));
        QCOMPARE(TextToDuration("01:02:03.456"), 3723456000LL);
        QCOMPARE(TextToDuration("00:00:07.5"), 7500000LL);
        QCOMPARE(TextToDuration("nonsense"), 0LL);
        QCOMPARE(TextToDuration(DurationToText(3723456000LL)), 3723456000LL);
        QCOMPARE(DurationSecondsText(1234567), QStringLiteral("1.23"));
        QCOMPARE(DurationSecondsText(999999), QStringLiteral("1.00"));
        QCOMPARE(SecondsTextToSeconds("61.50"), 61.5);
        QCOMPARE(SecondsToDuration(DurationToSeconds(61500000)), 61500000LL);
    }

    void extensionsAndTypes() {
        // mpa is in both lists and counts as video; unknown extensions are "CD".
        QCOMPARE(FileTypeOf("mpa"), QStringLiteral("VIDEO"));
        QCOMPARE(FileTypeOf("mp3"), QStringLiteral("AUDIO"));
        QCOMPARE(FileTypeOf("Flac"), QStringLiteral("AUDIO"));
        QCOMPARE(FileTypeOf("cda"), QStringLiteral("CD"));
        QCOMPARE(FileTypeOf(""), QStringLiteral("CD"));
        // A piece of a list entry or the delimiter itself is not an extension.
        QCOMPARE(FileTypeOf("mp"), QStringLiteral("CD"));
        QCOMPARE(FileTypeOf("mp3|wav"), QStringLiteral("CD"));
        QVERIFY(IsMediaExtension("XA"));
        QVERIFY(!IsMediaExtension("txt"));
        QVERIFY(!IsMediaExtension("jpg"));
    }

    void captions() {
        QCOMPARE(BitrateCaption("128000"), QStringLiteral("128 kbps"));
        QCOMPARE(BitrateCaption("127999"), QStringLiteral("127 kbps"));
        QCOMPARE(BitrateCaption("999"), QStringLiteral("0 kbps"));
        QCOMPARE(BitrateCaption("-1"), QStringLiteral("-1"));
        QCOMPARE(BitrateCaption(" 0 "), QStringLiteral(" 0 "));

        QCOMPARE(ChannelsCaption("1"), QStringLiteral("1 Channel (Mono)"));
        QCOMPARE(ChannelsCaption("2"), QStringLiteral("2 Channels (Stereo)"));
        QCOMPARE(ChannelsCaption("6"), QStringLiteral("6 Channels"));
        QCOMPARE(ChannelsCaption("0"), QStringLiteral("0"));
        QCOMPARE(ChannelsCaption("-1"), QStringLiteral("-1"));

        QCOMPARE(StripParentheses("mp3 (MP3 (MPEG audio layer 3))"),
                 QStringLiteral("MP3 (MPEG audio layer 3)"));
        QCOMPARE(StripParentheses("pcm_s16le (PCM signed 16-bit little-endian)"),
                 QStringLiteral("PCM signed 16-bit little-endian"));
        QCOMPARE(StripParentheses("vorbis"), QStringLiteral("vorbis"));
        QCOMPARE(StripParentheses("x (y"), QStringLiteral("y"));
    }

    void aspectRatios() {
        // Named ratios win; then the rounded value; then width / height.
        QCOMPARE(AspectRatioText(1920, 1080, 16, 9, 1.7777), QStringLiteral("1.78"));
        QCOMPARE(AspectRatioCaption(AspectRatioText(1920, 1080, 16, 9, 1.7777)),
                 QStringLiteral("1.78:1 - (16:9)  Widescreen"));
        QCOMPARE(AspectRatioText(1024, 600, 0, 0, 0), QStringLiteral("1.71"));
        QCOMPARE(AspectRatioCaption("1.71"), QStringLiteral("1.71:1"));
        QCOMPARE(AspectRatioText(720, 576, 3, 2, 1.5), QStringLiteral("1.50"));
        QCOMPARE(AspectRatioCaption("1.50"), QStringLiteral("1.50:1"));
        QCOMPARE(AspectRatioCaption("1.5"), QStringLiteral("1.50:1 - (3:2)"));
        QCOMPARE(AspectRatioText(1998, 1080, 37, 20, 1.85), QStringLiteral("1.85"));
        QCOMPARE(AspectRatioText(1000, 417, 0, 0, 2.398), QStringLiteral("2.4"));
        QCOMPARE(AspectRatioCaption("2.4"), QStringLiteral("2.40:1 - (Widescreen Cinema Standard)"));
        QCOMPARE(AspectRatioCaption("1.66"), QStringLiteral("1.66:1 - (5:3)  Super 16mm"));
        // No picture: -1 x -1 gives "1", shown as "1:1".
        QCOMPARE(AspectRatioText(-1, -1, 0, 0, 0), QStringLiteral("1"));
        QCOMPARE(AspectRatioCaption("1"), QStringLiteral("1:1"));
        QCOMPARE(AspectRatioText(300, 200, 0, 0, 0), QStringLiteral("1.5"));
        QCOMPARE(AspectRatioText(100, 0, 0, 0, 0), QString());
        QCOMPARE(AspectRatioCaption("1,85"), QStringLiteral("1.85:1"));

        // The decimal mark stays "." in a locale that writes ",".
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(AspectRatioText(1024, 600, 0, 0, 0), QStringLiteral("1.71"));
        QLocale::setDefault(QLocale::c());
    }

    void inputInfoLines() {
        MediaItem audio;
        audio[Item::Duration] = "00:03:05";
        audio[Item::VideoCodecName] = "";
        audio[Item::VideoWidth] = "-1";
        audio[Item::VideoHeight] = "-1";
        audio[Item::VideoBitRate] = "0";
        audio[Item::VideoFrameRateNumerator] = "0";
        audio[Item::VideoSampleAspectRatio] = "1";
        audio[Item::AudioCodecName] = "MP3 (MPEG audio layer 3)";
        audio[Item::AudioSampleRate] = "44100";
        audio[Item::AudioBitRate] = "192000";
        audio[Item::AudioChannels] = "2";
        const auto lines = InputInfoLines(audio, "MP3 audio");
        const QStringList expected{
            "MP3 audio",     "00:03:05",      "Not Available",      "Not Available",
            "Not Available", "Not Available", "Not Available",      "MP3 (MPEG audio layer 3)",
            "44100 Hz",      "192 kbps",      "2 Channels (Stereo)"};
        for (int i = 0; i < kInputInfoLineCount; ++i) {
            QCOMPARE(lines[static_cast<std::size_t>(i)].text, expected.at(i));
            QCOMPARE(lines[static_cast<std::size_t>(i)].available, expected.at(i) != "Not Available");
        }

        MediaItem video = audio;
        video[Item::VideoCodecName] = "H.264 / AVC";
        video[Item::VideoWidth] = "1280";
        video[Item::VideoHeight] = "720";
        video[Item::VideoBitRate] = "2500000";
        video[Item::VideoFrameRateNumerator] = "29";
        video[Item::VideoSampleAspectRatio] = "1.78";
        video[Item::AudioChannels] = "1";
        const auto v = InputInfoLines(video, "");
        QCOMPARE(v[0].text, QStringLiteral("Not Available"));
        QCOMPARE(v[3].text, QStringLiteral("1280 x 720 pixels"));
        QCOMPARE(v[4].text, QStringLiteral("2500 kbps"));
        QCOMPARE(v[5].text, QStringLiteral("29 frames/second"));
        QCOMPARE(v[6].text, QStringLiteral("1.78:1 - (16:9)  Widescreen"));
        QCOMPARE(v[10].text, QStringLiteral("1 Channel (Mono)"));

        // An item without fields: the bare " x " of the resolution is hidden, the aspect's ":1" is not.
        MediaItem empty;
        const auto e = InputInfoLines(empty, "x");
        QCOMPARE(e[0].available, false); // "x" is one of the hidden values
        QCOMPARE(e[3].available, false);
        QCOMPARE(e[6].text, QStringLiteral(":1"));
    }

    void openFileFilterTable() {
        const QStringList table = OpenFileFilterTable();
        QCOMPARE(OpenFileFilter(), table.mid(0, 62).join(QString()));

        // The dialog's filters: ";" become blanks, and empty patterns go; every file at the end.
        const QStringList filters = OpenFileNameFilters();
        QCOMPARE(filters.size(), 62);
        QCOMPARE(filters.last(), QStringLiteral("All Files (*)"));
        QCOMPARE(filters.at(28), QStringLiteral("3GPP2 Files (*.3gp2 *.3g2 *.3gpp2)"));
        QCOMPARE(filters.at(32), QStringLiteral("Anime Music Video Files (*.amv)"));
        QCOMPARE(filters.at(0).count("*.mpa"), 1);
    }
};

TV_TEST_MAIN_CORE(MediaItemTest)
#include "tst_mediaitem.moc"

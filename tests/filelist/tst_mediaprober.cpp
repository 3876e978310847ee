// Probing files into media items with the FFmpeg libraries: the fields of audio and video
// files, the rules of adding (short files, frame rates, aspect texts, "0" values), thumbnails
// and covers, the tag reader's place, and files that cannot be read.
#include "Config.h"
#include "MediaGen.h"
#include "MediaProber.h"
#include "MediaScan.h"
#include "TagReaderHook.h"
#include "TestEnv.h"

#include <QImage>
#include <sys/stat.h>
#include <unistd.h>

using namespace tv;

class MediaProberTest : public QObject {
    Q_OBJECT
private:
    QString m_dir;
    QString m_temp;

    QString media(const QString &name) const { return m_dir + "/" + name; }

    ProbeOutcome probe(const QString &path, int mode = kImportModeSkipShort) const {
        ProbeOptions options;
        options.importMode = mode;
        options.tempFolder = m_temp;
        return ProbeFile(path, options);
    }

    static QStringList Fields(const MediaItem &item, std::initializer_list<int> fields) {
        QStringList values;
        for (int field : fields)
            values << item[field];
        return values;
    }

    static QColor centre(const QString &picture) {
        const QImage image(picture);
        return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
    }

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        m_dir = test::Home().path() + "/media";
        m_temp = test::Home().path() + "/temp/";
        QVERIFY(QDir().mkpath(m_temp));
        QVERIFY(test::GenerateTone(media("short.wav"), 0.6));
        QVERIFY(test::GenerateTone(media("one second.wav"), 1.0));
        QVERIFY(test::GenerateTaggedTone(media("tagged.mp3"), 2.0,
                                         {"title=Morning Song", "artist=The Band", "album=First Light",
                                          "date=2021", "genre=Folk", "track=3/12", "copyright=CC-BY",
                                          "comment=take two", "composer=Someone"},
                                         QString(), {"-b:a", "128k", "-ac", "2"}));
        QVERIFY(test::GenerateTone(media("zero title.mp3"), 1.5, 22050, 1,
                                   {"-metadata", "title=0", "-metadata", "artist= 0 "}));
        QVERIFY(test::GenerateTone(
            media("english.mka"), 1.5, 48000, 2,
            {"-c:a", "flac", "-metadata:s:a:0", "language=eng", "-metadata", "album=Mka Album"}));
        QVERIFY(test::GenerateVideo(media("ntsc.mp4"), 2.0, 320, 180, "30000/1001"));
        QVERIFY(test::GenerateVideo(media("wide.mkv"), 1.0, 1024, 600, "25", {"-vf", "setsar=0"}));
        QVERIFY(test::GenerateVideoWithSubtitles(media("subtitled.mkv"), 1.5, {"eng", "deu"}));
        QVERIFY(test::GeneratePicture(media("cover.png"), 80, 80));
        QVERIFY(test::GenerateTaggedTone(media("covered.mp3"), 1.5, {}, media("cover.png")));
        // Red until 6.5 s, then blue: a thumbnail taken at 7 s is blue, one at 0.1 s is red.
        QVERIFY(test::RunFFmpeg(
            QString("-f lavfi -i color=c=red:s=160x120:d=6.5 -f lavfi -i color=c=blue:s=160x120:d=4 -f lavfi "
                    "-i sine=duration=10.5 -filter_complex [0:v][1:v]concat=n=2:v=1:a=0[v] -map [v] -map 2:a "
                    "-pix_fmt yuv420p")
                .split(' ') +
            QStringList{media("red then blue.mp4")}));
        QVERIFY(test::RunFFmpeg({"-f", "lavfi", "-i", "color=c=red:s=160x120:d=6", "-pix_fmt", "yuv420p",
                                 media("red six seconds.mkv")}));
        QVERIFY(test::GenerateTone(media("layer2.mpa"), 1.2, 44100, 2, {"-f", "mp2"}));
        QVERIFY(test::GenerateTone(media("unknown.xyz"), 1.2, 44100, 2, {"-f", "wav"}));
    }

    void shortFilesAreSkippedInImportModeTwo() {
        const ProbeOutcome shortOne = probe(media("short.wav"));
        QCOMPARE(shortOne.kind, ProbeOutcome::Skipped);
        QCOMPARE(shortOne.item[Item::Name], QString());

        const ProbeOutcome oneSecond = probe(media("one second.wav"));
        QCOMPARE(oneSecond.kind, ProbeOutcome::Added);
        QCOMPARE(Fields(oneSecond.item, {Item::Duration, Item::FileDurationInMs, Item::TrimDuration}),
                 (QStringList{"00:00:01", "1.00", "00:00:01.000"}));

        const ProbeOutcome kept = probe(media("short.wav"), 1);
        QCOMPARE(kept.kind, ProbeOutcome::Added);
        QCOMPARE(Fields(kept.item, {Item::Duration, Item::FileDurationInMs}),
                 (QStringList{"00:00:00", "0.60"}));
    }

    void anAudioFileGivesEveryFieldOfItsRow() {
        const ProbeOutcome o = probe(media("tagged.mp3"));
        QCOMPARE(o.kind, ProbeOutcome::Added);
        const MediaItem &item = o.item;
        QCOMPARE(Fields(item, {Item::Name, Item::Format, Item::Duration, Item::FileName, Item::TrimStart,
                               Item::FileType, Item::Thumbnail, Item::VideoStream, Item::AudioStream,
                               Item::SubtitleStream, Item::SubtitleCount}),
                 (QStringList{"tagged", "MP3", "00:00:02", "tagged.mp3", "00:00:00.000", "AUDIO", "", "False",
                              "True", "0", "0"}));
        QCOMPARE(Fields(item, {Item::VideoStreamCount, Item::AudioStreamCount, Item::VideoWidth,
                               Item::VideoHeight, Item::VideoFrameRateNumerator, Item::VideoSampleAspectRatio,
                               Item::AudioCodecName, Item::AudioBitRate, Item::AudioSampleRate,
                               Item::AudioChannels, Item::AudioBitsDepth}),
                 (QStringList{"0", "1", "-1", "-1", "0", "1", "MP3 (MPEG audio layer 3)", "128000", "44100",
                              "2", "16"}));
        QCOMPARE(item[Item::FilePath], m_dir + "/");
        const double seconds = item[Item::FileDurationInMs].toDouble();
        QVERIFY2(seconds >= 2.0 && seconds < 2.2, qPrintable(item[Item::FileDurationInMs]));
        QVERIFY(qAbs(item[Item::FileDuration].toLongLong() / 1e6 - seconds) < 0.006);
        QCOMPARE(item[Item::TrimDuration].left(8), QStringLiteral("00:00:02"));
        // No language in an MP3: item 27 keeps the audio stream's duration value.
        const qint64 audioDuration = item[Item::AudioDurationLow].toLongLong();
        QVERIFY2(qAbs(audioDuration - 2000000) < 100000, qPrintable(item[Item::AudioDurationLow]));
        // Until the tag reader is installed the container's tags are used, composer excepted.
        QCOMPARE(Fields(item, {Item::TagTrack, Item::TagTitle, Item::TagArtist, Item::TagAlbum, Item::TagYear,
                               Item::TagGenre, Item::TagCopyright, Item::TagComposer, Item::TagComment}),
                 (QStringList{"3/12", "Morning Song", "The Band", "First Light", "2021", "Folk", "CC-BY", "",
                              "take two"}));
    }

    void zeroTagsAreLeftOutAndALanguageTakesTheSharedField() {
        // Tags whose value is "0" are not written.
        const ProbeOutcome zero = probe(media("zero title.mp3"));
        QCOMPARE(zero.kind, ProbeOutcome::Added);
        QCOMPARE(
            Fields(zero.item, {Item::TagTitle, Item::TagArtist, Item::AudioChannels, Item::AudioSampleRate}),
            (QStringList{"", "", "1", "22050"}));

        // A language overwrites the duration value in item 27; other containers' tags are read too.
        const ProbeOutcome mka = probe(media("english.mka"));
        QCOMPARE(mka.kind, ProbeOutcome::Added);
        QCOMPARE(Fields(mka.item, {Item::TagLanguage, Item::TagAlbum, Item::AudioCodecName}),
                 (QStringList{"eng", "Mka Album", "FLAC (Free Lossless Audio Codec)"}));
        QVERIFY(mka.item[Item::AudioBitRate].toLongLong() > 0);
    }

    void videoFilesGiveTheirPictureFieldsAndTheExtensionTheType() {
        const ProbeOutcome ntsc = probe(media("ntsc.mp4"));
        QCOMPARE(ntsc.kind, ProbeOutcome::Added);
        const MediaItem &item = ntsc.item;
        // 30000/1001 frames per second by integer division.
        QCOMPARE(Fields(item, {Item::VideoStream, Item::AudioStream, Item::VideoStreamCount, Item::VideoWidth,
                               Item::VideoHeight, Item::VideoFrameRateNumerator, Item::VideoSampleAspectRatio,
                               Item::FileType}),
                 (QStringList{"True", "True", "1", "320", "180", "29", "1.78", "VIDEO"}));
        QVERIFY2(item[Item::VideoCodecName].startsWith("H.264"), qPrintable(item[Item::VideoCodecName]));
        QVERIFY(item[Item::VideoBitRate].toLongLong() > 0);

        // 1024 x 600 without aspect data: width / height.
        const ProbeOutcome wide = probe(media("wide.mkv"));
        QCOMPARE(Fields(wide.item,
                        {Item::VideoSampleAspectRatio, Item::VideoFrameRateNumerator, Item::SubtitleStream}),
                 (QStringList{"1.71", "25", "0"}));
        const ProbeOutcome subtitled = probe(media("subtitled.mkv"));
        QCOMPARE(Fields(subtitled.item, {Item::SubtitleStream, Item::SubtitleCount}),
                 (QStringList{"True", "2"}));

        // Typing goes by extension: mpa is video even for sound only, an unknown one is "CD".
        QCOMPARE(probe(media("layer2.mpa")).item[Item::FileType], QStringLiteral("VIDEO"));
        const ProbeOutcome unknown = probe(media("unknown.xyz"));
        QCOMPARE(unknown.kind, ProbeOutcome::Added);
        QCOMPARE(Fields(unknown.item, {Item::FileType, Item::Format}), (QStringList{"CD", "XYZ"}));
    }

    void thumbnailsAreTakenAtTheirTimeAndCoversAreNoVideo() {
        static const QRegularExpression name(R"(^thumbnail_[0-9A-F]{9}\.bmp$)");
        // At 7 s for files of 7 s or more.
        const ProbeOutcome late = probe(media("red then blue.mp4"));
        QCOMPARE(late.kind, ProbeOutcome::Added);
        const QFileInfo lateFile(late.item[Item::Thumbnail]);
        QVERIFY2(lateFile.isFile(), qPrintable(late.item[Item::Thumbnail]));
        QCOMPARE(lateFile.absolutePath() + "/", m_temp);
        QVERIFY2(name.match(lateFile.fileName()).hasMatch(), qPrintable(lateFile.fileName()));
        const QImage picture(late.item[Item::Thumbnail]);
        QCOMPARE(picture.size(), QSize(160, 120));
        QColor c = centre(late.item[Item::Thumbnail]);
        QVERIFY2(c.blue() > 180 && c.red() < 80, qPrintable(c.name()));

        // At 0.1 s for shorter ones.
        const ProbeOutcome early = probe(media("red six seconds.mkv"));
        QCOMPARE(early.kind, ProbeOutcome::Added);
        c = centre(early.item[Item::Thumbnail]);
        QVERIFY2(c.red() > 180 && c.blue() < 80, qPrintable(c.name()));
        QVERIFY(early.item[Item::Thumbnail] != late.item[Item::Thumbnail]);

        // A cover stored in an MP3 is its picture, not a video stream.
        const ProbeOutcome covered = probe(media("covered.mp3"));
        QCOMPARE(Fields(covered.item, {Item::VideoStream, Item::VideoStreamCount}),
                 (QStringList{"False", "0"}));
        QVERIFY(!QImage(covered.item[Item::Thumbnail]).isNull());

        // No picture for sound only; no thumbnail when there is no temporary folder to hold it.
        QCOMPARE(probe(media("one second.wav")).item[Item::Thumbnail], QString());
        ProbeOptions noFolder;
        QCOMPARE(ProbeFile(media("ntsc.mp4"), noFolder).item[Item::Thumbnail], QString());
    }

    void tagReaderTakesItsFormats() {
        QStringList asked;
        TagReading answer = TagReading::Loaded;
        SetTagReader([&](const QString &path, MediaItem &item) {
            asked << QFileInfo(path).fileName();
            if (answer == TagReading::Loaded) {
                item[Item::AudioBitsDepth] = "24";
                item[Item::TagTitle] = "From the tag reader";
                item[Item::TagComposer] = "A Composer";
                item[Item::Thumbnail] = m_temp + "tagimg_TEST.jpg";
            }
            return answer;
        });

        ProbeOutcome o = probe(media("covered.mp3"));
        QCOMPARE(asked, QStringList{"covered.mp3"});
        // The reader's cover stands; no thumbnail is made.
        QCOMPARE(Fields(o.item, {Item::AudioBitsDepth, Item::TagTitle, Item::TagComposer, Item::Thumbnail}),
                 (QStringList{"24", "From the tag reader", "A Composer", m_temp + "tagimg_TEST.jpg"}));

        // Other formats are not the reader's.
        probe(media("english.mka"));
        QCOMPARE(asked.size(), 1);

        // A reader error leaves "16", the duration value in item 27 and no tags.
        answer = TagReading::Failed;
        o = probe(media("tagged.mp3"));
        QVERIFY(o.item[Item::TagLanguage].toLongLong() > 1000000);
        QCOMPARE(Fields(o.item, {Item::AudioBitsDepth, Item::TagTitle, Item::TagArtist}),
                 (QStringList{"16", "", ""}));
        answer = TagReading::NotStarted;
        o = probe(media("tagged.mp3"));
        QCOMPARE(o.kind, ProbeOutcome::Added);
        QCOMPARE(o.item[Item::TagAlbum], QString());
        QCOMPARE(asked.size(), 3);
        SetTagReader({});
        QCOMPARE(probe(media("tagged.mp3")).item[Item::TagAlbum], QStringLiteral("First Light"));
    }

    // The formats people have on Linux beyond the classic list are found in folders and read.
    void linuxAudioFormatsAreFoundAndRead() {
        const QString folder = m_dir + "/formats";
        const QList<QPair<QString, QStringList>> made = {
            {"a.opus", {"-c:a", "libopus"}},
            {"b.oga", {"-c:a", "flac"}},
            {"c.spx", {"-c:a", "libspeex", "-ar", "16000", "-ac", "1"}},
            {"d.weba", {"-c:a", "libopus", "-f", "webm"}},
            {"e.w64", {}},
            {"f.rf64", {"-f", "wav", "-rf64", "always"}},
            {"g.3ga", {"-c:a", "aac", "-f", "3gp"}},
        };
        QStringList expected;
        for (const auto &[name, args] : made) {
            QVERIFY2(test::GenerateTone(folder + "/" + name, 1.5, 48000, 2, args), qPrintable(name));
            expected << folder + "/" + name;
        }
        QCOMPARE(CollectMediaFiles({folder}), expected);
        for (const QString &path : expected) {
            const ProbeOutcome o = probe(path);
            QVERIFY2(o.kind == ProbeOutcome::Added && !o.item[Item::AudioCodecName].isEmpty(),
                     qPrintable(path));
        }
        // DSD files of the shared corpus are found too (they last 10 ms: the list skips them).
        const QString dsd = QStringLiteral(TUNEVANE_CORPUS_DIR "/dsd");
        for (const char *name : {"taglib__empty10ms.dsf", "taglib__empty10ms.dff"}) {
            if (QFile::exists(dsd + "/" + name))
                QVERIFY(CollectMediaFiles({dsd}).contains(dsd + "/" + name));
        }
    }

    void unreadableOrCancelledFilesAddNothingAndGetAReason() {
        const QString bad = m_dir + "/bad";
        QDir().mkpath(bad);
        const QString empty = test::WriteFile(bad + "/empty.mp3", QByteArray());
        const QString text =
            test::WriteFile(bad + "/letter.mp3", QByteArray("Dear reader,\nthis is no song.\n").repeated(40));
        const QString truncated =
            test::WriteFile(bad + "/truncated.mp4", test::ReadFile(media("ntsc.mp4")).left(2000));
        QVERIFY(QFile::link(bad + "/gone.mp3", bad + "/dangling.mp3"));

        ProbeOutcome o = probe(empty);
        QCOMPARE(o.kind, ProbeOutcome::OpenFailed);
        QCOMPARE(o.fileName + ": " + o.failureText,
                 QStringLiteral("empty.mp3: The file is empty (0 bytes)."));

        for (const QString &path : {text, truncated}) {
            o = probe(path);
            QCOMPARE(o.kind, ProbeOutcome::OpenFailed);
            QVERIFY2(!o.failureText.trimmed().isEmpty(), qPrintable(path));
            QCOMPARE(o.item[Item::Name], QString());
        }

        o = probe(bad + "/dangling.mp3");
        QCOMPARE(o.kind, ProbeOutcome::NotFound);
        QCOMPARE(o.fileName + ": " + o.failureText, QStringLiteral("dangling.mp3: File not found!"));
        QCOMPARE(probe(bad + "/never there.wav").failureText, QStringLiteral("File not found!"));

        // A folder, and a pipe nobody writes to, are refused at once instead of read.
        o = probe(bad);
        QCOMPARE(o.kind, ProbeOutcome::OpenFailed);
        QCOMPARE(o.failureText, QStringLiteral("This is a folder, not a media file."));
        QVERIFY(::mkfifo(QFile::encodeName(bad + "/pipe.mp3").constData(), 0600) == 0);
        o = probe(bad + "/pipe.mp3");
        QCOMPARE(o.kind, ProbeOutcome::OpenFailed);
        QVERIFY(o.failureText.contains("not a regular file"));

        // A name that is not valid text cannot be reached; the reason says so.
        const QByteArray rawName = QFile::encodeName(bad) + "/caf\xe9.wav";
        QVERIFY(QFile::copy(media("one second.wav"), bad + "/plain.wav"));
        QVERIFY(::rename(QFile::encodeName(bad + "/plain.wav").constData(), rawName.constData()) == 0);
        o = probe(QFile::decodeName(rawName));
        QCOMPARE(o.kind, ProbeOutcome::NotFound);
        QVERIFY2(o.failureText.contains("not valid text"), qPrintable(o.failureText));
        ::unlink(rawName.constData());

        // A probe cancelled before it starts adds nothing.
        std::atomic_bool cancel{true};
        ProbeOptions options;
        options.cancel = &cancel;
        QCOMPARE(ProbeFile(media("red then blue.mp4"), options).kind, ProbeOutcome::Canceled);
    }

    void oddNamesAreRead() {
        const QString odd = m_dir + "/odd";
        const QStringList names{"it's \"quoted\".wav",  "  spaced  name .wav",     "new\nline.wav",
                                "semi;colon|pipe.wav",  "http:not-an-address.wav", "ünïcødé 日本.wav",
                                "many.dots.in.name.wav"};
        for (const QString &name : names) {
            QVERIFY(QDir().mkpath(odd));
            QVERIFY(QFile::copy(media("one second.wav"), odd + "/" + name));
            const ProbeOutcome o = probe(odd + "/" + name);
            QCOMPARE(o.kind, ProbeOutcome::Added);
            QCOMPARE(Fields(o.item, {Item::FileName, Item::Name, Item::Format}),
                     (QStringList{name, QFileInfo(name).completeBaseName(), "WAV"}));
        }
    }

    void realWorldFilesNeverCrashOrHang() {
        const QString corpus = QStringLiteral(TUNEVANE_CORPUS_DIR);
        QFile manifest(corpus + "/MANIFEST.tsv");
        if (!manifest.open(QIODevice::ReadOnly))
            QSKIP("the shared media corpus is not present");
        int opened = 0;
        int refused = 0;
        int checked = 0;
        manifest.readLine();
        while (!manifest.atEnd()) {
            const QStringList fields = QString::fromUtf8(manifest.readLine()).trimmed().split('\t');
            const QString path = fields.value(0);
            const QString kind = fields.value(6);
            if (path.startsWith("cd-images/") || path.startsWith("iso/") || path.startsWith("cdtext/") ||
                kind == "expected")
                continue;
            QElapsedTimer clock;
            clock.start();
            ProbeOptions options;
            options.tempFolder = m_temp;
            options.timeLimitMs = 10000;
            const ProbeOutcome o = ProbeFile(corpus + "/" + path, options);
            ++checked;
            QVERIFY2(clock.elapsed() < 25000, qPrintable(path));
            switch (o.kind) {
            case ProbeOutcome::Added:
                ++opened;
                QCOMPARE(o.item[Item::FileName], QFileInfo(path).fileName());
                QVERIFY(!o.item[Item::Duration].isEmpty());
                break;
            case ProbeOutcome::OpenFailed:
                ++refused;
                QVERIFY2(!o.failureText.trimmed().isEmpty(), qPrintable(path));
                break;
            case ProbeOutcome::Skipped:
            case ProbeOutcome::Interrupted:
                break;
            default:
                QFAIL(qPrintable("unexpected outcome for " + path));
            }
        }
        qInfo() << checked << "corpus files:" << opened << "added," << refused << "refused with a reason";
        QVERIFY(opened > 50);
        QVERIFY(refused > 5);
    }
};

TV_TEST_MAIN_CORE(MediaProberTest)
#include "tst_mediaprober.moc"

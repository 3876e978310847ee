// The way tags travel through a conversion: read from a tagged input while probing, written into
// the converted output of every tag-capable format, and checked there by TagLib and, on its own,
// by ffprobe.
#include "Engine.h"
#include "MediaGen.h"
#include "MediaItemTags.h"
#include "MediaProber.h"
#include "TagFiles.h"
#include "TagTestSupport.h"
#include "TestEnv.h"

#include <QImage>

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

using namespace tv;
using namespace tv::test;

namespace {

// Field sets an output format carries.
enum Carries : int {
    Title = 1,
    Artist = 2,
    Album = 4,
    Year = 8,
    Track = 16,
    Genre = 32,
    Copyright = 64,
    Composer = 128,
    Comment = 256,
    Cover = 512,
    AllText = 511,
    Id3v1 = 1024,         // also carries an ID3v1 tag
    ProbedAsId3v1 = 2048, // ffprobe's ADTS reader shows the ID3v1 block only
};

// The first non-empty ffprobe tag among names the demuxers use for one field.
QString ProbeValue(const QJsonObject &probe, const QStringList &keys) {
    for (const QString &key : keys) {
        const QString value = FFprobeTag(probe, key);
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

} // namespace

class TagRoundTripTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_temp;                     // the program's temporary folder of this test
    QMap<QString, ProbeTags> m_sources; // probed inputs by extension

    QString Path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_temp = Path("temp");
        const QString cover = Path("cover.png");
        QVERIFY(GeneratePicture(cover, 80, 60));
        const TagRecord r = SampleRecord();
        const QStringList metadata{
            "title=" + r.title,         "artist=" + r.artist,     "album=" + r.album,
            "date=" + r.year,           "track=" + r.track,       "genre=" + r.genre,
            "copyright=" + r.copyright, "composer=" + r.composer, "comment=" + r.comment};
        for (const QString ext : {"mp3", "flac", "m4a"}) {
            const QString input = Path("input." + ext);
            QVERIFY(GenerateTaggedTone(input, 2.0, metadata, cover));
            if (ext == QLatin1String("mp3")) {
                // ffmpeg keeps an MP3 comment in a TXXX frame; taggers use the comment frame.
                TagLib::MPEG::File f(input.toUtf8().constData());
                auto *comment = new TagLib::ID3v2::CommentsFrame;
                comment->setLanguage("eng");
                comment->setText(TagLib::String(r.comment.toStdString()));
                f.ID3v2Tag(true)->addFrame(comment);
                QVERIFY(f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone));
            }
            const ProbeTags tags = ReadTagsForProbe(input, m_temp);
            QVERIFY2(tags.loaded, qPrintable(tags.error));
            QCOMPARE(TextFields(tags.record), TextFields(r)); // the probe reads every field
            m_sources.insert(ext, tags);
        }
    }

    void tagsReachEveryTaggedOutput_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("codec");
        QTest::addColumn<int>("carries");
        const struct {
            const char *output;
            QStringList codec;
            int carries;
        } outputs[] = {
            {"mp3", {}, AllText | Cover | Id3v1},
            // A cover goes only into tag blocks the output already has: the MP2 and ADTS writers
            // make none unless asked to.
            {"mp2", {"-c:a", "mp2"}, AllText | Id3v1},
            {"aac", {"-c:a", "aac"}, AllText | Id3v1 | ProbedAsId3v1},
            {"adts",
             {"-c:a", "aac", "-f", "adts", "-write_id3v2", "1"},
             AllText | Cover | Id3v1 | ProbedAsId3v1},
            {"m4a", {}, AllText | Cover},
            {"m4b", {"-f", "ipod"}, AllText | Cover},
            {"mp4", {"-c:a", "aac"}, AllText | Cover},
            {"ogg", {"-c:a", "libvorbis"}, AllText & ~Composer}, // an OGG output gets no composer
            {"opus", {"-c:a", "libopus"}, (AllText & ~Composer) | Cover},
            {"flac", {}, AllText | Cover},
            {"wma", {}, AllText | Cover},
            {"wav", {}, Title | Artist | Year | Genre | Copyright | Comment},
        };
        // Every source gives the same record (checked above), so the sources take turns.
        const QStringList sources{"mp3", "flac", "m4a"};
        int turn = 0;
        for (const auto &o : outputs) {
            const QString source = sources.at(turn++ % sources.size());
            QTest::addRow("%s to %s", qPrintable(source), o.output)
                << source << QString::fromLatin1(o.output) << o.codec << o.carries;
        }
    }

    void tagsReachEveryTaggedOutput() {
        QFETCH(QString, source);
        QFETCH(QString, output);
        QFETCH(QStringList, codec);
        QFETCH(int, carries);
        const ProbeTags &input = m_sources[source];
        const QString path = Path(QStringLiteral("%1-to.%2").arg(source, output));
        // What an encoder leaves: the input's sound in the output format, without its tags.
        QFile::remove(path);
        QVERIFY(RunFFmpeg(QStringList{"-i", Path("input." + source), "-map", "0:a", "-map_metadata", "-1"} +
                          codec + QStringList{path}));
        const double soundEnd = FFprobeAudioEnd(path);
        QVERIFY(soundEnd > 1.9);

        const TagWriteResult result = WriteTagsToOutput(path, input.record);
        QVERIFY2(result.Succeeded(), qPrintable(result.error));

        // TagLib reads back what the format carries, and nothing of what it does not.
        const ProbeTags back = ReadTagsForProbe(path, m_temp);
        QVERIFY(back.loaded);
        const TagRecord &want = input.record;
        const auto expect = [carries](int field, const QString &value) {
            return (carries & field) ? value : QString();
        };
        QCOMPARE(TextFields(back.record),
                 QStringList({expect(Track, want.track), expect(Title, want.title),
                              expect(Artist, want.artist), expect(Album, want.album), expect(Year, want.year),
                              expect(Genre, want.genre), expect(Copyright, want.copyright),
                              expect(Composer, want.composer), expect(Comment, want.comment)}));
        QCOMPARE(!back.coverPath.isEmpty(), bool(carries & Cover));
        if (carries & Cover)
            QCOMPARE(QImage(back.coverPath).size(), QSize(80, 60));

        // ffprobe, on its own, finds the same values and every sound packet where it was.
        const QJsonObject probe = FFprobe(path);
        QVERIFY(!probe.isEmpty());
        QCOMPARE(FFprobeAudioEnd(path), soundEnd);
        const bool asId3v1 = carries & ProbedAsId3v1;
        QCOMPARE(QStringList({ProbeValue(probe, {"track", "TRACKNUMBER", "WM/TrackNumber"}),
                              ProbeValue(probe, {"title"}), ProbeValue(probe, {"artist", "author"}),
                              ProbeValue(probe, {"album", "WM/AlbumTitle"}),
                              ProbeValue(probe, {"date", "year", "WM/Year"}),
                              ProbeValue(probe, {"genre", "WM/Genre"}), ProbeValue(probe, {"copyright"}),
                              ProbeValue(probe, {"composer", "WM/Composer"}),
                              ProbeValue(probe, {"comment", "description"})}),
                 QStringList({asId3v1 ? want.track.section('/', 0, 0) : expect(Track, want.track),
                              expect(Title, want.title), expect(Artist, want.artist),
                              expect(Album, want.album), expect(Year, want.year), expect(Genre, want.genre),
                              asId3v1 ? QString() : expect(Copyright, want.copyright),
                              asId3v1 ? QString() : expect(Composer, want.composer),
                              expect(Comment, want.comment)}));
        QCOMPARE(FFprobeHasCover(probe), bool(carries & Cover));
        QVERIFY(DecodesCompletely(path));
    }

    // Through the engine, outputs carry the row's tags (as the user left them), never the
    // input's own: an edited composer stays edited even where the tag writer maps no composer,
    // formats without a tag block get the row's tags too, and the comment keeps its language.
    // (ffmpeg keeps an OGG comment under DESCRIPTION, which the probe takes as the comment.)
    void outputsCarryTheRowsTagsNotTheInputsOwn() {
        InstallTagReader();
        const QString ogg = Path("row.ogg");
        QVERIFY(GenerateTaggedTone(ogg, 2.0,
                                   {"title=Row Title", "composer=Old Composer", "comment=Described"},
                                   QString(), {"-c:a", "libvorbis"}));
        ProbeOptions options;
        options.tempFolder = m_temp + "/";
        QDir().mkpath(options.tempFolder);
        const ProbeOutcome probedOgg = ProbeFile(ogg, options);
        QVERIFY(probedOgg.addsRow());
        QCOMPARE(TagRecordOfItem(probedOgg.item).comment, QStringLiteral("Described"));
        // The user gives the row a composer; the input's own (which the tag reader of this format
        // does not map) must not come back.
        TagRecord edited = TagRecordOfItem(probedOgg.item);
        edited.composer = QStringLiteral("New Composer");
        const ProbeOutcome probedMp3 = ProbeFile(Path("input.mp3"), options);
        QVERIFY(probedMp3.addsRow());
        const TagRecord mp3Row = TagRecordOfItem(probedMp3.item);
        QCOMPARE(mp3Row.commentLanguage, QStringLiteral("eng"));

        Engine engine;
        QSignalSpy finished(&engine, &Engine::JobFinished);
        const QStringList outputs{Path("row-out.ogg"), Path("row-out.wv"), Path("row-out.mp3")};
        QCOMPARE(engine.AddJob(ogg, QString()), 0);
        QCOMPARE(engine.SetJobOutput(0, outputs[0], " -acodec libvorbis"), 0);
        QCOMPARE(engine.AddJob(ogg, QString()), 1);
        QCOMPARE(engine.SetJobOutput(1, outputs[1], " -acodec wavpack"), 0);
        QCOMPARE(engine.AddJob(Path("input.mp3"), QString()), 2);
        QCOMPARE(engine.SetJobOutput(2, outputs[2], " -acodec libmp3lame -ab 128k"), 0);
        engine.setOutputTagging(TaggingForRows({edited, edited, mp3Row}));
        engine.StartJobs(2);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() && finished.last().at(0).toInt() == -1, 60000);
        for (const QString &output : outputs.mid(0, 2)) {
            const QJsonObject probe = FFprobe(output);
            QCOMPARE(FFprobeTag(probe, "composer"), QStringLiteral("New Composer"));
            QCOMPARE(FFprobeTag(probe, "title"), QStringLiteral("Row Title"));
        }
        TagLib::MPEG::File mp3(outputs[2].toUtf8().constData());
        const TagLib::ID3v2::FrameList comments = mp3.ID3v2Tag()->frameList("COMM");
        QVERIFY(!comments.isEmpty());
        const auto *comment = dynamic_cast<TagLib::ID3v2::CommentsFrame *>(comments.front());
        QVERIFY(comment);
        QCOMPARE(QByteArray(comment->language().data(), comment->language().size()), QByteArray("eng"));
    }

    void apeFilesGetTheirApeTag() {
        // ffmpeg cannot encode Monkey's Audio: a real one stands in for the output.
        const QString original = QStringLiteral(TUNEVANE_CORPUS_DIR "/ape-monkeys/taglib__mac-399.ape");
        if (!QFile::exists(original))
            QSKIP("the shared media corpus is not here");
        const QString path = Path("out.ape");
        QVERIFY(CopyTo(original, path));
        const TagRecord want = m_sources["flac"].record;
        QVERIFY(WriteTagsToOutput(path, want).Succeeded());
        const ProbeTags back = ReadTagsForProbe(path, m_temp);
        QCOMPARE(back.fileType, 31);
        QCOMPARE(TextFields(back.record), TextFields(want));
        const QJsonObject probe = FFprobe(path);
        QCOMPARE(QStringList({ProbeValue(probe, {"title"}), ProbeValue(probe, {"artist"}),
                              ProbeValue(probe, {"composer"})}),
                 QStringList({want.title, want.artist, want.composer}));
        QVERIFY(DecodesCompletely(path));
    }

    void formatsWithoutTagBlocksKeepTheEncodersTags() {
        // An ALAC output has an MP4 tag block: it takes the cover, and its tags stay the encoder's.
        const QList<std::tuple<QString, QStringList, TagWriteOutcome>> outputs = {
            {"aiff", {}, TagWriteOutcome::NothingToWrite},
            {"m4a", {"-c:a", "alac"}, TagWriteOutcome::Written},
            {"ac3", {}, TagWriteOutcome::NothingToWrite},
            {"wv", {}, TagWriteOutcome::NothingToWrite},
            {"caf", {}, TagWriteOutcome::NothingToWrite},
            {"mka", {}, TagWriteOutcome::NotLoaded}};
        for (const auto &[output, codec, outcome] : outputs) {
            const QString path = Path("keep." + output);
            QFile::remove(path);
            QVERIFY(RunFFmpeg(
                QStringList{"-i", Path("input.flac"), "-map", "0:a", "-metadata", "title=Encoder title"} +
                codec + QStringList{path}));
            const QByteArray before = FileHash(path);
            const TagWriteResult result = WriteTagsToOutput(path, m_sources["flac"].record);
            QVERIFY2(result.outcome == outcome, qPrintable(output));
            const QJsonObject probe = FFprobe(path);
            if (result.outcome == TagWriteOutcome::Written) {
                QCOMPARE(FFprobeTag(probe, "title"), QStringLiteral("Encoder title"));
                QVERIFY(FFprobeHasCover(probe));
                QVERIFY(DecodesCompletely(path));
            } else {
                QCOMPARE(FileHash(path), before);
            }
        }
    }
};

TV_TEST_MAIN_CORE(TagRoundTripTest)
#include "tst_tagroundtrip.moc"

// Writing tags never damages an output: files that cannot be loaded, renamed files, full and
// read-only disks, broken and oversized tag blocks, replaced and huge covers, many writers at
// once, and real files from public test suites.
#include "MediaGen.h"
#include "TagFiles.h"
#include "TagManager.h"
#include "TagMapping.h"
#include "TagPictures.h"
#include "TagTestSupport.h"
#include "TestEnv.h"

#include <QImage>
#include <QtConcurrent>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

using namespace tv;
using namespace tv::test;

namespace {

struct CorpusFile {
    QString path;
    QString cls; // ok, edge, broken, expected
};

QList<CorpusFile> CorpusFiles() {
    QList<CorpusFile> files;
    QFile manifest(QStringLiteral(TUNEVANE_CORPUS_DIR "/MANIFEST.tsv"));
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text))
        return files;
    manifest.readLine(); // the header
    QSet<QString> seen;
    while (!manifest.atEnd()) {
        const QStringList cells = QString::fromUtf8(manifest.readLine()).trimmed().split('\t');
        if (cells.size() < 7 || cells[6].startsWith("dup-of") || seen.contains(cells[0]))
            continue;
        seen.insert(cells[0]);
        const QString path = QStringLiteral(TUNEVANE_CORPUS_DIR "/") + cells[0];
        if (QFile::exists(path))
            files << CorpusFile{path, cells[6]};
    }
    return files;
}

} // namespace

class TagSafetyTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<CorpusFile> m_corpus; // empty when the shared media corpus is not here

    QString Path(const QString &name) const { return m_dir.filePath(name); }

    QString Untagged(const QString &name, const QStringList &codec = {}, double seconds = 1.5) {
        return UntaggedTone(Path("src-" + name), codec, seconds);
    }

    // Whatever the writer answers, the output is either written and whole, or exactly as before.
    void CheckWriteLeavesSoundWhole(const QString &path, const TagRecord &record) {
        const QByteArray before = FileHash(path);
        const bool decodedBefore = DecodesCompletely(path);
        const double endBefore = FFprobeAudioEnd(path);
        const TagWriteResult result = WriteTagsToOutput(path, record);
        if (result.Succeeded()) {
            QCOMPARE(DecodesCompletely(path), decodedBefore);
            QCOMPARE(FFprobeAudioEnd(path), endBefore);
        } else {
            QVERIFY(!result.error.isEmpty() || result.outcome == TagWriteOutcome::NothingToWrite);
            QCOMPARE(FileHash(path), before);
        }
        // No working copy is ever left behind.
        const QStringList leftovers =
            QDir(QFileInfo(path).absolutePath()).entryList({"*.tags-*"}, QDir::Hidden | QDir::Files);
        QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(", ")));
    }

    static QByteArray Patched(QByteArray bytes, qsizetype at, const QByteArray &with) {
        bytes.replace(at, with.size(), with);
        return bytes;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_corpus = CorpusFiles();
    }

    void filesThatCannotBeLoadedAreLeftAlone() {
        QCOMPARE(WriteTagsToOutput(Path("missing.mp3"), SampleRecord()).outcome, TagWriteOutcome::NotLoaded);
        const QString empty = WriteFile(Path("empty.mp3"), QByteArray());
        QCOMPARE(WriteTagsToOutput(empty, SampleRecord()).outcome, TagWriteOutcome::NotLoaded);
        QVERIFY(ReadFile(empty).isEmpty());

        QByteArray noise(50000, 0);
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        const QString garbage = WriteFile(Path("garbage.mp3"), noise);
        const TagWriteResult result = WriteTagsToOutput(garbage, SampleRecord());
        QCOMPARE(result.outcome, TagWriteOutcome::NotLoaded);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(ReadFile(garbage), noise);
        QVERIFY(!ReadTagsForProbe(garbage).loaded);

        // A cut-off MP4 (its sound is not all there) is refused and left as it is.
        const QString cut = WriteFile(Path("cut.m4a"), ReadFile(Untagged("t.m4a")).left(3000));
        const QByteArray cutBefore = ReadFile(cut);
        QVERIFY(!WriteTagsToOutput(cut, SampleRecord()).Succeeded());
        QCOMPARE(ReadFile(cut), cutBefore);
    }

    void renamedFilesAreWrittenInTheirRealFormat() {
        const QList<std::tuple<QString, QStringList, QString, QString>> cases = {
            {"t.flac", {}, "flac-named.mp3", "flac"},
            {"t.mp3", {}, "mp3-named.m4a", "mp3"},
            {"t.wav", {}, "wav-named.ogg", "wav"},
            {"t.ogg", {"-c:a", "libvorbis"}, "ogg-named.flac", "ogg"},
            {"t.m4a", {}, "m4a-named.wma", "mov,mp4,m4a,3gp,3g2,mj2"}};
        for (const auto &[source, codec, renamed, formatName] : cases) {
            const QString path = Path(renamed);
            QVERIFY(CopyTo(Untagged(source, codec), path));
            const TagWriteResult result = WriteTagsToOutput(path, SampleRecord());
            QVERIFY2(result.Succeeded(), qPrintable(renamed + ": " + result.error));
            const QJsonObject probe = FFprobe(path);
            QCOMPARE(probe.value("format").toObject().value("format_name").toString(), formatName);
            QCOMPARE(FFprobeTag(probe, "title"), SampleRecord().title);
            QVERIFY2(DecodesCompletely(path), qPrintable(renamed));
            // Only MPEG audio gets an ID3v1 block at its end.
            QCOMPARE(ReadFile(path).right(128).startsWith("TAG"), source == QLatin1String("t.mp3"));
        }
    }

    void fullAndReadOnlyDisksLeaveTheFileAsItWas() {
        const QString mount = Path("small");
        TV_TMPFS_OR_SKIP(disk, mount, "1m");
        const QString wav = mount + "/big.wav";
        // About 700 kB: the disk holds it, but not a second copy.
        QVERIFY(CopyTo(Untagged("big.wav", {}, 8.0), wav));
        QVERIFY(QFileInfo(wav).size() > 600 * 1024);
        const QByteArray before = FileHash(wav);
        TagWriteResult result = WriteTagsToOutput(wav, SampleRecord());
        QCOMPARE(result.outcome, TagWriteOutcome::Failed);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(FileHash(wav), before);
        QCOMPARE(disk.files(), QStringList{"big.wav"});

        // Room for the copy, but not for a large cover on top of it.
        QFile::remove(wav);
        const QString small = mount + "/small.flac";
        QVERIFY(CopyTo(Untagged("t.flac"), small));
        const QString bigCover = Path("wide.png");
        QVERIFY(GenerateNoisePicture(bigCover, 500, 400)); // ~600 kB that stays PNG
        TagRecord record = SampleRecord();
        record.picturePath = bigCover;
        const QByteArray smallBefore = FileHash(small);
        result = WriteTagsToOutput(small, record);
        QCOMPARE(result.outcome, TagWriteOutcome::Failed);
        QCOMPARE(FileHash(small), smallBefore);
        QCOMPARE(disk.files(), QStringList{"small.flac"});

        // Read-only: the writer cannot even make its working copy.
        if (RemountReadOnly(mount)) {
            result = WriteTagsToOutput(small, SampleRecord());
            QCOMPARE(result.outcome, TagWriteOutcome::Failed);
            QCOMPARE(FileHash(small), smallBefore);
            QVERIFY(ReadTagsForProbe(small).loaded); // reading needs no write access
        }
    }

    void brokenAndOversizedTagBlocks() {
        // An ID3v2 header that claims 200 MB in front of a small MP3.
        const QByteArray mp3 = ReadFile(Untagged("t.mp3"));
        QVERIFY(mp3.startsWith("ID3"));
        const QString hugeId3 =
            WriteFile(Path("huge-id3.mp3"), Patched(mp3, 6, QByteArray("\x5F\x7F\x7F\x7F", 4)));
        QVERIFY(!ReadTagsForProbe(hugeId3).record.title.contains(QChar(0)));
        CheckWriteLeavesSoundWhole(hugeId3, SampleRecord());
        // The sound hides behind the damaged tag, so it cannot be checked: the file is left alone.
        QCOMPARE(ReadFile(hugeId3).size(), mp3.size());

        // A FLAC whose Vorbis comment block claims 16 MB, an MP4 item list and a WAV's RIFF INFO
        // list that claim to be larger than the file.
        const auto flacComment = [](const QByteArray &flac) {
            qsizetype block = 4;
            while (block + 4 <= flac.size() && (quint8(flac[block]) & 0x7F) != 4)
                block += 4 + ((quint8(flac[block + 1]) << 16) | (quint8(flac[block + 2]) << 8) |
                              quint8(flac[block + 3]));
            return block + 1;
        };
        const QList<std::tuple<QString, std::function<qsizetype(const QByteArray &)>, QByteArray>> blocks = {
            {"long-comment.flac", flacComment, QByteArray("\xFF\xFF\xF0", 3)},
            {"long-ilst.m4a", [](const QByteArray &b) { return b.indexOf("ilst") - 4; },
             QByteArray("\x7F\xFF\xFF\xF0", 4)},
            {"long-info.wav", [](const QByteArray &b) { return b.indexOf("LIST") + 4; },
             QByteArray("\xF0\xFF\xFF\x7F", 4)}};
        for (const auto &[name, offset, with] : blocks) {
            const QString path = Path(name);
            QVERIFY(GenerateTaggedTone(path, 1.5, {"title=Before"}));
            const QByteArray bytes = ReadFile(path);
            const qsizetype at = offset(bytes);
            QVERIFY2(at > 4 && at + with.size() <= bytes.size(), qPrintable(name));
            WriteFile(path, Patched(bytes, at, with));
            ReadTagsForProbe(path);
            CheckWriteLeavesSoundWhole(path, SampleRecord());
        }

        // Values far longer than some blocks can hold (ASF keeps 64 kB per text).
        TagRecord longValues = SampleRecord();
        longValues.title = QString(70000, QChar(u'ä'));
        longValues.comment = QString(100000, QChar(u'x'));
        for (const char *name : {"t.wma", "t.mp3", "t.m4a", "t.ogg", "t.wav", "t.flac"}) {
            const QString path = Path(QString("long-") + name);
            QVERIFY(CopyTo(Untagged(name, QString(name) == QLatin1String("t.ogg")
                                              ? QStringList{"-c:a", "libvorbis"}
                                              : QStringList{}),
                           path));
            CheckWriteLeavesSoundWhole(path, longValues);
            // The short values beside the long ones come back intact.
            const ProbeTags back = ReadTagsForProbe(path, Path("temp"));
            QCOMPARE(back.record.artist, longValues.artist);
            QVERIFY(back.record.title.startsWith(QStringLiteral("ää")));
            QVERIFY(back.record.title.size() >= 30);
        }
    }

    // A cover goes in as the one front cover (a bitmap as PNG, a second one in its place), one too
    // large for a tag block is made to fit, and bytes that only look like a picture add none.
    void coversReplaceTheFrontCoverAndHugeOnesAreMadeToFit() {
        const QString first = Path("first.png"), bmp = Path("cover.bmp");
        QVERIFY(GeneratePicture(first, 64, 48) && GeneratePicture(bmp, 40, 30));
        const QString huge = Path("huge.png");
        QVERIFY(GenerateNoisePicture(huge, 3200, 3200));
        QVERIFY(QFileInfo(huge).size() > 28 * 1000 * 1000);
        const QString notAPicture = Path("not-a-picture.jpg");
        WriteFile(notAPicture, QByteArray("\xFF\xD8\xFF\xE0") + QByteArray(30 * 1000 * 1000, '\x11'));

        TagRecord record = SampleRecord();
        for (const char *name : {"t.flac", "t.mp3", "t.m4a", "t.wma"}) {
            const QString path = Path(QString("bitmap-") + name);
            QVERIFY(CopyTo(Untagged(name), path));
            for (const QString &picture : {first, bmp}) {
                record.picturePath = picture;
                QVERIFY2(WriteTagsToOutput(path, record).Succeeded(), name);
            }
            const auto [count, embedded] = EmbeddedPictures(path);
            QCOMPARE(count, 1);
            QVERIFY2(embedded.startsWith("\x89PNG"), name);
            QCOMPARE(QImage::fromData(embedded).size(), QSize(40, 30));
        }

        for (const char *name : {"t.flac", "t.mp3", "t.m4a"}) {
            const QString path = Path(QString("cover-") + name);
            QVERIFY(CopyTo(Untagged(name), path));
            const double end = FFprobeAudioEnd(path);
            record.picturePath = huge;
            QVERIFY2(WriteTagsToOutput(path, record).Succeeded(), name);
            const QByteArray data = EmbeddedPictures(path).second;
            QVERIFY(data.size() <= kMaxTagPictureBytes && data.startsWith("\xFF\xD8\xFF"));
            const QSize size = QImage::fromData(data).size();
            QCOMPARE(size.width(), size.height());
            QVERIFY(size.width() <= 3000 && size.width() >= 250);
            QVERIFY2(DecodesCompletely(path), name);
            QCOMPARE(FFprobeAudioEnd(path), end);
            QVERIFY(FFprobeHasCover(FFprobe(path)));

            const QString other = Path(QString("fake-cover-") + name);
            QVERIFY(CopyTo(Untagged(name), other));
            record.picturePath = notAPicture;
            QVERIFY(WriteTagsToOutput(other, record).Succeeded());
            const ProbeTags back = ReadTagsForProbe(other, Path("temp"));
            QCOMPARE(back.record.title, record.title);
            QCOMPARE(back.record.pictureCount, qint16(0));
        }
        // An ID3v2 cover is typed as the front cover.
        TagLib::MPEG::File f(Path("bitmap-t.mp3").toUtf8().constData());
        const auto *apic =
            dynamic_cast<TagLib::ID3v2::AttachedPictureFrame *>(f.ID3v2Tag()->frameList("APIC").front());
        QVERIFY(apic);
        QCOMPARE(apic->type(), TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        QCOMPARE(QString::fromStdString(apic->mimeType().to8Bit()), QStringLiteral("image/png"));
    }

    // Eight files of five formats written and read at once, with titles in several scripts that
    // every block must keep as ffprobe, reading on its own, sees them.
    void manyWritersAndReadersAtOnce() {
        struct Job {
            QString path;
            TagRecord record;
        };
        QList<Job> jobs;
        const char *names[] = {"t.mp3", "t.flac", "t.m4a", "t.wma", "t.wav", "t.mp3", "t.flac", "t.m4a"};
        for (int i = 0; i < 8; ++i) {
            Job job;
            job.path = Path(QStringLiteral("parallel-%1-%2").arg(i).arg(names[i]));
            QVERIFY(CopyTo(Untagged(names[i]), job.path));
            job.record = SampleRecord();
            job.record.title = QStringLiteral("Ünïcödé 漢字 Кириллица %1").arg(i);
            job.record.artist = QStringLiteral("Künstler %1").arg(i);
            jobs << job;
        }
        const QList<bool> written = QtConcurrent::blockingMapped(
            jobs, [](const Job &job) { return WriteTagsToOutput(job.path, job.record).Succeeded(); });
        QCOMPARE(written, QList<bool>(8, true));
        const QList<ProbeTags> read =
            QtConcurrent::blockingMapped(jobs, [](const Job &job) { return ReadTagsForProbe(job.path); });
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(read[i].record.title, jobs[i].record.title);
            QCOMPARE(read[i].record.artist, jobs[i].record.artist);
            QCOMPARE(FFprobeTag(FFprobe(jobs[i].path), "title"), jobs[i].record.title);
        }
    }

    // Real files from public test suites and packages: every one is read without a crash or a
    // hang, writing into a copy of each never damages it, and the suites' own values come out.
    void everyCorpusFileIsReadWithoutCrashOrHang() {
        if (m_corpus.isEmpty())
            QSKIP("the shared media corpus is not here");
        int loaded = 0, withTags = 0;
        for (const CorpusFile &file : m_corpus) {
            QElapsedTimer timer;
            timer.start();
            const ProbeTags tags = ReadTagsForProbe(file.path, Path("covers"));
            TagManager m;
            if (m.Load(file.path)) {
                for (int i = 1; i <= 5; ++i) {
                    m.InformationText(i);
                    m.SoundInformation(i);
                }
            }
            QVERIFY2(timer.elapsed() < 10000, qPrintable(file.path));
            if (tags.loaded) {
                ++loaded;
                QVERIFY2(tags.error.isEmpty(), qPrintable(file.path));
                if (!tags.record.title.isEmpty() || !tags.record.artist.isEmpty())
                    ++withTags;
                if (!tags.coverPath.isEmpty())
                    QVERIFY2(QFileInfo(tags.coverPath).size() > 0, qPrintable(file.path));
            } else {
                QVERIFY2(!tags.error.isEmpty(), qPrintable(file.path)); // always a reason
            }
        }
        QVERIFY2(loaded >= 100, qPrintable(QString::number(loaded)));
        QVERIFY2(withTags >= 25, qPrintable(QString::number(withTags)));
    }

    void writingIntoACopyOfACorpusFileNeverDamagesIt() {
        if (m_corpus.isEmpty())
            QSKIP("the shared media corpus is not here");
        TagRecord record = SampleRecord();
        record.title = QStringLiteral("Überschrift 題名");
        record.picturePath = Path("cover.png");
        QVERIFY(GeneratePicture(record.picturePath, 32, 32));
        int written = 0;
        for (const CorpusFile &file : m_corpus) {
            if (file.path.contains(QRegularExpression("/(cd-images|cdtext|iso)/")) ||
                file.cls == QLatin1String("expected"))
                continue;
            const QString copy = Path("copy-" + QFileInfo(file.path).fileName());
            QVERIFY(CopyTo(file.path, copy));
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
            const QByteArray before = FileHash(copy);
            const TagWriteResult result = WriteTagsToOutput(copy, record);
            if (result.Succeeded()) {
                ++written;
                // No sound packet is lost. Many of these files are stubs cut off inside their
                // last frame, which the new ID3v1 block then fills up (ffmpeg finds one frame
                // more, and may complain about it); in deliberately broken files a moved tag may
                // let ffmpeg find more frames, and rewritten Ogg pages may cure a bad checksum that
                // stopped ffmpeg before. Clean outputs are checked to decode cleanly in the
                // round trip test.
                const double endBefore = FFprobeAudioEnd(file.path), endAfter = FFprobeAudioEnd(copy);
                QVERIFY2(endAfter >= endBefore - 0.0005, qPrintable(file.path));
                if (file.cls != QLatin1String("broken") && endBefore > 0)
                    QVERIFY2(endAfter <= endBefore + 0.03, qPrintable(file.path));
                QVERIFY2(ReadTagsForProbe(copy, Path("covers")).loaded, qPrintable(file.path));
            } else {
                QVERIFY2(FileHash(copy) == before, qPrintable(file.path));
            }
            QFile::remove(copy);
        }
        QVERIFY2(written >= 60, qPrintable(QString::number(written)));
        QCOMPARE(QDir(m_dir.path()).entryList({"*.tags-*"}, QDir::Hidden | QDir::Files), QStringList());
    }

    void valuesTheTagSuitesExpect_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        const char *const rows[][3] = {
            {"mp4/taglib__has-tags.m4a", "pictures", "2"},
            {"mp4/taglib__has-tags.m4a", "type", "MP4"},
            {"mp4/taglib__covr-junk.m4a", "pictures", "2"},
            {"mp4/taglib__gnre.m4a", "genre", "Ska"},
            {"mp4/taglib__ilst-is-last.m4a", "artist", "Pearl Jam"},
            {"mp4/taglib__empty_alac.m4a", "type", "ALAC"},
            {"asf-wma/taglib__silence-1.wma", "title", "test"},
            {"asf-wma/taglib__silence-1.wma", "type", "Windows Media Audio 9.1"},
            {"asf-wma/taglib__lossless.wma", "type", "Windows Media Audio 9.2 Lossless"},
            {"mp3/taglib__id3v22-tda.mp3", "year", "2010"},
            {"mp3/taglib__extended-header.mp3", "title", "Druids"},
            {"mp3/taglib__extended-header.mp3", "year", "2013"},
            {"mp3/taglib__garbage.mp3", "title", "Title A"},
            {"mp3/taglib__compressed_id3_frame.mp3", "pictures", "1"},
            {"id3v2-raw/taglib__005411.id3", "title", "Sunshine Superman"},
            {"id3v2-raw/taglib__unsynch.id3", "title", "My babe just cares for me"},
            {"id3v2-raw/taglib__unsynch24.id3", "title", "Hi"},
            {"flac/taglib__silence-44-s.flac", "title", "Silence"},
            {"flac/taglib__silence-44-s.flac", "pictures", "1"},
            {"flac/taglib__multiple-vc.flac", "artist", "Artist 1"},
            {"ogg-vorbis/taglib__lowercase-fields.ogg", "title", "TEST TITLE"},
            {"aiff/taglib__duplicate_id3v2.aiff", "title", "Title1"},
            {"aiff/taglib__alaw.aifc", "codec", "SGI CCITT G.711 A-law"},
            {"wav-riff/taglib__duplicate_tags.wav", "title", "Title1"},
            {"ape-monkeys/taglib__mac-399-tagged.ape", "type", "Monkey's audio (APE)"},
            {"tracker/taglib__test.xm", "type", "XM MOD music"},
            {"tracker/taglib__test.it", "type", "IT MOD music"},
            {"tracker/taglib__test.s3m", "type", "S3M MOD music"},
            {"tracker/taglib__test.mod", "type", "MOD music"},
        };
        for (const auto &row : rows)
            QTest::addRow("%s %s", row[0], row[1]) << row[0] << row[1] << row[2];
    }

    void valuesTheTagSuitesExpect() {
        QFETCH(QString, file);
        QFETCH(QString, field);
        QFETCH(QString, value);
        const QString path = QStringLiteral(TUNEVANE_CORPUS_DIR "/") + file;
        if (!QFile::exists(path))
            QSKIP("this file is not in the corpus");
        TagManager m;
        QVERIFY2(m.Load(path), qPrintable(m.LastError()));
        TagFamilies families;
        const QString typeName = DetectTagFamilies(m, &families);
        TagRecord r;
        ReadTags(m, families, &r);
        const QMap<QString, QString> got{{"title", r.title},
                                         {"artist", r.artist},
                                         {"genre", r.genre},
                                         {"year", r.year.left(4)},
                                         {"pictures", QString::number(r.pictureCount)},
                                         {"type", typeName},
                                         {"codec", m.InformationText(InfoCodec)}};
        QVERIFY(got.contains(field));
        QCOMPARE(got.value(field), value);
    }
};

TV_TEST_MAIN_CORE(TagSafetyTest)
#include "tst_tagsafety.moc"

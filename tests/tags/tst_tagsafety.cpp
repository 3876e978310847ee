// Writing tags never damages an output: files that cannot be loaded, renamed files, full and
// read-only disks, broken and oversized tag blocks, replaced and huge covers, and many writers at
// once.
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

class TagSafetyTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

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
    void initTestCase() { QVERIFY(m_dir.isValid()); }

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
};

TV_TEST_MAIN_CORE(TagSafetyTest)
#include "tst_tagsafety.moc"

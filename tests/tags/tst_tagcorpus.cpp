// Real files from public test suites and packages: every one is read without a crash or a hang,
// writing into a copy of each never damages it, and the tag suites' own expected values come out.
#include "MediaGen.h"
#include "TagFiles.h"
#include "TagManager.h"
#include "TagMapping.h"
#include "TagTestSupport.h"
#include "TestEnv.h"

using namespace tv;
using namespace tv::test;

namespace {

struct CorpusFile {
    QString path;
    QString cls; // ok, edge, broken, expected
};

QString CorpusDir() {
    return QStringLiteral(TUNEVANE_CORPUS_DIR);
}

QList<CorpusFile> CorpusFiles() {
    QList<CorpusFile> files;
    QFile manifest(CorpusDir() + "/MANIFEST.tsv");
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text))
        return files;
    manifest.readLine(); // the header
    QSet<QString> seen;
    while (!manifest.atEnd()) {
        const QStringList cells = QString::fromUtf8(manifest.readLine()).trimmed().split('\t');
        if (cells.size() < 7 || cells[6].startsWith("dup-of") || seen.contains(cells[0]))
            continue;
        seen.insert(cells[0]);
        const QString path = CorpusDir() + "/" + cells[0];
        if (QFile::exists(path))
            files << CorpusFile{path, cells[6]};
    }
    return files;
}

bool IsMediaFolder(const QString &path) {
    for (const char *folder : {"/cd-images/", "/cdtext/", "/iso/"}) {
        if (path.contains(QLatin1String(folder)))
            return false;
    }
    return true;
}

} // namespace

class TagCorpusTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<CorpusFile> m_files;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_files = CorpusFiles();
        if (m_files.isEmpty())
            QSKIP("the shared media corpus is not here");
    }

    void everyFileIsReadWithoutCrashOrHang() {
        int loaded = 0, withTags = 0;
        for (const CorpusFile &file : m_files) {
            QElapsedTimer timer;
            timer.start();
            const ProbeTags tags = ReadTagsForProbe(file.path, m_dir.filePath("covers"));
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

    void writingIntoACopyNeverDamagesIt() {
        TagRecord record = SampleRecord();
        record.title = QStringLiteral("Überschrift 題名");
        record.picturePath = m_dir.filePath("cover.png");
        QVERIFY(GeneratePicture(record.picturePath, 32, 32));
        int written = 0;
        for (const CorpusFile &file : m_files) {
            if (!IsMediaFolder(file.path) || file.cls == QLatin1String("expected"))
                continue;
            const QString copy = m_dir.filePath("copy-" + QFileInfo(file.path).fileName());
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
                QVERIFY2(ReadTagsForProbe(copy, m_dir.filePath("covers")).loaded, qPrintable(file.path));
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
        const QString path = CorpusDir() + "/" + file;
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

TV_TEST_MAIN_CORE(TagCorpusTest)
#include "tst_tagcorpus.moc"

// Output names: extension changes and the rule that never overwrites an existing file.
#include "OutputNaming.h"
#include "TestEnv.h"

using namespace tv;

class OutputNamingTest : public QObject {
    Q_OBJECT
private:
    QString m_dir;
    QTemporaryDir m_tmp;

private Q_SLOTS:
    void init() {
        m_dir = m_tmp.path() + "/" + QTest::currentTestFunction() + "/";
        QDir().mkpath(m_dir);
    }

    void uniqueNameCountsUpPastTakenNamesFoldersAndLinks() {
        const QString song = m_dir + "song.MP3";
        QCOMPARE(UniqueName(song), song); // nothing there yet
        test::WriteFile(song);
        QCOMPARE(UniqueName(song), m_dir + "song_(new).MP3");
        test::WriteFile(m_dir + "song_(new).MP3");
        QCOMPARE(UniqueName(song), m_dir + "song_(new_1).MP3");
        test::WriteFile(m_dir + "song_(new_1).MP3");
        test::WriteFile(m_dir + "song_(new_2).MP3");
        QCOMPARE(UniqueName(song), m_dir + "song_(new_3).MP3");
        // Folders and dangling links are taken too; a name in a missing folder is free.
        QCOMPARE(UniqueName(m_dir + "missing/song.MP3"), m_dir + "missing/song.MP3");
        QDir().mkpath(m_dir + "album.FLAC");
        QCOMPARE(UniqueName(m_dir + "album.FLAC"), m_dir + "album_(new).FLAC");
        QVERIFY(QFile::link(m_dir + "nowhere", m_dir + "link.MP3"));
        QCOMPARE(UniqueName(m_dir + "link.MP3"), m_dir + "link_(new).MP3");
    }

    void jobOutputPath() {
        // track.m4a converted to MP3 lands as track.mp3 in the output folder (the catalog's
        // upper-case extension in the lower case file names have here).
        QCOMPARE(OutputPathForJob(m_dir, "track.m4a", "MP3", 1), m_dir + "track.mp3");
        test::WriteFile(m_dir + "track.mp3");
        QCOMPARE(OutputPathForJob(m_dir, "track.m4a", "MP3", 1), m_dir + "track_(new).mp3");
        QCOMPARE(OutputPathForJob(m_dir, "track.m4a", "MP3", 0), m_dir + "track.mp3");
        // A folder text without its trailing slash still names a file inside it; only the last
        // extension changes, and a dot in a folder's name is none.
        QCOMPARE(OutputPathForJob(m_dir.chopped(1), "a.wav", "OGG", 0), m_dir + "a.ogg");
        QCOMPARE(OutputPathForJob(m_dir + "m.v2", "my.song.flac", "OGG", 0), m_dir + "m.v2/my.song.ogg");
        QCOMPARE(OutputPathForJob(m_dir + "m.v2", "track", "OGG", 0), m_dir + "m.v2/track.ogg");
    }

    void namesNeverLeaveTheOutputFolder_data() {
        QTest::addColumn<QString>("display");
        QTest::newRow("slashes") << "../../etc/passwd.wav";
        QTest::newRow("dot-dot name") << "...wav";
        QTest::newRow("NUL") << QString("bad") + QChar(0) + "name.wav";
        QTest::newRow("absolute") << "/tmp/x.wav";
    }
    void namesNeverLeaveTheOutputFolder() {
        QFETCH(QString, display);
        const QString path = OutputPathForJob(m_dir, display, "MP3", 1);
        QVERIFY2(path.startsWith(m_dir), qPrintable(path));
        QVERIFY(!path.mid(m_dir.size()).contains('/'));
        QVERIFY(!path.contains(QChar(0)));
        QVERIFY(path.endsWith(".mp3"));
    }

    void longNamesAreShortenedToAWritableFileName() {
        const QString longName = QString(300, QChar(0x00E9)) + ".flac"; // 600 bytes of "é"
        const QString path = OutputPathForJob(m_dir, longName, "MP3", 1);
        const QString fileName = path.mid(m_dir.size());
        QVERIFY(fileName.toUtf8().size() <= 255 - 20);
        QVERIFY(fileName.endsWith(".mp3"));
        QVERIFY(fileName.startsWith(QChar(0x00E9)));
        // The shortened name, and its unique variants, can really be created.
        QVERIFY(QFile(test::WriteFile(path)).exists());
        const QString second = OutputPathForJob(m_dir, longName, "MP3", 1);
        QVERIFY(second != path);
        QVERIFY(QFile(test::WriteFile(second)).exists());
        // A 4-byte character is never cut in half.
        const QString emoji = QString::fromUtf8("🎵").repeated(100) + ".wav";
        const QString emojiPath = OutputPathForJob(m_dir, emoji, "OGG", 1);
        QVERIFY(!emojiPath.contains(QChar::ReplacementCharacter));
        QCOMPARE(QString::fromUtf8(emojiPath.toUtf8()), emojiPath);
        QVERIFY(QFile(test::WriteFile(emojiPath)).exists());
    }
};

TV_TEST_MAIN_CORE(OutputNamingTest)
#include "tst_outputnaming.moc"

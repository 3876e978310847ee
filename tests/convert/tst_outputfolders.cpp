// Remembered folders with their fall-backs, and the output-folder check before a batch.
#include "Config.h"
#include "OutputFolders.h"
#include "Settings.h"
#include "TestEnv.h"

using namespace tv;

class OutputFoldersTest : public QObject {
    Q_OBJECT
private:
    QString home() const { return test::Home().path(); }

private Q_SLOTS:
    void initTestCase() { ReadConfiguration(); }

    void loadFoldersCreatesDataFoldersAndFallsBack() {
        QDir(home() + "/Music").removeRecursively();
        WriteSetting("OutputPath", home() + "/gone/");
        WriteSetting("InputPath", "");
        LoadFolders();
        QVERIFY(QFileInfo(Paths().dataFolder).isDir());
        QVERIFY(QFileInfo(Paths().tempFolder).isDir());
        // No music folder on this machine: the documents folder takes its place.
        QCOMPARE(Folders().outputFolder, home() + "/Documents/");
        QCOMPARE(Folders().inputFolder, home() + "/Documents/");
        QCOMPARE(Folders().captureFolder, home() + "/Documents/");

        QVERIFY(QDir().mkpath(home() + "/Music"));
        QVERIFY(QDir().mkpath(home() + "/Pictures"));
        LoadFolders();
        QCOMPARE(Folders().outputFolder, home() + "/Music/");
        QCOMPARE(Folders().captureFolder, home() + "/Pictures/");

        const QString chosen = home() + "/Ausgabe é/";
        QVERIFY(QDir().mkpath(chosen));
        WriteSetting("OutputPath", "  " + chosen.chopped(1) + "  ");
        LoadFolders();
        QCOMPARE(Folders().outputFolder, chosen);
    }

    void leavingTheBoxAddsTheSlash() {
        QCOMPARE(FolderTextOnLeave("/music/out"), QStringLiteral("/music/out/"));
        QCOMPARE(FolderTextOnLeave("/music/out/"), QStringLiteral("/music/out/"));
        QCOMPARE(FolderTextOnLeave("   "), QStringLiteral("   "));
        QCOMPARE(FolderTextOnLeave(""), QString());
    }

    void theOutputFolderIsMadeOneLevelDeepAndNeverUnderAFile() {
        QString empty = "  ";
        QVERIFY(CheckOutputFolder(empty));
        QCOMPARE(empty, SpecialFolder(5));
        QVERIFY(QFileInfo(empty).isDir());

        QString missing = " " + home() + "/new output/  ";
        QVERIFY(CheckOutputFolder(missing));
        QCOMPARE(missing, home() + "/new output/"); // the outputs go where the check looked
        QVERIFY(QFileInfo(missing).isDir());

        // Only one level is created: a folder under a missing one is refused, not made.
        QString deep = home() + "/a/b/c/";
        QVERIFY(!CheckOutputFolder(deep));
        QVERIFY(!QFileInfo(home() + "/a").exists());

        // A path under a regular file can never be a folder.
        test::WriteFile(home() + "/plainfile");
        QString underFile = home() + "/plainfile/out/";
        QVERIFY(!CheckOutputFolder(underFile));
        QString aFile = home() + "/plainfile";
        QVERIFY(!CheckOutputFolder(aFile));
    }

    void readOnlyOutputFolderIsRefused() {
        const QString mountPoint = home() + "/readonly";
        TV_TMPFS_OR_SKIP(disk, mountPoint, "1m", true);
        QString folder = mountPoint + "/";
        QVERIFY(!CheckOutputFolder(folder));
        QString below = mountPoint + "/sub/";
        QVERIFY(!CheckOutputFolder(below));
    }
};

TV_TEST_MAIN_CORE(OutputFoldersTest)
#include "tst_outputfolders.moc"

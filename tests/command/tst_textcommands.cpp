// Text commands against a recording host: matching rules, replies and the files they touch.
#include "CommandHost.h"
#include "TestEnv.h"
#include "TextCommands.h"

using namespace tv;

namespace {

class RecordingHost : public CommandHost {
public:
    bool blocked = false;
    quint64 active = 0;
    QStringList calls;
    QStringList imported;
    QStringList selected;
    QList<QStringList> overlays;
    int cannotOpen = 0;

    bool commandsBlocked() const override { return blocked; }
    QString inputExtensionList() const override { return "|avi|mp4|flac|mp3|wav|"; }
    QStringList outputFormatLines() const override { return {"MP3", "FLAC", "iPhone"}; }
    void removeAllFiles() override { calls << "removeAll"; }
    quint64 mainWindowHandle() const override { return 4242; }
    quint64 activeWindowHandle() const override { return active; }
    bool selectOutputByName(const QString &name) override {
        selected << name;
        return name == "MP3";
    }
    void showImageOverlay(const QStringList &fields) override { overlays << fields; }
    bool importFile(const QString &path) override {
        imported << path;
        return !path.contains("broken");
    }
    void showCannotOpenFile() override { ++cannotOpen; }
    void showListState() override { calls << "listState"; }
};

QByteArray Read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TextCommandsTest : public QObject {
    Q_OBJECT
private:
    QString m_dir;
    QString m_data;
    QString m_done;

    void setPaths(TextCommands &commands) {
        commands.ExecuteTextCommand("@ExportDataPath:" + m_data);
        commands.ExecuteTextCommand("@exportdonepath: " + m_done);
    }

private Q_SLOTS:
    void init() {
        m_dir = test::Home().path() + "/" + QTest::currentTestFunction() + "/";
        QDir().mkpath(m_dir);
        m_data = m_dir + "data.txt";
        m_done = m_dir + "done.txt";
    }

    // What the running program does with each command is the end-to-end test; here the replies'
    // exact form and what is refused.
    void repliesHaveTheirExactFormAndRefusalsSayWhy() {
        RecordingHost host;
        TextCommands commands(&host);
        setPaths(commands);
        QVERIFY(QFile::exists(m_data) && QFile::exists(m_done));
        commands.ExecuteTextCommand("  @InputFormat  ");
        QCOMPARE(Read(m_data), QByteArray("|avi|mp4|flac|mp3|wav|\r\n"));
        commands.ExecuteTextCommand("@OutputFormat");
        QCOMPARE(Read(m_data), QByteArray("MP3\r\nFLAC\r\niPhone\r\n"));
        // Other letter case is an unknown command: nothing is written.
        QFile::remove(m_data);
        commands.ExecuteTextCommand("@hwnd");
        QVERIFY(!QFile::exists(m_data));

        // A plain path has no done file; what was not added is said to the sender, in words a
        // script can show, and "@AddFile:" is still answered.
        QFile::remove(m_done);
        QCOMPARE(commands.ExecuteTextCommand("\"/music/My Song.FLAC\""), QString());
        QCOMPARE(host.imported, QStringList{"/music/My Song.FLAC"});
        QVERIFY(!QFile::exists(m_done));
        QVERIFY(commands.ExecuteTextCommand("@AddFile:/music/notes.txt").contains("not supported"));
        QVERIFY(commands.ExecuteTextCommand("/music/no-extension").contains("not supported"));
        QCOMPARE(host.cannotOpen, 2);
        QVERIFY(QFile::exists(m_done));
        QVERIFY(commands.ExecuteTextCommand("/music/broken.mp3").contains("could not be added"));
        QCOMPARE(host.calls.count("listState"), 4); // after every file, added or not
        // A folder has no extension and is still handed over, to be taken whole.
        const QString folder = QDir::tempPath();
        QCOMPARE(commands.ExecuteTextCommand(folder), QString());
        QCOMPARE(host.imported.last(), folder);
        QCOMPARE(host.cannotOpen, 2);

        // A blank output name is no command.
        QFile::remove(m_done);
        commands.ExecuteTextCommand("@SetOutput:   ");
        QVERIFY(host.selected.isEmpty());
        QVERIFY(!QFile::exists(m_done));
    }

    void keywordsOnOneTextAndTheOverlay() {
        RecordingHost host;
        TextCommands commands(&host);
        commands.setArguments("/usr/bin/tunevane", {"a.mp3"});
        // Both export keywords on one text: each takes the text without its own keyword.
        const QString both = "@ExportDataPath:" + m_dir + "x@ExportDonePath:";
        commands.ExecuteTextCommand(both);
        QCOMPARE(commands.exportDataPath(), m_dir + "x@ExportDonePath:");
        QCOMPARE(commands.exportDonePath(), "@ExportDataPath:" + m_dir + "x");
        QCOMPARE(commands.argumentCount(), 0);

        commands.setArguments("/usr/bin/tunevane", {"a.mp3"});
        commands.ExecuteTextCommand("@ImageOverlay:/pics/my cover.png/fade/300/2000");
        QCOMPARE(host.overlays.size(), 1);
        QCOMPARE(host.overlays.first(), (QStringList{"/pics/my cover.png", "fade", "300", "2000"}));
        QCOMPARE(commands.argumentCount(), 1); // the overlay does not clear the arguments
        commands.ExecuteTextCommand("@imageoverlay:p.png/none @AddFile:a.mp3");
        QCOMPARE(host.overlays.last().size(), 2); // too few fields: no notice will show
        QVERIFY(host.imported.isEmpty());         // and the overlay wins over "@AddFile:"
    }

    void blockedCommandsAreDroppedAndArgumentsKept() {
        RecordingHost host;
        host.blocked = true;
        TextCommands commands(&host);
        commands.setArguments("/usr/bin/tunevane", {"a.mp3", "b.mp3"});
        commands.ExecuteTextCommand("@ExportDataPath:" + m_data);
        QVERIFY(commands.ExecuteTextCommand("/music/a.mp3").contains("busy"));
        QVERIFY(!QFile::exists(m_data));
        QVERIFY(host.imported.isEmpty());
        QCOMPARE(commands.argumentCount(), 2);
        host.blocked = false;
        QVERIFY(commands.ExecuteTextCommand("@unknown").contains("Unknown command"));
        QCOMPARE(commands.argumentCount(), 0);
    }

    void repliesNeverFollowLinksOrMakeFolders() {
        RecordingHost host;
        TextCommands commands(&host);
        const QString target = m_dir + "protected.txt";
        test::WriteFile(target, "keep me");
        QVERIFY(QFile::link(target, m_dir + "link.txt"));
        commands.ExecuteTextCommand("@ExportDataPath:" + m_dir + "link.txt");
        QVERIFY(commands.ExecuteTextCommand("@InputFormat").contains("could not be written"));
        QCOMPARE(Read(target), QByteArray("keep me"));

        QDir().mkpath(m_dir + "a folder");
        commands.ExecuteTextCommand("@ExportDataPath:" + m_dir + "a folder");
        commands.ExecuteTextCommand("@InputFormat");
        QVERIFY(QFileInfo(m_dir + "a folder").isDir());

        commands.ExecuteTextCommand("@ExportDataPath:" + m_dir + "missing/reply.txt");
        commands.ExecuteTextCommand("@hWnd");
        QVERIFY(!QFileInfo::exists(m_dir + "missing"));
    }

    void activeWindowWatchWritesBothHandles() {
        RecordingHost host;
        TextCommands commands(&host);
        setPaths(commands);
        QFile::remove(m_data);
        commands.ExecuteTextCommand("@ActivehWnd");
        host.active = 77;
        QTRY_COMPARE(Read(m_data), QByteArray("4242,77\r\n"));
        commands.stopActiveWindowWatch();
        QVERIFY(!commands.activeWindowWatchRunning());
    }
};

TV_TEST_MAIN_CORE(TextCommandsTest)
#include "tst_textcommands.moc"

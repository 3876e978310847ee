// The real program, started offscreen and driven only through its text commands, the way other
// programs and a second start of Tunevane drive it.
#include "MediaGen.h"
#include "TestEnv.h"

#include <csignal>

class CommandsE2ETest : public QObject {
    Q_OBJECT
private:
    QProcess m_app;
    QByteArray m_log;
    QString m_dir;

    QProcessEnvironment environment() const {
        QProcessEnvironment env = tv::test::Home().environment();
        env.insert("QT_LOGGING_RULES", "tunevane.startup.info=true\ntunevane.commands.info=true");
        return env;
    }

    // A second start of the program with one argument; it hands the command over and ends.
    int send(const QString &command, const QString &folder = QString()) {
        QProcess second;
        second.setProcessEnvironment(environment());
        second.setWorkingDirectory(folder);
        second.start(TUNEVANE_BINARY, {command});
        if (!second.waitForFinished(60000))
            return -1;
        m_said = second.readAllStandardError();
        return second.exitCode();
    }
    QByteArray m_said;   // what the last second start wrote on its standard error
    QByteArray m_handle; // the window's handle as the first "@hWnd" wrote it

    QByteArray read(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    bool logged(const QByteArray &text) {
        m_log += m_app.readAll();
        return m_log.contains(text);
    }

private Q_SLOTS:
    void initTestCase() {
        m_dir = tv::test::Home().path() + "/e2e/";
        QDir().mkpath(m_dir);
        QVERIFY(tv::test::GenerateTone(m_dir + "first song.flac", 2.0));
        QVERIFY(tv::test::GenerateTone(m_dir + "second.mp3", 2.0));
        m_app.setProcessEnvironment(environment());
        m_app.setProcessChannelMode(QProcess::MergedChannels);
        // The first start carries a file: it is added once the window is up.
        m_app.start(TUNEVANE_BINARY, {m_dir + "first song.flac"});
        QVERIFY(m_app.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(logged("frmMain shown"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(logged("rows: 1"), 30000);
    }

    void repliesGoToTheNamedFiles() {
        const QString data = m_dir + "data.txt";
        const QString done = m_dir + "done.txt";
        QCOMPARE(send("@ExportDataPath:" + data), 0);
        QCOMPARE(send("@ExportDonePath:" + done), 0);
        QCOMPARE(read(data), QByteArray());
        QCOMPARE(read(done), QByteArray());

        QCOMPARE(send("@InputFormat"), 0);
        const QByteArray formats = read(data);
        QVERIFY(formats.startsWith("|3gp|"));
        QVERIFY(formats.contains("|flac|") && formats.endsWith("|\r\n"));

        QCOMPARE(send("@OutputFormat"), 0);
        const QList<QByteArray> lines = read(data).split('\n');
        QVERIFY(lines.size() > 50);
        QVERIFY(lines.contains("MP3\r"));
        QVERIFY(!read(data).contains("[%Custom%]"));

        QCOMPARE(send("@hWnd"), 0);
        const QByteArray handle = read(data);
        QVERIFY2(handle.startsWith(' ') && handle.endsWith(" \r\n"), handle.constData());
        QVERIFY(handle.trimmed().toULongLong() > 0);
        m_handle = handle;
    }

    void filesPresetsAndClearing() {
        const QString done = m_dir + "done.txt";
        QFile::remove(done);
        QCOMPARE(send("@addfile:\"" + m_dir + "second.mp3\""), 0);
        QVERIFY(QFile::exists(done)); // answered only after the file was added
        QTRY_VERIFY(logged("rows: 2"));

        QFile::remove(done);
        QCOMPARE(send("@SetOutput:FLAC"), 0);
        QVERIFY(QFile::exists(done));
        QFile::remove(done);
        // Not carried out: the sender says why and fails, so a script notices.
        QCOMPARE(send("@SetOutput:No preset is called like this"), 1);
        QVERIFY2(m_said.contains("No preset is called like this"), m_said.constData());
        QVERIFY(QFile::exists(done));

        // A second start with a plain path adds it to the running window and ends, touching
        // neither the running window's temporary files nor the settings.
        const QString temp = tv::test::Home().path() + "/.local/share/Tunevane/Temp/";
        const QStringList running =
            QDir(temp).entryList({"run-*"}, QDir::Dirs).filter(QString::number(m_app.processId()));
        QCOMPARE(running.size(), 1);
        const QString inUse = tv::test::WriteFile(temp + running.first() + "/tagimg_INUSE.jpg");
        const QString ini = tv::test::Home().path() + "/.config/Tunevane/Tunevane.ini";
        const QByteArray settingsBefore = read(ini);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(send(m_dir + "second.mp3"), 0);
        QVERIFY(QFile::exists(inUse));
        QCOMPARE(read(ini), settingsBefore);
        QTRY_VERIFY(logged("rows: 3"));
        QVERIFY(clock.elapsed() < 30000);
        // Named from its own folder, the file is the same file for the running window.
        QCOMPARE(send("second.mp3", m_dir), 0);
        QTRY_VERIFY(logged("rows: 4"));

        QFile::remove(done);
        QCOMPARE(send("@RemoveAll"), 0);
        QVERIFY(QFile::exists(done));
        QTRY_VERIFY(logged("rows: 0"));

        // A second start without arguments only brings the window forward.
        QCOMPARE(QProcess::execute(TUNEVANE_BINARY, {}), 0);
        QCOMPARE(m_app.state(), QProcess::Running);

        // Bringing the window forward for every command never re-created it (an open dialog
        // would be left with a parent that is gone): its handle is the one of the start.
        QCOMPARE(send("@hWnd"), 0);
        QCOMPARE(read(m_dir + "data.txt"), m_handle);
    }

    void cleanupTestCase() {
        ::kill(static_cast<pid_t>(m_app.processId()), SIGTERM);
        QVERIFY(m_app.waitForFinished(30000));
        QCOMPARE(m_app.exitCode(), 0);
    }
};

TV_TEST_MAIN_CORE(CommandsE2ETest)
#include "tst_commands_e2e.moc"

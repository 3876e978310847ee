// Starts the real program offscreen, as a user would, and ends it the way a session does.
#include "TestEnv.h"

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

class StartupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsShowsTheWindowAndUnloadsCleanly() {
        const QString home = tv::test::Home().path();
        const QString dataFolder = home + "/.local/share/Tunevane/";
        const QString tempFolder = dataFolder + "Temp/";
        QVERIFY(!QFileInfo::exists(dataFolder));
        // Folders of other runs: one whose process has ended (its lock is free) and one of a
        // process still running (this test holds its lock).
        const QString ended = tempFolder + "run-1-ended/";
        tv::test::WriteFile(ended + "thumbnail_OLD.bmp");
        tv::test::WriteFile(ended + ".lock", QByteArray());
        const QString live = tempFolder + "run-2-live/";
        const QString liveFile = tv::test::WriteFile(live + "tagimg_INUSE.jpg");
        const int liveLock =
            ::open(QFile::encodeName(tv::test::WriteFile(live + ".lock", QByteArray())), O_RDWR);
        QCOMPARE(::flock(liveLock, LOCK_EX | LOCK_NB), 0);

        QProcess app;
        QProcessEnvironment env = tv::test::Home().environment();
        env.insert("QT_LOGGING_RULES", "tunevane.startup.info=true");
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::MergedChannels);
        app.start(TUNEVANE_BINARY, {});
        QVERIFY2(app.waitForStarted(10000), qPrintable(app.errorString()));

        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT((log += app.readAll()).contains("frmMain shown"), 30000);
        QVERIFY(QFileInfo(dataFolder).isDir());
        QVERIFY(QFileInfo(tempFolder).isDir());
        QVERIFY(!QFileInfo::exists(ended));
        const QStringList own =
            QDir(tempFolder).entryList({"run-*"}, QDir::Dirs).filter(QString::number(app.processId()));
        QCOMPARE(own.size(), 1);

        // Something left in the window's temporary folder is gone after the unload.
        const QString leftover = tv::test::WriteFile(tempFolder + own.first() + "/thumbnail_TEST.bmp");
        ::kill(static_cast<pid_t>(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(30000));
        log += app.readAll();
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        QVERIFY2(log.contains("frmMain unloaded"), log.constData());
        QVERIFY(!QFile::exists(leftover));
        QVERIFY(!QFileInfo::exists(tempFolder + own.first()));
        QVERIFY(QFile::exists(liveFile)); // another running process keeps its files
        ::close(liveLock);
        QVERIFY(QFileInfo(home + "/.config/Tunevane/Tunevane.ini").isFile());
        QVERIFY2(!log.contains("missing image"), log.constData());
    }
};

TV_TEST_MAIN_CORE(StartupTest)
#include "tst_startup.moc"

// tunevane-cli run as a user or a script would run it, on generated media.
#include "CliRun.h"
#include "Config.h"
#include "MediaGen.h"
#include "TestEnv.h"
#include "WorkFiles.h"

#include <csignal>
#include <unistd.h>

using namespace tv;
using test::CliRun;
using test::JsonLines;
using test::RunCli;

class CliTest : public QObject {
    Q_OBJECT
private:
    QString m_in;

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        m_in = test::Home().path() + "/album/";
        QVERIFY(
            test::GenerateTaggedTone(m_in + "01 first.flac", 2.0, {"title=First", "artist=Band", "track=1"}));
        QVERIFY(test::GenerateTaggedTone(m_in + "02 second.mp3", 1.5,
                                         {"title=Second", "artist=Band", "track=2"}));
        QVERIFY(test::GenerateTone(m_in + "too short.wav", 0.5));
        test::WriteFile(m_in + "notes.txt", "not media");
    }

    void listsPresetsForPeopleAndScripts() {
        const CliRun json = RunCli({"--list-presets", "--json", "--keyword", "mp3"});
        QCOMPARE(json.exitCode, 0);
        const QJsonArray presets = QJsonDocument::fromJson(json.out.toUtf8()).array();
        QVERIFY(presets.size() >= 5);
        for (const QJsonValue &value : presets) {
            const QJsonObject preset = value.toObject();
            QCOMPARE(preset.value("keyword").toString().toUpper(), QStringLiteral("MP3"));
            QVERIFY(!preset.value("codec").toString().startsWith('#'));
            QVERIFY(preset.value("name").toString() != "[%Custom%]");
        }
        const CliRun text = RunCli({"--list-presets", "--maker", "DeviceFormat"});
        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.out.contains("presets\n"));
        QVERIFY(!text.out.contains("AF-MP3-01"));
    }

    void infoGivesTheListsFields() {
        const CliRun run =
            RunCli({"info", "--json", m_in + "01 first.flac", m_in + "too short.wav", m_in + "notes.txt"});
        QCOMPARE(run.exitCode, 1); // one file could not be read
        const QList<QJsonObject> lines = run.lines();
        QCOMPARE(lines.size(), 3);
        QStringList fields;
        for (const char *key : {"Name", "Format", "Duration", "FileType", "Tag_Title", "AudioSampleRate"})
            fields << lines[0].value(key).toString();
        QCOMPARE(fields, QStringList({"01 first", "FLAC", "00:00:02", "AUDIO", "First", "44100"}));
        QCOMPARE(lines[1].value("skipped").toBool(), true);
        QVERIFY(!lines[2].value("error").toString().isEmpty());
    }

    void convertsAFolderWithTagsAndReportsAsJson() {
        const QString out = test::Home().path() + "/out-json/";
        QVERIFY(test::GeneratePicture(m_in + "picture.jpg"));
        const CliRun run =
            RunCli({"convert", "--keyword", "MP3", "--output", out, "--json", m_in, m_in + "picture.jpg"});
        QCOMPARE(run.exitCode, 0);
        QList<QJsonObject> lines = run.lines();
        // Every input has its line, a skipped one with its reason (the text file is no media
        // file by its name, so the folder search leaves it out).
        QMap<QString, QString> skipped;
        for (const QJsonObject &line : lines) {
            if (line.value("status") == "Skipped")
                skipped.insert(QFileInfo(line.value("input").toString()).fileName(),
                               line.value("message").toString());
        }
        QCOMPARE(skipped, (QMap<QString, QString>{{"too short.wav", "shorter than one second"},
                                                  {"picture.jpg", "not a media file"}}));
        lines.removeIf([](const QJsonObject &line) { return line.value("status") == "Skipped"; });
        QCOMPARE(lines.size(), 2);
        for (const QJsonObject &line : lines) {
            QCOMPARE(line.value("status").toString(), QStringLiteral("Done"));
            const QString output = line.value("output").toString();
            QVERIFY2(QFile::exists(output), qPrintable(output));
            QVERIFY(output.startsWith(out) && output.endsWith(".mp3"));
            QVERIFY(line.contains("seconds") && line.contains("raw") && line.contains("message"));
        }
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 2);
        const QJsonObject probe = test::FFprobe(out + "01 first.mp3");
        QCOMPARE(test::FFprobeTag(probe, "title"), QStringLiteral("First"));
        QCOMPARE(test::FFprobeTag(probe, "artist"), QStringLiteral("Band"));

        // Again: new names instead of overwriting, unless asked.
        const CliRun again =
            RunCli({"convert", "--keyword", "MP3", "--output", out, "--json", m_in + "01 first.flac"});
        QVERIFY(again.lines().first().value("output").toString().endsWith("01 first_(new).mp3"));
        const CliRun overwrite = RunCli({"convert", "--keyword", "MP3", "--output", out, "--overwrite",
                                         "--json", m_in + "01 first.flac"});
        QCOMPARE(overwrite.lines().first().value("output").toString(), out + "01 first.mp3");
    }

    void trimmedInputsMergeUnderTheFirstName() {
        const QString out = test::Home().path() + "/out-merge/";
        const CliRun run =
            RunCli({"convert", "--keyword", "FLAC", "--output", out, "--start", "00:00:00.500", "--length",
                    "00:00:00.750", "--merge", m_in + "01 first.flac", m_in + "02 second.mp3"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{"01 first_(new).flac"});
        QVERIFY(qAbs(test::ProbeWithFFprobe(out + "01 first_(new).flac").duration - 1.5) < 0.02);
        QCOMPARE(test::FFprobeTag(test::FFprobe(out + "01 first_(new).flac"), "title"),
                 QStringLiteral("First"));
    }

    void wrongUseExitsWithTwoAndSuggestsTheNearestPreset() {
        QCOMPARE(RunCli({}).exitCode, 2);
        QCOMPARE(RunCli({"convert", m_in}).exitCode, 2);
        const CliRun unknown = RunCli({"convert", "--preset", "Best Qualty", "--keyword", "MP3", m_in});
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY2(unknown.err.contains("Best Quality"), qPrintable(unknown.err));
        const CliRun shared =
            RunCli({"convert", "--preset", "Best Quality - 48000 Hz, Stereo, 320 kbps", m_in});
        QCOMPARE(shared.exitCode, 2);
        QVERIFY(shared.err.contains("--keyword"));
        const CliRun missing = RunCli({"convert", "--keyword", "MP3", "--output", test::Home().path() + "/o",
                                       m_in + "nothing.flac", m_in + "01 first.flac"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("nothing.flac"));
        test::WriteFile(test::Home().path() + "/plainfile");
        QCOMPARE(
            RunCli({"convert", "--keyword", "MP3", "--output", test::Home().path() + "/plainfile/x", m_in})
                .exitCode,
            2);
        for (const char *sub : {"info", "convert"})
            QVERIFY(RunCli({sub, "--help"}).out.contains("--json"));
    }

    void interruptStopsAndCleansUp() {
        const QString input = m_in + "long.flac";
        QVERIFY(test::GenerateTone(input, 240.0));
        const QString out = test::Home().path() + "/out-int/";
        QProcess p;
        p.setProcessEnvironment(test::Home().environment());
        p.start(TUNEVANE_CLI_BINARY, {"convert", "--keyword", "WAV", "--output", out, "--jobs", "1", "--json",
                                      input, input, input});
        QVERIFY(p.waitForStarted());
        // Interrupt once the first job has written something under its work name.
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty(), 30000);
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 130);
        QVERIFY(QDir(out).entryList(QDir::Files | QDir::Hidden).filter(".tvpart-").isEmpty());
        const QList<QJsonObject> lines = JsonLines(QString::fromUtf8(p.readAllStandardOutput()));
        QVERIFY(std::any_of(lines.begin(), lines.end(),
                            [](const QJsonObject &o) { return o.value("status") == "Canceled!"; }));
    }

    // Runs of the program at the same time never share a work file: each reads the same
    // catalogs and builds the same options, and each takes its temporary folder with it.
    void concurrentRunsDoNotDisturbEachOther() {
        const QString input = m_in + "01 first.flac";
        QStringList seen;
        for (int round = 0; round < 4; ++round) {
            QList<QProcess *> runs;
            for (int i = 0; i < 6; ++i) {
                auto *p = new QProcess;
                p->setProcessEnvironment(test::Home().environment());
                p->start(TUNEVANE_CLI_BINARY, {"convert", "--dry-run", "--json", "--preset", "AF-MP3-01",
                                               "--output", test::Home().path() + "/dry", input});
                runs << p;
            }
            for (QProcess *p : runs) {
                QVERIFY(p->waitForFinished(60000));
                QCOMPARE(p->exitCode(), 0);
                const QList<QJsonObject> lines = JsonLines(QString::fromUtf8(p->readAllStandardOutput()));
                QCOMPARE(lines.size(), 1);
                seen << lines.first().value("options").toString();
                delete p;
            }
        }
        seen.removeDuplicates();
        QCOMPARE(seen.size(), 1);
        QVERIFY2(QRegularExpression(" -ar \\d+ ").match(seen.first()).hasMatch(), qPrintable(seen.first()));
        QVERIFY(seen.first().endsWith(" -t 00:00:02.000"));        // the input's whole length
        QVERIFY(!QFileInfo::exists(test::Home().path() + "/dry")); // a dry run writes nothing
        const QString temp = test::Home().path() + "/.local/share/Tunevane/Temp/";
        QStringList left = QDir(temp).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        left.removeIf(
            [](const QString &name) { return name.startsWith(QStringLiteral("run-%1-").arg(::getpid())); });
        QCOMPARE(left, QStringList()); // this test program's own folder aside
    }

    // A run killed outright leaves its work file; the next run into that folder sweeps it, and
    // only it: a work file of a live process stays.
    void workFilesOfKilledRunsAreSweptByTheNext() {
        const QString input = m_in + "five minutes.flac";
        QVERIFY(test::GenerateTone(input, 300.0));
        const QString out = test::Home().path() + "/out-killed/";
        QProcess p;
        p.setProcessEnvironment(test::Home().environment());
        p.start(TUNEVANE_CLI_BINARY, {"convert", "--keyword", "WAV", "--output", out, "--jobs", "1", input});
        QVERIFY(p.waitForStarted());
        auto workFiles = [&out]() {
            return QDir(out).entryList(QDir::Files | QDir::Hidden).filter(".tvpart-");
        };
        QTRY_VERIFY_WITH_TIMEOUT(!workFiles().isEmpty(), 30000);
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        QVERIFY(p.waitForFinished(30000));
        QVERIFY(!workFiles().isEmpty());
        // This test process is alive: a work file of its own must survive the sweep.
        const QString live = test::WriteFile(WorkFilePath(out + "live.mp3"));
        const CliRun next = RunCli({"convert", "--keyword", "MP3", "--output", out, m_in + "02 second.mp3"});
        QCOMPARE(next.exitCode, 0);
        QCOMPARE(workFiles(), QStringList{QFileInfo(live).fileName()});
    }

    // A full disk fails one file and stops the run; the files after it are reported, not tried.
    void aFullDiskStopsTheRun() {
        const QString full = test::Home().path() + "/full";
        TV_TMPFS_OR_SKIP(fullDisk, full, "1m");
        QStringList inputs;
        for (int i = 0; i < 4; ++i) {
            inputs << m_in + QString("ten seconds %1.flac").arg(i);
            QVERIFY(test::GenerateTone(inputs.last(), 10.0));
        }
        const CliRun run = RunCli(
            QStringList{"convert", "--keyword", "WAV", "--json", "--jobs", "1", "--output", full} + inputs);
        QVERIFY(fullDisk.files().filter(".tvpart-").isEmpty());
        QCOMPARE(run.exitCode, 1);
        const QList<QJsonObject> lines = run.lines();
        QCOMPARE(lines.size(), 4);
        QStringList statuses;
        for (const QJsonObject &line : lines)
            statuses << line.value("status").toString();
        QCOMPARE(statuses.count("Unsuccessful!"), 1);
        QCOMPARE(statuses.count("Canceled!"), 4 - 1 - statuses.count("Done"));
        QVERIFY(statuses.count("Canceled!") >= 2);
        for (const QJsonObject &line : lines)
            QVERIFY(line.value("status") != "Canceled!" || line.value("message").toString().contains("disk"));
    }

    // What is written reaches the disk before it takes its final name, and the name right after.
    void outputsAreFlushedAroundTheirRename() {
        const QString strace = QStandardPaths::findExecutable("strace");
        if (strace.isEmpty())
            QSKIP("strace is not installed");
        const QString out = test::Home().path() + "/out-sync/";
        const QString log = test::Home().path() + "/strace.log";
        QProcess p;
        p.setProcessEnvironment(test::Home().environment());
        // One log per thread (-ff): the job's worker does the writing, flushing and renaming.
        p.start(strace, {"-ff", "-o", log, "-e", "trace=openat,fsync,rename,renameat2", TUNEVANE_CLI_BINARY,
                         "convert", "--keyword", "MP3", "--output", out, m_in + "02 second.mp3"});
        QVERIFY(p.waitForFinished(120000));
        if (p.exitCode() != 0 && QString::fromUtf8(p.readAllStandardError()).contains("ptrace"))
            QSKIP("tracing is not allowed here");
        QCOMPARE(p.exitCode(), 0);
        QStringList calls;
        for (const QString &name : QDir(test::Home().path()).entryList({"strace.log.*"})) {
            const QString text = QString::fromUtf8(test::ReadFile(test::Home().path() + "/" + name));
            if (text.contains(out + "02 second.mp3\""))
                calls = text.split('\n');
        }
        QMap<QString, QString> openedAs; // descriptor -> path, as the calls go
        int flushedWork = -1, renamed = -1, flushedFolder = -1;
        static const QRegularExpression openCall("openat\\(AT_FDCWD, \"([^\"]+)\".*\\)\\s*= (\\d+)");
        static const QRegularExpression syncCall("fsync\\((\\d+)");
        for (int i = 0; i < calls.size(); ++i) {
            const QString &call = calls[i];
            if (const auto m = openCall.match(call); m.hasMatch())
                openedAs[m.captured(2)] = m.captured(1);
            if (const auto m = syncCall.match(call); m.hasMatch()) {
                const QString path = openedAs.value(m.captured(1));
                if (path.contains(".tvpart-") && flushedWork < 0)
                    flushedWork = i;
                if (QDir::cleanPath(path) == QDir::cleanPath(out) && renamed >= 0)
                    flushedFolder = i;
            }
            if (call.contains("rename") && call.contains(".tvpart-") &&
                call.contains(out + "02 second.mp3\""))
                renamed = i;
        }
        QVERIFY2(flushedWork >= 0 && renamed > flushedWork && flushedFolder > renamed,
                 qPrintable(QString("%1 %2 %3").arg(flushedWork).arg(renamed).arg(flushedFolder)));
    }
};

TV_TEST_MAIN(CliTest)
#include "tst_cli.moc"

// tunevane-cli rip as a script runs it: a disc image ripped and converted in one go, its audio
// equal to the image's bytes, its tags from CD-Text, its JSON lines and log with the checksums,
// chosen tracks, refusals, and an interrupted run that leaves nothing behind.
#include "CliRun.h"
#include "DiscTestSupport.h"
#include "MediaGen.h"
#include "RipJob.h"
#include "TestEnv.h"

#include <csignal>

using namespace tv;
using namespace tv::test;

namespace {

// Nothing reaches the real web service.
QProcessEnvironment Environment() {
    QProcessEnvironment env = Home().environment();
    env.insert("TUNEVANE_LINK_MUSICBRAINZ", "http://127.0.0.1:1/ws/2/");
    return env;
}

CliRun Cli(const QStringList &args) {
    return RunCli(QStringList{"rip"} + args, Environment());
}

} // namespace

class TestCliRip : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (CorpusImagesFolder().isEmpty())
            QSKIP("The corpus of disc images is absent.");
    }

    void imageToFlacKeepsTheSamplesAndCdText() {
        if (!HaveCdInfo())
            QSKIP("cd-info (libcdio-utils) is not installed.");
        const QString image = CorpusImagesFolder() + "/libcdio/cdda.cue";
        const QByteArray disc = ReadFile(CorpusImagesFolder() + "/libcdio/cdda.bin");
        const CdInfoDisc expected = RunCdInfo(image);
        QTemporaryDir out;
        const QString log = out.path() + "/rip.log";
        const CliRun run = Cli({"--image", image, "--keyword", "FLAC", "--output", out.path(), "--no-network",
                                "--json", "--log", log});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> lines = run.lines();
        QCOMPARE(lines.size(), 1);
        const QJsonObject track = lines.constFirst();
        QCOMPARE(track.value("status").toString(), QStringLiteral("Done"));
        QCOMPARE(track.value("title").toString(), expected.titles.value(1));
        QCOMPARE(track.value("crc32").toString(), ChecksumText(ReferenceCrc32(disc)));
        QCOMPARE(track.value("accurateRipV2").toString(),
                 ChecksumText(ReferenceAccurateRip(disc, true, true).v2));
        const QString output = track.value("output").toString();
        QVERIFY2(QFileInfo(output).fileName().startsWith(expected.artist + " - " + expected.titles.value(1)),
                 qPrintable(output));
        QCOMPARE(DecodedSamples(output, {"-ac", "2", "-ar", "44100"}), disc);
        const QJsonObject probe = FFprobe(output);
        QCOMPARE(FFprobeTag(probe, "title"), expected.titles.value(1));
        QCOMPARE(FFprobeTag(probe, "artist"), expected.artist);
        QCOMPARE(FFprobeTag(probe, "album"), expected.album);
        QVERIFY(QString::fromUtf8(ReadFile(log)).contains(track.value("accurateRipV2").toString()));
        // The work files went with the run.
        QDirIterator work(Home().path(), {"*.cda"}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(!work.hasNext());
    }

    void onlyTheChosenTracksAreRippedAndImpossibleRipsAreRefused() {
        QTemporaryDir folder;
        const QString image =
            WriteToneImage(folder.path(), "three", {150, 200, 250}, {"Album", "Band", "A", "B", "C"});
        const CliRun run = Cli({"--image", image, "--tracks", "1,3", "--keyword", "WAV", "--output",
                                folder.path() + "/out", "--no-network"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(folder.path() + "/out").entryList(QDir::Files).size(), 2);
        QVERIFY(run.out.contains("2 of 2 tracks ripped and converted"));

        // A data track, a track the disc lacks, a damaged image, no preset.
        const QString mixed = CorpusImagesFolder() + "/libcdio-paranoia/mixed-mode-cd.cue";
        CliRun refused =
            Cli({"--image", mixed, "--tracks", "1", "--keyword", "WAV", "--output", folder.path()});
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.err.contains("The specified CD track is not an audio track!"),
                 qPrintable(refused.err));
        refused = Cli({"--image", image, "--tracks", "4", "--keyword", "WAV", "--output", folder.path()});
        QCOMPARE(refused.exitCode, 2);
        refused = Cli({"--image", CorpusImagesFolder() + "/libcdio/bad/bad-mode1.cue", "--keyword", "WAV",
                       "--output", folder.path()});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("bad-mode1.cue"), qPrintable(refused.err));
        refused = Cli({"--image", image});
        QCOMPARE(refused.exitCode, 2);
    }

    void interruptedRunLeavesNothing() {
        QTemporaryDir folder;
        const QString image = WriteToneImage(folder.path(), "long", {90000});
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(TUNEVANE_CLI_BINARY, {"rip", "--image", image, "--keyword", "WAV", "--output",
                                      folder.path() + "/out", "--no-network", "--json"});
        QVERIFY(p.waitForStarted());
        // The rip has begun once the work file of its first track exists.
        const QString temp = Home().path() + "/.local/share/Tunevane/Temp";
        auto workFiles = [&temp]() {
            QStringList files;
            QDirIterator it(temp, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString file = it.next();
                if (file.contains("/rip_"))
                    files << file;
            }
            return files;
        };
        QTRY_VERIFY_WITH_TIMEOUT(!workFiles().isEmpty(), 60000);
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 130);
        QVERIFY(QDir(folder.path() + "/out").entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(workFiles().isEmpty());
    }
};

TV_TEST_MAIN_CORE(TestCliRip)
#include "tst_cli_rip.moc"

// tunevane-cli burn as a script runs it: sound files of odd lengths to an audio CD image whose
// tracks libcdio reads back sample for sample with CD-Text from the tags, files and folders to
// a data image that xorriso lists, the refusals (too much for the disc, a taken
// image name, no writer), and an interrupted write that leaves nothing behind.
#include "CliRun.h"
#include "DiscTestSupport.h"
#include "MediaGen.h"
#include "MediaProbe.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <csignal>

using namespace tv;
using namespace tv::test;

namespace {

CliRun Cli(const QStringList &args) {
    return RunCli(QStringList{"burn"} + args);
}

} // namespace

class TestCliBurn : public QObject {
    Q_OBJECT
private slots:
    void audioImageKeepsTheSamplesAndTakesTitlesFromTags() {
        QTemporaryDir dir;
        // A WAV of an odd length keeps its samples exactly; tagged MP3s give the CD-Text.
        const QByteArray wavSamples = WriteCdWav(dir.filePath("in/plain.wav"), 3 * 44100 + 77, 7);
        QVERIFY(GenerateTaggedTone(dir.filePath("in/a.mp3"), 4.21,
                                   {"title=Première", "artist=Ensemble", "album=Disque"}));
        QVERIFY(GenerateTaggedTone(dir.filePath("in/b.ogg"), 2.5,
                                   {"title=Second", "artist=Ensemble", "album=Disque"}, QString(),
                                   {"-ar", "48000"}));
        const QByteArray mp3Samples = DecodedSamples(dir.filePath("in/a.mp3"), {"-ar", "44100", "-ac", "2"});
        // The folder of the image must exist: a run without it is refused and writes nothing.
        const CliRun noFolder = Cli({"--audio", "--image", dir.filePath("out/cd"), dir.filePath("in/a.mp3")});
        QCOMPARE(noFolder.exitCode, 2);
        QVERIFY(!QFileInfo::exists(dir.filePath("out")));
        QVERIFY(QDir().mkpath(dir.filePath("out")));

        const CliRun ok =
            Cli({"--audio", "--json", "--image", dir.filePath("out/cd"), dir.filePath("in/a.mp3"),
                 dir.filePath("in/plain.wav"), dir.filePath("in/b.ogg")});
        QVERIFY2(ok.exitCode == 0, qPrintable(ok.err + ok.out));
        const QList<QJsonObject> lines = ok.lines();
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0).value("name").toString(), QStringLiteral("Première"));
        QCOMPARE(lines.at(3).value("status").toString(), QStringLiteral("Done"));
        QCOMPARE(lines.at(3).value("target").toString(), dir.filePath("out/cd.cue"));
        QCOMPARE(Names(dir.filePath("out")), QStringList({"cd.bin", "cd.cue"}));

        const AudioImageContents image = ReadAudioImage(dir.filePath("out/cd.cue"));
        QVERIFY2(image.ok, qPrintable(image.error));
        QCOMPARE(image.audio.size(), 3);
        QVERIFY(image.audio.at(1) == PaddedToSectors(wavSamples));
        // The MP3 as the decoder gives it, to within its first and last frames' handling.
        QVERIFY(qAbs(image.audio.at(0).size() - mp3Samples.size()) < 2352 * 2);
        QVERIFY(qAbs(image.audio.at(2).size() - qint64(2.5 * 44100) * 4) < 2352 * 2);
        QCOMPARE(image.titles, (QMap<int, QString>{{1, "Première"}, {3, "Second"}}));
        QCOMPARE(image.album, QStringLiteral("Disque"));
        QCOMPARE(image.performer, QStringLiteral("Ensemble"));
        // Nothing of the decoding is left in the temporary folders.
        QDirIterator left(Home().path(), {"burnaudiocd_*"}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(!left.hasNext());
    }

    void dataImageHoldsFilesAndFoldersAsTheyAre() {
        if (!HaveXorriso())
            QSKIP("xorriso is not installed.");
        QTemporaryDir dir;
        WriteFile(dir.filePath("in/Music/Ünïcode – 歌.mp3"), QByteArray(5000, 'u'));
        WriteFile(dir.filePath("in/Music/deep/x.wma"), "wma");
        WriteFile(dir.filePath("in/single.mp3"), "single");
        const QString iso = dir.filePath("data.iso");
        const CliRun run = Cli({"--data-dvd", "--label", "  Road Trip ", "--image", iso,
                                dir.filePath("in/Music"), dir.filePath("in/single.mp3")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(XorrisoFiles(iso),
                 QStringList({"/Music/deep/x.wma", "/Music/Ünïcode – 歌.mp3", "/single.mp3"}));
        QCOMPARE(PvdVolumeId(iso), QStringLiteral("Road Trip"));

        // The same name again is refused, and the image is left as it was.
        const QByteArray before = ReadFile(iso);
        const CliRun again = Cli({"--data-cd", "--image", iso, dir.filePath("in/single.mp3")});
        QCOMPARE(again.exitCode, 2);
        QVERIFY(again.err.contains("already exists"));
        QVERIFY(ReadFile(iso) == before);
    }

    void refusalsLeaveNothingBehind() {
        QTemporaryDir dir;
        // An audio CD longer than the disc is refused before a file is decoded.
        const qint64 bytes = qint64(90) * 60 * 44100 * 4;
        if (!MakeSparseFile(dir.filePath("long.wav"), 44 + bytes, CdWavHeader(bytes)))
            QSKIP("Sparse files cannot be made here.");
        const CliRun tooLong = Cli({"--audio", "--image", dir.filePath("a.cue"), dir.filePath("long.wav")});
        QCOMPARE(tooLong.exitCode, 1);
        QVERIFY2(tooLong.err.contains("This disc doesn't have enough free space for all the selected file."),
                 qPrintable(tooLong.err));
        QCOMPARE(Names(dir.path()), QStringList{"long.wav"});

        const QString wav = dir.filePath("long.wav");
        QCOMPARE(Cli({"--audio", "--data-cd", "--image", dir.filePath("x.iso"), wav}).exitCode, 2);
        QCOMPARE(Cli({"--data-cd", "--image", dir.filePath("x.iso")}).exitCode, 2);
        QCOMPARE(Cli({"--data-cd", "--image", dir.filePath("x.iso"), dir.filePath("missing.mp3")}).exitCode,
                 2);
        // Without a writer and without an image there is nowhere to write (no drive here).
        if (!QFileInfo::exists("/dev/sr0")) {
            const CliRun noDrive = Cli({"--data-cd", wav});
            QCOMPARE(noDrive.exitCode, 1);
            QVERIFY(noDrive.err.contains("CD Burner Not Detected!"));
        }
    }

    void interruptedWriteLeavesNoImage() {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("in")));
        if (!MakeSparseFile(dir.filePath("in/huge.bin"), qint64(3000) * 1000 * 1000))
            QSKIP("Sparse files cannot be made here.");
        QProcess p;
        p.setProcessEnvironment(Home().environment());
        p.start(TUNEVANE_CLI_BINARY,
                {"burn", "--data-dvd", "--image", dir.filePath("dvd.iso"), dir.filePath("in")});
        // Once the image is being written under its work name, the run is interrupted.
        QTRY_VERIFY_WITH_TIMEOUT(Names(dir.path()).size() == 1, 60000);
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 130);
        QVERIFY(Names(dir.path()).isEmpty());
    }
};

TV_TEST_MAIN_CORE(TestCliBurn)
#include "tst_cli_burn.moc"

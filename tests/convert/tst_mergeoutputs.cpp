// Joining outputs with the ffmpeg tool: reading its console text, and merges that succeed, fail
// or are cancelled without ever losing both the parts and the join.
#include "CMD_MediaConvert.h"
#include "Config.h"
#include "FlacHeader.h"
#include "MediaGen.h"
#include "OutputMerger.h"
#include "TagFiles.h"
#include "TestEnv.h"

#include <csignal>
#include <sys/stat.h>

using namespace tv;

namespace {

// Parts made by the ffmpeg tool, so that this test depends on nothing but the merger.
QStringList MakeParts(const QString &folder, const QStringList &names, const QString &codec,
                      double seconds = 1.0) {
    QDir().mkpath(folder);
    QStringList parts;
    int i = 0;
    for (const QString &name : names) {
        const QString path = folder + name;
        test::GenerateTone(path, seconds + 0.5 * i++, 44100, 2, {"-c:a", codec, "-b:a", "128k"});
        parts << path;
    }
    return parts;
}

MergeResult RunMerge(OutputMerger &merger, const MergeRequest &request) {
    QSignalSpy done(&merger, &OutputMerger::finished);
    merger.start(request);
    if (done.isEmpty() && !done.wait(60000))
        return MergeResult{false, false, QString(), "timed out"};
    return done.first().first().value<MergeResult>();
}

} // namespace

class MergeOutputsTest : public QObject {
    Q_OBJECT
private:
    QString m_work;

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        m_work = test::Home().path() + "/work/";
        QDir().mkpath(m_work);
    }

    void theConsoleTextsLastLineIsCleaned() {
        CMD_MediaConvert runner;
        runner.setWorkFolder(m_work);
        test::WriteFile(runner.resultFile(),
                        "Stream mapping:\r\nsize=       0kB time=00:00:00.00 bitrate=N/A\rsize=  "
                        "   123kB time=00:00:05.00 bitrate= 201.3kbits/s speed=  10x    ");
        runner.ParseResult();
        QCOMPARE(runner.lastLine(),
                 QStringLiteral("size=123kB time=00:00:05.00 bitrate=201.3kbits/s speed=10x    "));
        QCOMPARE(CMD_MediaConvert::LastLine("a\r\nb\r\n"), QStringLiteral("b"));
        QCOMPARE(CMD_MediaConvert::LastLine("a\rb"), QStringLiteral("b"));
        QCOMPARE(CMD_MediaConvert::CleanLine("k=\t       v"), QStringLiteral("k=v"));
    }

    // Names a list file could misread join like any other, under the first one's name; a single
    // output is left alone.
    void joinsThePartsUnderTheFirstName() {
        const QString folder = test::Home().path() + "/odd names 'é'/";
        const QStringList parts = MakeParts(folder,
                                            {"-leading dash.MP3", "it's \"quoted\" ü $HOME `x`.MP3",
                                             QStringLiteral("semi;colon line\nbreak.MP3")},
                                            "libmp3lame");
        double expected = 0;
        for (const QString &p : parts)
            expected += test::ProbeWithFFprobe(p).duration;
        OutputMerger merger;
        QString tagged;
        MergeRequest request{parts, folder, 2, m_work, [&](const QString &joined) { tagged = joined; }};
        const MergeResult result = RunMerge(merger, request);
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(result.merged);
        QCOMPARE(result.finalPath, folder + "-leading dash_(new).MP3");
        QCOMPARE(tagged, result.finalPath);
        // Stream copy keeps every frame of every part, so the lengths add up.
        const double joined = test::ProbeWithFFprobe(result.finalPath).duration;
        QVERIFY2(qAbs(joined - expected) < 0.05, qPrintable(QString("%1 vs %2").arg(joined).arg(expected)));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"-leading dash_(new).MP3"});
        QVERIFY(!QFile::exists(merger.runner()->listFile()));
        QVERIFY(!QFile::exists(merger.runner()->resultFile()));

        const QStringList one = MakeParts(folder + "single/", {"only.MP3"}, "libmp3lame");
        const MergeResult alone = RunMerge(merger, {one, folder + "single/", 2, m_work, {}});
        QVERIFY(alone.ok && !alone.merged);
        QVERIFY(QFile::exists(one.first()));
    }

    // Outputs carry covers (picture streams to ffmpeg): only their sound is joined, in every
    // container, and a join must hold all of the parts' sound to count.
    void partsWithCoversJoinTheirSoundOnly() {
        // The audio book (M4B) comes from the video tab; the others from the audio tab.
        const QList<std::tuple<QString, QStringList, int>> kinds = {{"flac", {"-c:a", "flac"}, 2},
                                                                    {"m4a", {"-c:a", "aac"}, 2},
                                                                    {"m4b", {"-c:a", "aac", "-f", "ipod"}, 0},
                                                                    {"wma", {"-c:a", "wmav2"}, 2},
                                                                    {"mp3", {"-c:a", "libmp3lame"}, 2}};
        for (const auto &[extension, codec, panel] : kinds) {
            const QString folder = test::Home().path() + "/covered-" + extension + "/";
            QDir().mkpath(folder);
            QVERIFY(test::GeneratePicture(folder + "cover.jpg", 40, 40));
            TagRecord tags;
            tags.title = QStringLiteral("Part");
            tags.picturePath = folder + "cover.jpg";
            QStringList parts;
            double expected = 0;
            for (int i = 0; i < 3; ++i) {
                // As the program makes its outputs: the encoder's file with its tags, then the cover.
                parts << folder + QString("c%1.%2").arg(i).arg(extension);
                QVERIFY(test::GenerateTaggedTone(parts.last(), 5.0 + i, {"title=Part"}, QString(), codec));
                QVERIFY(WriteTagsToOutput(parts.last(), tags).Succeeded());
                expected += 5.0 + i;
            }
            QVERIFY(test::FFprobeHasCover(test::FFprobe(parts.first())));
            OutputMerger merger;
            const MergeResult result = RunMerge(merger, {parts, folder, panel, m_work, {}});
            QVERIFY2(result.ok, qPrintable(extension + ": " + result.error));
            QCOMPARE(result.finalPath, folder + "c0_(new)." + extension);
            const QJsonObject probe = test::FFprobe(result.finalPath);
            QCOMPARE(probe.value("streams").toArray().size(), 1); // the sound, and nothing else
            QVERIFY2(qAbs(test::DecodedDuration(result.finalPath) - expected) < 0.2,
                     qPrintable(QString::number(test::DecodedDuration(result.finalPath))));
            if (extension == "flac") // players show and seek by the header's sample count
                QVERIFY(qAbs(test::ProbeWithFFprobe(result.finalPath).duration - expected) < 0.001);
            for (const QString &p : parts)
                QVERIFY(!QFile::exists(p));
        }

        // A join that lost a part is no join, whatever ffmpeg said.
        const QStringList more =
            MakeParts(test::Home().path() + "/lost/", {"m1.mp3", "m2.mp3"}, "libmp3lame", 3.0);
        QVERIFY(OutputMerger::JoinedLengthProblem(more.first(), more).contains("instead of"));
        QCOMPARE(OutputMerger::JoinedLengthProblem(more.last(), {more.last()}), QString());
        QCOMPARE(FlacTotalSamples(more.first()), qint64(-1));
    }

    void failuresKeepTheParts() {
        const QString folder = test::Home().path() + "/keep/";
        const QStringList parts = MakeParts(folder, {"k1.MP3", "k2.MP3"}, "libmp3lame");
        const auto left = [&folder]() { return QDir(folder).entryList(QDir::Files | QDir::Hidden); };
        const QStringList partNames{"k1.MP3", "k2.MP3"};
        OutputMerger merger;

        // Cancelled from the wait window.
        QSignalSpy done(&merger, &OutputMerger::finished);
        merger.start({parts, folder, 2, m_work, {}});
        merger.cancel();
        QTRY_COMPARE(done.size(), 1);
        MergeResult result = done.first().first().value<MergeResult>();
        QVERIFY(!result.ok);
        QCOMPARE(result.error, QStringLiteral("Operation has been cancelled!"));
        QCOMPARE(left(), partNames);

        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
        result = RunMerge(merger, {parts, folder, 2, m_work, {}});
        qputenv("PATH", path);
        QVERIFY(!result.ok);
        QVERIFY(result.error.contains("ffmpeg"));
        QCOMPARE(left(), partNames);

        // Parts that are not media: ffmpeg ends without its summary, and says why.
        const QString bogus = test::WriteFile(folder + "bogus.MP3", QByteArray(3000, 'z'));
        result = RunMerge(merger, {{bogus, parts.first()}, folder, 2, m_work, {}});
        QVERIFY(!result.ok);
        QVERIFY2(result.error.startsWith("The operation is canceled! Please try again."),
                 qPrintable(result.error));
        QCOMPARE(left(), QStringList{"bogus.MP3"} + partNames);
        QFile::remove(bogus);

        // A part gone before the join: ffmpeg would join the others and call it done.
        result =
            RunMerge(merger, {{parts.first(), folder + "gone.MP3", parts.last()}, folder, 2, m_work, {}});
        QVERIFY(!result.ok);
        QCOMPARE(left(), partNames);
    }

    void twoMergesAtOnceKeepToThemselves() {
        // The window and the command line may join at the same moment with the same work folder.
        const QString a = test::Home().path() + "/twinA/";
        const QString b = test::Home().path() + "/twinB/";
        const QStringList partsA = MakeParts(a, {"a1.MP3", "a2.MP3"}, "libmp3lame");
        const QStringList partsB = MakeParts(b, {"b1.MP3", "b2.MP3", "b3.MP3"}, "libmp3lame");
        OutputMerger first;
        OutputMerger second;
        QSignalSpy doneA(&first, &OutputMerger::finished);
        QSignalSpy doneB(&second, &OutputMerger::finished);
        first.start({partsA, a, 2, m_work, {}});
        second.start({partsB, b, 2, m_work, {}});
        QTRY_VERIFY_WITH_TIMEOUT(doneA.size() == 1 && doneB.size() == 1, 60000);
        const MergeResult ra = doneA.first().first().value<MergeResult>();
        const MergeResult rb = doneB.first().first().value<MergeResult>();
        QVERIFY2(ra.ok && rb.ok, qPrintable(ra.error + rb.error));
        QCOMPARE(QDir(a).entryList(QDir::Files), QStringList{"a1_(new).MP3"});
        QCOMPARE(QDir(b).entryList(QDir::Files), QStringList{"b1_(new).MP3"});
        QVERIFY(test::ProbeWithFFprobe(rb.finalPath).duration >
                test::ProbeWithFFprobe(ra.finalPath).duration);
    }

    void ffmpegKilledMidRunKeepsTheParts() {
        const QString folder = test::Home().path() + "/killed/";
        QStringList parts = MakeParts(folder, {"x1.WAV"}, "pcm_s16le", 1.0);
        // A part nobody writes into holds ffmpeg until it is killed.
        parts << folder + "x2.WAV";
        QCOMPARE(::mkfifo(QFile::encodeName(parts.last()).constData(), 0600), 0);
        OutputMerger merger;
        QSignalSpy done(&merger, &OutputMerger::finished);
        merger.start({parts, folder, 2, m_work, {}});
        QTRY_VERIFY(merger.runner()->processId() > 0);
        ::kill(static_cast<pid_t>(merger.runner()->processId()), SIGKILL);
        QVERIFY(done.wait(30000)); // the stall watch notices the end without a summary
        const MergeResult result = done.first().first().value<MergeResult>();
        QVERIFY(!result.ok);
        QVERIFY(result.error.startsWith("The operation is canceled! Please try again."));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 (QStringList{"x1.WAV", "x2.WAV"}));
    }

    void aJoinThatCannotTakeItsNameIsKept() {
        const QString folder = test::Home().path() + "/blocked/";
        const QStringList parts = MakeParts(folder, {"b1.MP3", "b2.MP3"}, "libmp3lame");
        OutputMerger merger;
        QSignalSpy done(&merger, &OutputMerger::finished);
        merger.start({parts, folder, 2, m_work, {}});
        // Something takes the chosen name while ffmpeg works.
        QVERIFY(QDir().mkpath(folder + "b1_(new).MP3/inside"));
        QVERIFY(done.wait(60000));
        const MergeResult result = done.first().first().value<MergeResult>();
        QVERIFY(!result.ok);
        QVERIFY(result.finalPath.contains("/temp"));
        QVERIFY2(result.error.contains(result.finalPath), qPrintable(result.error));
        QVERIFY(test::DecodedDuration(result.finalPath) > 2.0);
        // With the join not under its name, the parts stay too.
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 (QStringList{"b1.MP3", "b2.MP3", QFileInfo(result.finalPath).fileName()}));
    }

    void aFullDiskKeepsTheParts() {
        const QString full = test::Home().path() + "/fulljoin";
        TV_TMPFS_OR_SKIP(fullDisk, full, "600k");
        const QStringList parts = MakeParts(full + "/", {"f1.MP3", "f2.MP3"}, "libmp3lame", 10.0);
        OutputMerger merger;
        QVERIFY(!RunMerge(merger, {parts, full + "/", 2, m_work, {}}).ok);
        QCOMPARE(fullDisk.files(), (QStringList{"f1.MP3", "f2.MP3"}));
    }
};

TV_TEST_MAIN_CORE(MergeOutputsTest)
#include "tst_mergeoutputs.moc"

// A batch over the real engine: output names, M4B/M4R moves, progress figures, stalls and outcomes.
#include "Config.h"
#include "ConversionFixture.h"
#include "ConversionFlags.h"
#include "ErrorTexts.h"
#include "MediaGen.h"
#include "SingleFileConversion.h"
#include "TestEnv.h"

using namespace tv;

using tv::test::Mp3Settings;
using tv::test::Row;

class ConversionBatchTest : public QObject {
    Q_OBJECT
private:
    QString m_in;
    QString m_out;

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        m_in = test::Home().path() + "/in/";
        m_out = test::Home().path() + "/out/";
        QDir().mkpath(m_out);
        QDir().mkpath(Paths().tempFolder);
        for (const char *name : {"a", "b", "song"})
            QVERIFY(test::GenerateTone(m_in + name + ".wav", 2.0));
        // The same names in another folder, one second longer to tell the outputs apart.
        for (const char *name : {"b", "song"})
            QVERIFY(test::GenerateTone(m_in + "other/" + name + ".wav", 3.0));
    }

    void outputsGetTheirNamesAndNeverReplaceUserFiles() {
        const QString folder = m_out + "names/";
        QDir().mkpath(folder);
        const QByteArray mine("my own file");
        test::WriteFile(folder + "a.mp3", mine);
        Engine engine;
        ConversionBatch batch(&engine);
        QSignalSpy succeeded(&batch, &ConversionBatch::rowSucceeded);
        QSignalSpy ended(&batch, &ConversionBatch::batchEnded);
        batch.begin(Mp3Settings(folder));
        const PreparedJob a = batch.prepareRow(0, Row(m_in + "a.wav", 2));
        const PreparedJob b = batch.prepareRow(1, Row(m_in + "b.wav", 2));
        const PreparedJob otherB = batch.prepareRow(2, Row(m_in + "other/b.wav", 3));
        QVERIFY(a.ok && b.ok && otherB.ok);
        QCOMPARE(a.inputOptions, QStringLiteral(" -ss 00:00:00.000"));
        QCOMPARE(a.arguments,
                 QStringLiteral(" -ac 2 -ar 44100 -ab 128k -acodec libmp3lame -vn -t 00:00:02.000"));
        QCOMPARE(a.convertedFileName, folder + "a_(new).mp3");
        QCOMPARE(b.convertedFileName, folder + "b.mp3");
        QCOMPARE(otherB.convertedFileName, folder + "b_(new).mp3"); // promised to row 1 already
        QCOMPARE(batch.totalMaximum(), 300);
        batch.start(0);
        QVERIFY(ended.wait(60000));
        QCOMPARE(succeeded.size(), 3);
        QCOMPARE(qRound(test::ProbeWithFFprobe(folder + "b.mp3").duration), 2);
        QCOMPARE(qRound(test::ProbeWithFFprobe(folder + "b_(new).mp3").duration), 3);
        QVERIFY(!batch.isRunning());
        QCOMPARE(test::ReadFile(folder + "a.mp3"), mine);
        QCOMPARE(test::ProbeWithFFprobe(folder + "a_(new).mp3").codec, QStringLiteral("mp3"));
    }

    void overwritingNeverReplacesTheBatchsOwnInputs() {
        const QString folder = m_out + "inplace/";
        QVERIFY(test::GenerateTone(folder + "b.wav", 2.0));
        QVERIFY(test::GenerateTone(folder + "b.mp3", 3.0, 44100, 2, {"-c:a", "libmp3lame"}));
        const QByteArray mp3Before = test::ReadFile(folder + "b.mp3");
        Engine engine;
        ConversionBatch batch(&engine);
        QSignalSpy ended(&batch, &ConversionBatch::batchEnded);
        QSignalSpy succeeded(&batch, &ConversionBatch::rowSucceeded);
        BatchSettings settings = Mp3Settings(folder);
        settings.outputFileNamePolicy = 0; // the user allows replacing old outputs
        settings.inputPaths = {folder + "b.wav", folder + "/b.mp3"};
        batch.begin(settings);
        // Row 0 would write over row 1's input, row 1 over itself.
        const PreparedJob wav = batch.prepareRow(0, Row(folder + "b.wav", 2));
        const PreparedJob mp3 = batch.prepareRow(1, Row(folder + "b.mp3", 3));
        QVERIFY(wav.ok && mp3.ok);
        QCOMPARE(wav.convertedFileName, folder + "b_(new).mp3");
        QCOMPARE(mp3.convertedFileName, folder + "b_(new_1).mp3");
        batch.start(0);
        QVERIFY(ended.wait(60000));
        QCOMPARE(succeeded.size(), 2);
        QCOMPARE(test::ReadFile(folder + "b.mp3"), mp3Before);
        QCOMPARE(qRound(test::ProbeWithFFprobe(folder + "b_(new).mp3").duration), 2);
        QCOMPARE(qRound(test::ProbeWithFFprobe(folder + "b_(new_1).mp3").duration), 3);
    }

    void audioBooksAreWrittenAsM4AThenMoved() {
        const QString folder = m_out + "books/";
        QDir().mkpath(folder);
        test::WriteFile(folder + "song.m4a", "users own m4a");
        Engine engine;
        ConversionBatch batch(&engine);
        QSignalSpy succeeded(&batch, &ConversionBatch::rowSucceeded);
        QSignalSpy ended(&batch, &ConversionBatch::batchEnded);
        BatchSettings settings = Mp3Settings(folder, "m4b", "AAC");
        settings.outputFileNamePolicy = 0; // even when overwriting, only the chosen name may be replaced
        batch.begin(settings);
        const PreparedJob job = batch.prepareRow(0, Row(m_in + "song.wav", 2));
        // A second song of the same name may replace neither the first one's output nor its M4A.
        const PreparedJob other = batch.prepareRow(1, Row(m_in + "other/song.wav", 3));
        QVERIFY2(job.ok && other.ok, qPrintable(job.message + other.message));
        QCOMPARE(job.convertedFileName, folder + "song.m4b");
        QCOMPARE(other.convertedFileName, folder + "song_(new).m4b");
        QVERIFY(job.engineOutput.endsWith(".m4a"));
        batch.start(1);
        QVERIFY(ended.wait(60000));
        QCOMPARE(succeeded.size(), 2);
        QCOMPARE(succeeded.first().at(1).toString(), folder + "song.m4b");
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"song.m4a", "song.m4b", "song_(new).m4b"}));
        QCOMPARE(test::ProbeWithFFprobe(folder + "song.m4b").codec, QStringLiteral("aac"));
        QCOMPARE(qRound(test::ProbeWithFFprobe(folder + "song.m4b").duration), 2);
        QCOMPARE(qRound(test::ProbeWithFFprobe(folder + "song_(new).m4b").duration), 3);
        QCOMPARE(test::ReadFile(folder + "song.m4a"), QByteArray("users own m4a"));
    }

    void refusedJobsSayWhy() {
        Engine engine;
        ConversionBatch batch(&engine);
        batch.begin(Mp3Settings(m_out));
        // An input gone by the time its job runs fails that job in the library's words.
        QSignalSpy failed(&batch, &ConversionBatch::rowFailed);
        QVERIFY(batch.prepareRow(0, Row(m_in + "nothing here.wav", 2)).ok);
        batch.start(1);
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 30000);
        QVERIFY(failed.first().at(1).toString().contains("No such file or directory"));

        batch.begin(Mp3Settings(m_out, "XYZ"));
        const PreparedJob badOutput = batch.prepareRow(0, Row(m_in + "a.wav", 2));
        QVERIFY(!badOutput.ok);
        QVERIFY(!badOutput.refusedAtAdd);
        QVERIFY(badOutput.message.contains("suitable output format"));
        QCOMPARE(batch.jobCount(), 0);
    }

    // Figures driven by the engine's own progress signal.
    void progressFiguresAndStallWatch() {
        Engine engine;
        ConversionBatch batch(&engine);
        QSignalSpy rows(&batch, &ConversionBatch::rowProgress);
        QSignalSpy totals(&batch, &ConversionBatch::totalProgress);
        QSignalSpy stalled(&batch, &ConversionBatch::stalled);
        QSignalSpy ended(&batch, &ConversionBatch::batchEnded);
        batch.begin(Mp3Settings(m_out));
        batch.start(0); // no jobs: the batch end is posted, and the events below come first

        Q_EMIT engine.JobProgress(0, 5000000, 0); // unknown length
        QCOMPARE(rows.last().at(1).toInt(), 0);
        QVERIFY(totals.isEmpty());
        Q_EMIT engine.JobProgress(0, 10000000, 10000000); // at the end but not finished
        QCOMPARE(rows.last().at(1).toInt(), 99);
        QVERIFY(totals.isEmpty());
        Q_EMIT engine.JobProgress(0, 3700000, 10000000);
        QCOMPARE(rows.last().at(1).toInt(), 37);

        batch.tick(); // first tick after progress: fine
        QVERIFY(stalled.isEmpty());
        batch.tick(); // second tick without progress: "Processing..."
        QCOMPARE(stalled.size(), 1);
        QCOMPARE(stalled.last().at(0).toBool(), true);
        Q_EMIT engine.JobProgress(0, 4000000, 10000000);
        batch.tick();
        QCOMPARE(stalled.last().at(0).toBool(), false);
        QCOMPARE(batch.elapsedSeconds(), 3);
        QVERIFY(ended.wait(10000));
        const int before = rows.size();
        Q_EMIT engine.JobProgress(0, 1, 10);
        QCOMPARE(rows.size(), before);
    }

    void engineMessagesAreClassifiedIgnoringCase() {
        QCOMPARE(ClassifyEngineMessage("/x: NO SPACE LEFT ON DEVICE"), FailureKind::DiskFull);
        QCOMPARE(ClassifyEngineMessage("invalid data found when processing input"), FailureKind::InvalidData);
        QCOMPARE(ClassifyEngineMessage("No space left on device; Invalid data found when processing input"),
                 FailureKind::DiskFull);
        QCOMPARE(ClassifyEngineMessage(""), FailureKind::Other);
        QCOMPARE(SingleFileErrorText("", "/tmp"), CouldNotOpenText());
        QCOMPARE(SingleFileErrorText("  ", "/tmp"), CouldNotOpenText());
        QCOMPARE(SingleFileErrorText("Invalid data found when processing input", "/tmp"), InvalidDataText());
    }

    void singleFileConversionReportsThroughTheFlags() {
        SingleFileConversion converter;
        QSignalSpy finished(&converter, &SingleFileConversion::finished);
        const QString out = m_out + "single/made/here/trim_1.WAV";
        converter.ConvertSingleFile(m_in + "a.wav", out,
                                    " -ac 2 -ar 44100 -ab 1411k -acodec pcm_s16le -vn -t 00:00:01.000");
        QVERIFY(QFileInfo(m_out + "single/made/here").isDir()); // made before the job starts
        QVERIFY(finished.wait(30000));
        QVERIFY(Flags().anySucceeded);
        QVERIFY(Flags().lastError.isEmpty());
        QVERIFY(qAbs(test::ProbeWithFFprobe(out).duration - 1.0) < 0.01);

        // An input the engine cannot open fails, and still ends for whoever waits.
        converter.ConvertSingleFile(m_in + "absent.wav", out, " -acodec pcm_s16le");
        QVERIFY(finished.wait(10000));
        QVERIFY(Flags().lastError.contains("No such file or directory"));
        QVERIFY(!Flags().anySucceeded);

        const QString full = test::Home().path() + "/fulldisk";
        TV_TMPFS_OR_SKIP(fullDisk, full, "16k");
        converter.ConvertSingleFile(m_in + "a.wav", full + "/big.WAV",
                                    " -ac 2 -ar 48000 -acodec pcm_s32le -vn");
        QVERIFY(finished.wait(30000));
        const QString error = Flags().lastError;
        QVERIFY2(error.startsWith("The disk in the destination folder is full."), qPrintable(error));
    }
};

TV_TEST_MAIN_CORE(ConversionBatchTest)
#include "tst_conversionbatch.moc"

// The conversion engine: real files in, real files out, events in the order the window relies on.
#include "ConversionFixture.h"
#include "ErrorTexts.h"
#include "MediaGen.h"
#include "TestEnv.h"

using namespace tv;
using tv::test::AddConversion;
using tv::test::AddMp3Job;
using tv::test::AudioArguments;

namespace {

struct Event {
    bool finished;
    int job;
    bool succeeded;
    bool failed;
    QString message;
    qint64 position;
    qint64 duration;
};

// Records every event of one engine in arrival order.
class Recorder : public QObject {
public:
    explicit Recorder(Engine *engine) {
        connect(engine, &Engine::JobProgress, this, [this](int job, qint64 pos, qint64 dur) {
            events.append({false, job, false, false, QString(), pos, dur});
        });
        connect(engine, &Engine::JobFinished, this,
                [this](int job, bool ok, bool failed, const QString &message) {
                    events.append({true, job, ok, failed, message, 0, 0});
                    if (job == -1)
                        ++batchEnds;
                });
    }
    QList<Event> events;
    int batchEnds = 0;

    Event finishOf(int job) const {
        for (const Event &e : events) {
            if (e.finished && e.job == job)
                return e;
        }
        return {false, -2, false, false, QString(), 0, 0};
    }
};

QStringList WorkFiles(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(".tvpart-");
}

} // namespace

class EngineTest : public QObject {
    Q_OBJECT
private:
    QString m_in;
    QString m_out;
    QString m_tone; // 3 s stereo 44.1 kHz WAV
    QString m_long; // 40 s, for pause and stop

private Q_SLOTS:
    void initTestCase() {
        m_in = test::Home().path() + "/in/";
        m_out = test::Home().path() + "/out/";
        QDir().mkpath(m_out);
        m_tone = m_in + "tone.wav";
        QVERIFY(test::GenerateTone(m_tone, 3.0));
        m_long = m_in + "long.flac";
        QVERIFY(test::GenerateTone(m_long, 40.0, 48000, 2));
    }

    void convertsAndReportsInOrder() {
        Engine engine;
        Recorder rec(&engine);
        QStringList outputs;
        for (int i = 0; i < 3; ++i) {
            const QString in = m_in + QString("order%1.wav").arg(i);
            QVERIFY(test::GenerateTone(in, 2.0 + i));
            outputs << m_out + QString("order%1.MP3").arg(i);
            QCOMPARE(AddMp3Job(engine, in, outputs.last(), "00:00:05.000"), i);
        }
        QCOMPARE(engine.JobCount(), 3);
        engine.StartJobs(0);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 1, 60000);

        // Per job: progress only before its completion; the batch end comes last, once.
        QCOMPARE(rec.events.last().job, -1);
        QSet<int> finished;
        for (const Event &e : rec.events) {
            if (e.job >= 0)
                QVERIFY2(!finished.contains(e.job), "progress or completion after the job's completion");
            if (e.finished && e.job >= 0)
                finished.insert(e.job);
            if (!e.finished) {
                QVERIFY(e.position >= 0);
                QVERIFY(e.duration > 0);
                QVERIFY(e.position <= e.duration + 50000);
            }
        }
        QCOMPARE(finished.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const Event e = rec.finishOf(i);
            QVERIFY2(e.succeeded && !e.failed, qPrintable(e.message));
            // (What each preset's options give is the shipped catalogs' test.)
            QVERIFY(qAbs(test::ProbeWithFFprobe(outputs[i]).duration - (2.0 + i)) < 0.06);
        }
        QVERIFY(WorkFiles(m_out).isEmpty());
        QVERIFY(!engine.isRunning());
    }

    // The start and length cut exactly: a ramp input shows where the output begins.
    void trimIsSampleAccurate() {
        const QString ramp = m_in + "ramp.wav";
        // The value rises by 0.1 per second, so the first output sample tells the start time.
        QVERIFY(
            test::RunFFmpeg({"-f", "lavfi", "-i", "aevalsrc=t/10:s=44100:d=4", "-c:a", "pcm_s16le", ramp}));
        Engine engine;
        Recorder rec(&engine);
        const QString out = m_out + "ramp-cut.WAV";
        const auto wav = [](const QString &length) {
            return AudioArguments("PCM little-endian", "WAV", 0, "44100", "705", length);
        };
        QCOMPARE(AddConversion(engine, ramp, out, wav("00:00:01.500"), " -ss 00:00:01.250"), 0);
        engine.StartJobs(1);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 1, 30000);
        QVERIFY(rec.finishOf(0).succeeded);
        const QVector<qint16> samples = test::FirstSamples(out, 4);
        QVERIFY(!samples.isEmpty());
        const double expected = 0.125 * 32767;
        QVERIFY2(qAbs(samples.first() - expected) < 3, qPrintable(QString::number(samples.first())));
        const test::ProbedAudio probe = test::ProbeWithFFprobe(out);
        QVERIFY(qAbs(probe.duration - 1.5) < 0.001);

        // A whole file's length, written in milliseconds rounded down, still keeps its last samples.
        const QString odd = m_in + "odd length.flac";
        QVERIFY(test::RunFFmpeg({"-f", "lavfi", "-i", "sine=d=1.0009:r=44100", "-c:a", "flac", odd}));
        const QString whole = m_out + "odd length.wav";
        QCOMPARE(AddConversion(engine, odd, whole, wav("00:00:01.000")), 1);
        engine.StartJobs(1);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 2, 30000);
        QCOMPARE(qRound(test::ProbeWithFFprobe(whole).duration * 44100), qRound(1.0009 * 44100));
    }

    void refusesWhatItCannotDo() {
        Engine engine;
        // Inputs are opened ahead (on a worker) with the library's own words, as the command
        // line says them; the engine itself opens them only when their job runs.
        QVERIFY(Engine::CheckInput(m_in + "missing.wav").contains("No such file or directory"));
        const QString text = test::WriteFile(m_in + "notes.mp3", QByteArray(4096, 'a'));
        QVERIFY(Engine::CheckInput(text).startsWith(text + ": "));
        const QString noise = test::WriteFile(m_in + "noise.xyz", QByteArray(5000, '\x07'));
        QVERIFY(Engine::CheckInput(noise).contains("Invalid data found when processing input"));
        QCOMPARE(Engine::CheckInput(m_tone), QString());
        QCOMPARE(engine.AddJob(m_tone, " -ss soon"), -1);

        QCOMPARE(engine.AddJob(m_tone, " -ss 00:00:00.000"), 0);
        const QList<std::tuple<QString, QString, QString>> cases = {
            {m_out + "a.MP3", " -ac 2 -ar 44100 -ab 128k -acodec libfoo -vn -t 00:00:01.000",
             "Unknown encoder 'libfoo'"},
            {m_out + "a.MP3", " -ac 2 -ar abc -ab 128k -acodec libmp3lame -vn",
             "Invalid value 'abc' for option 'ar'"},
            {m_out + "a.MP3", " -ac 2 -ar 44100 -ab 64k -an  -vn -t 00:00:01.000",
             "does not contain any stream"},
            {m_out + "a.AMR", " -ac 1 -ar 8000 -ab 64k -acodec flac -vn",
             "not supported in the amr container"},
            {m_out + "a.XYZ", " -ac 2 -ar 44100 -ab 128k -acodec libmp3lame -vn", "suitable output format"},
            {m_out + "a.MP3", "-1", "Unrecognized option '1'"},
            {m_out + "a.MP3", " -ac 2 -vf scale=1:1", "Unrecognized option 'vf'"},
        };
        for (const auto &[output, args, words] : cases) {
            QVERIFY2(engine.SetJobOutput(0, output, args) == -1, qPrintable(words));
            QVERIFY2(engine.LastErrorText().contains(words), qPrintable(engine.LastErrorText()));
        }
        QCOMPARE(engine.SetJobOutput(5, m_out + "a.MP3", " -acodec libmp3lame"), -1);
        // A refused job is dropped, and its index is given to the next one.
        engine.RemoveJob(0);
        QCOMPARE(engine.JobCount(), 0);
        QCOMPARE(engine.AddJob(m_tone, ""), 0);
    }

    void failuresAtRunTimeLeaveNothingBehind() {
        Engine engine;
        Recorder rec(&engine);
        const QString video = m_in + "silent-video.mp4";
        QVERIFY(test::RunFFmpeg(
            {"-f", "lavfi", "-i", "testsrc=size=64x64:rate=5:duration=2", "-pix_fmt", "yuv420p", video}));
        QCOMPARE(AddMp3Job(engine, video, m_out + "novideo.MP3", "00:00:02.000"), 0);
        QCOMPARE(AddMp3Job(engine, m_tone, m_out + "gone/x.MP3", "00:00:02.000"), 1);
        engine.StartJobs(2);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 1, 30000);
        QVERIFY(rec.finishOf(0).failed);
        QCOMPARE(rec.finishOf(0).message, QStringLiteral("Output file #0 does not contain any stream"));
        QVERIFY(rec.finishOf(1).failed);
        QVERIFY2(rec.finishOf(1).message.contains("No such file or directory"),
                 qPrintable(rec.finishOf(1).message));
        QVERIFY(!QFile::exists(m_out + "novideo.MP3"));
        QVERIFY(WorkFiles(m_out).isEmpty());
    }

    void aFileThatTakesTheNameMeanwhileIsKeptUnlessReplacingIsAllowed() {
        const QString folder = m_out + "taken/";
        QDir().mkpath(folder);
        // Another program writes a file under the output's name before the job ends.
        const QString name = folder + "song.MP3";
        test::WriteFile(name, "written meanwhile");
        Engine engine;
        Recorder rec(&engine);
        engine.setReplaceExisting(false);
        QCOMPARE(AddMp3Job(engine, m_tone, name, "00:00:01.000"), 0);
        engine.StartJobs(1);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 1, 30000);
        QVERIFY(rec.finishOf(0).failed);
        QVERIFY2(rec.finishOf(0).message.contains("appeared during the conversion"),
                 qPrintable(rec.finishOf(0).message));
        QCOMPARE(test::ReadFile(name), QByteArray("written meanwhile"));
        QVERIFY(WorkFiles(folder).isEmpty());

        engine.ClearJobs();
        engine.setReplaceExisting(true);
        QCOMPARE(AddMp3Job(engine, m_tone, name, "00:00:01.000"), 0);
        engine.StartJobs(1);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 2, 30000);
        QCOMPARE(test::ProbeWithFFprobe(name).codec, QStringLiteral("mp3"));
    }

    void fullAndReadOnlyDisksFailWithTheLibraryWords() {
        const QString full = test::Home().path() + "/full";
        const QString readOnly = test::Home().path() + "/ro";
        TV_TMPFS_OR_SKIP(fullDisk, full, "64k");
        const test::TmpfsMount readOnlyDisk(readOnly, "1m", true);
        Engine engine;
        Recorder rec(&engine);
        QCOMPARE(
            AddConversion(engine, m_long, full + "/big.WAV",
                          AudioArguments("PCM little-endian", "WAV", 1, "48000", "1536", "00:00:40.000")),
            0);
        if (readOnlyDisk.mounted())
            QCOMPARE(AddMp3Job(engine, m_tone, readOnly + "/x.MP3", "00:00:01.000"), 1);
        engine.StartJobs(0);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 1, 60000);
        QVERIFY2(rec.finishOf(0).failed && rec.finishOf(0).message.contains("No space left on device"),
                 qPrintable(rec.finishOf(0).message));
        QVERIFY2(fullDisk.files().isEmpty(), qPrintable(fullDisk.files().join(", ")));
        if (readOnlyDisk.mounted())
            QVERIFY2(rec.finishOf(1).failed && rec.finishOf(1).message.contains("Read-only file system"),
                     qPrintable(rec.finishOf(1).message));
    }

    void pauseHoldsAndResumeFinishes() {
        Engine engine;
        Recorder rec(&engine);
        const QString out = m_out + "paused.OGG";
        QCOMPARE(AddConversion(engine, m_long, out,
                               AudioArguments("Ogg Vorbis", "OGG", 1, "48000", "128", "00:00:40.000")),
                 0);
        engine.StartJobs(1);
        engine.PauseJobs();
        QTest::qWait(400); // a paused job must not finish, however long it is left
        QCOMPARE(rec.batchEnds, 0);
        QVERIFY(!QFile::exists(out));
        engine.ResumeJobs();
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 1, 60000);
        QVERIFY(rec.finishOf(0).succeeded);
        QVERIFY(QFile::exists(out));
    }

    void stopAbandonsUnfinishedJobsAndTheNextBatchStartsClean() {
        Engine engine;
        Recorder rec(&engine);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(AddConversion(engine, m_long, m_out + QString("stopped%1.FLAC").arg(i),
                                   AudioArguments("FLAC", "FLAC", 1, "48000", "768", "00:00:40.000")),
                     i);
        }
        engine.StartJobs(2);
        engine.PauseJobs(); // hold them mid-way so Stop meets running jobs
        engine.StopAll(true);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 1, 30000);
        for (int i = 0; i < 3; ++i) {
            const Event e = rec.finishOf(i);
            QCOMPARE(e.job, i);
            QVERIFY(!e.succeeded);
            QVERIFY(!e.failed);
            QVERIFY(!QFile::exists(m_out + QString("stopped%1.FLAC").arg(i)));
        }
        QVERIFY(WorkFiles(m_out).isEmpty());

        // An empty batch still ends, once the caller is done starting it.
        engine.ClearJobs();
        rec.events.clear();
        engine.StartJobs(0);
        QCOMPARE(rec.batchEnds, 1);
        QTRY_COMPARE(rec.batchEnds, 2);
        QCOMPARE(rec.events.size(), 1);

        QCOMPARE(AddMp3Job(engine, m_tone, m_out + "again.MP3", "00:00:03.000"), 0);
        engine.StartJobs(0);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 3, 30000);
        QVERIFY(rec.finishOf(0).succeeded);
    }

    void finisherSeesTheWorkFileBeforeItsName() {
        Engine engine;
        Recorder rec(&engine);
        const QString out = m_out + "Ünïcode 日本 song.M4A";
        QString seenWork;
        bool finalExistedDuringFinish = true;
        OutputTagging tagging;
        tagging.finish = [&](int job, const QString &work) {
            QCOMPARE(job, 0);
            seenWork = work;
            finalExistedDuringFinish = QFile::exists(out);
        };
        engine.setOutputTagging(tagging);
        QCOMPARE(AddConversion(engine, m_tone, out,
                               AudioArguments("AAC", "M4A", 1, "44100", "128", "00:00:02.000"),
                               " -ss 00:00:01.000"),
                 0);
        engine.StartJobs(1);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 1, 30000);
        QVERIFY2(rec.finishOf(0).succeeded, qPrintable(rec.finishOf(0).message));
        QVERIFY(!finalExistedDuringFinish);
        QVERIFY(seenWork.endsWith(".M4A"));
        QVERIFY(QFileInfo(seenWork).fileName().startsWith('.'));
        QVERIFY(!QFile::exists(seenWork));
        QVERIFY(QFile::exists(out));
        QVERIFY(qAbs(test::ProbeWithFFprobe(out).duration - 2.0) < 0.05);
    }

    // Inputs that open but whose sound cannot be decoded fail in plain words and leave no
    // output: never a "Done" file that holds no sound, or far less than the input lasts.
    void damagedInputsFailWithoutAnOutputAndSlightDamageStillConverts() {
        const QString flac = m_in + "damaged-source.flac";
        QVERIFY(test::GenerateTone(flac, 6.0));
        const QByteArray whole = test::ReadFile(flac);
        QByteArray noise = whole;
        for (qsizetype i = 8192; i < noise.size(); ++i)
            noise[i] = char((i * 7919) >> 3); // the stream header survives, the frames do not
        const QString mp3 = m_in + "scratched-source.mp3";
        QVERIFY(test::GenerateTone(mp3, 6.0, 44100, 2, {"-c:a", "libmp3lame", "-b:a", "128k"}));
        QByteArray scratched = test::ReadFile(mp3);
        for (int i = 0; i < 40; ++i)
            scratched[scratched.size() / 2 + i * 97] = char(0xFF);
        const QString noSamples = m_in + "no samples.flac"; // a stream header and no frame
        QVERIFY(test::RunFFmpeg({"-f", "lavfi", "-i", "sine=d=1", "-t", "0", noSamples}));
        const QList<QPair<QString, QString>> inputs = {
            {test::WriteFile(m_in + "noise frames.flac", noise), "damaged"},
            {test::WriteFile(m_in + "cut short.flac", whole.left(whole.size() * 3 / 10)), "damaged"},
            {noSamples, "no sound"},
            {QStringLiteral(TUNEVANE_CORPUS_DIR "/mp4/taglib__ilst-is-last.m4a"), "no output"},
            {test::WriteFile(m_in + "scratched.mp3", scratched), QString()},
        };
        Engine engine;
        Recorder rec(&engine);
        QList<int> jobs;
        for (int i = 0; i < inputs.size(); ++i) {
            const bool here = QFile::exists(inputs[i].first); // the corpus may be absent
            const int job = here ? AddMp3Job(engine, inputs[i].first, m_out + QString("damaged%1.MP3").arg(i),
                                             "00:00:10.000")
                                 : -1;
            QVERIFY(job >= 0 || !here);
            jobs << job;
        }
        engine.StartJobs(2);
        QTRY_COMPARE_WITH_TIMEOUT(rec.batchEnds, 1, 60000);
        for (int i = 0; i < inputs.size(); ++i) {
            if (jobs[i] < 0)
                continue; // the corpus is not here
            const Event e = rec.finishOf(jobs[i]);
            const QString output = m_out + QString("damaged%1.MP3").arg(i);
            if (inputs[i].second.isEmpty()) {
                QVERIFY2(e.succeeded, qPrintable(e.message));
                QVERIFY(test::DecodedDuration(output) > 5.4);
                continue;
            }
            QVERIFY2(e.failed && e.message.contains(inputs[i].second),
                     qPrintable(inputs[i].first + ": " + e.message));
            // Damage is not copy protection: the report keeps that for inputs that do not open.
            QCOMPARE(ClassifyEngineMessage(e.message), FailureKind::Other);
            QVERIFY(!QFile::exists(output));
        }
        QVERIFY(WorkFiles(m_out).isEmpty());
    }
};

TV_TEST_MAIN_CORE(EngineTest)
#include "tst_engine.moc"

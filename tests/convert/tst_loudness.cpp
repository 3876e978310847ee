// The loudness meter (against the ffmpeg tool's meter), the gain on the encoder's samples, and
// the engine's album batch, whose measuring comes before any encoding and can be stopped.
#include "Engine.h"
#include "Loudness.h"
#include "LoudnessMeter.h"
#include "LoudnessProbe.h"
#include "MediaGen.h"
#include "Task.h"
#include "TestEnv.h"

#include <QDir>
#include <QSignalSpy>

#include <cmath>

extern "C" {
#include <libavutil/samplefmt.h>
}

using namespace tv;

namespace {

LoudnessMeasurement Measure(const QString &path, const QString &outputOptions = QString(),
                            const QString &inputOptions = QString()) {
    LoudnessRequest request;
    request.inputPath = path;
    request.outputPath = path + ".flac";
    ParseInputOptions(inputOptions, &request.input);
    ParseOutputOptions(outputOptions, &request.output);
    TaskControl control;
    return MeasureLoudness(request, control);
}

} // namespace

class LoudnessTest : public QObject {
    Q_OBJECT
private:
    QString m_in;

private Q_SLOTS:
    void initTestCase() {
        m_in = test::Home().path() + "/in/";
        QDir().mkpath(m_in);
        QVERIFY(test::GenerateToneAtLoudness(m_in + "quiet.wav", -30.0, 4.0));
        QVERIFY(test::GenerateToneAtLoudness(m_in + "loud.wav", -12.0, 4.0));
        QVERIFY(test::RunFFmpeg({"-i", m_in + "quiet.wav", "-i", m_in + "loud.wav", "-filter_complex",
                                 "[0:a][1:a]concat=n=2:v=0:a=1", m_in + "quiet then loud.wav"}));
    }

    void truePeakLiesBetweenTheSamples() {
        // A quarter of the sample rate at 45 degrees: every sample sits 3 dB below the wave's top.
        const QString path = m_in + "between.wav";
        QVERIFY(
            test::RunFFmpeg({"-f", "lavfi", "-i", "aevalsrc=0.5*sin(2*PI*11025*t+PI/4):s=44100:c=stereo:d=3",
                             "-c:a", "pcm_f32le", path}));
        const LoudnessMeasurement m = Measure(path);
        QVERIFY(m.measured);
        QVERIFY2(std::abs(m.truePeakDb - 20 * std::log10(0.5)) <= 0.2,
                 qPrintable(QString::number(m.truePeakDb)));
        // (ffmpeg's meter reads this wave's top 0.6 dB too high; its loudness is still the reference.)
        const test::MeteredLoudness reference = test::MeterLoudness(path);
        QVERIFY(std::abs(m.integrated - reference.integrated) <= 0.2);
    }

    void measuresWhatTheEncoderReceives() {
        const test::MeteredLoudness quiet = test::MeterLoudness(m_in + "quiet.wav");
        const test::MeteredLoudness loud = test::MeterLoudness(m_in + "loud.wav");
        const QString both = m_in + "quiet then loud.wav";
        // The trimmed part only: from the start time, for the length.
        QVERIFY(std::abs(Measure(both, " -t 00:00:04.000").integrated - quiet.integrated) <= 0.3);
        QVERIFY(std::abs(Measure(both, QString(), " -ss 00:00:04.000").integrated - loud.integrated) <= 0.3);
        // The channels the encoder writes: a tone on the left only, mixed down to mono, has half
        // its amplitude; played as mono on two speakers it sounds 3 dB below the stereo file.
        const QString left = m_in + "left only.wav";
        QVERIFY(test::RunFFmpeg({"-f", "lavfi", "-i", "aevalsrc=0.25*sin(2*PI*997*t)|0:s=44100:c=stereo:d=4",
                                 "-c:a", "pcm_s16le", left}));
        const LoudnessMeasurement stereo = Measure(left);
        const LoudnessMeasurement mono = Measure(left, " -ac 1");
        QVERIFY2(std::abs((stereo.integrated - mono.integrated) - 3.01) <= 0.2,
                 qPrintable(QString::number(stereo.integrated - mono.integrated)));
        QVERIFY(std::abs(stereo.integrated - test::MeterLoudness(left).integrated) <= 0.2);
        // A missing input says why instead of measuring anything.
        const LoudnessMeasurement missing = Measure(m_in + "nothing here.wav");
        QVERIFY(!missing.measured);
        QVERIFY(missing.message.contains("nothing here.wav"));
    }

    void gainKeepsSamplesInRange() {
        int16_t left[] = {20000, -20000, 100};
        int16_t right[] = {-1, 32767, 0};
        uint8_t *planes[] = {reinterpret_cast<uint8_t *>(left), reinterpret_cast<uint8_t *>(right)};
        ApplyGain(planes, AV_SAMPLE_FMT_S16P, 2, 3, 20 * std::log10(2.0));
        QCOMPARE(left[0], int16_t(32767));
        QCOMPARE(left[1], int16_t(-32768));
        QCOMPARE(left[2], int16_t(200));
        QCOMPARE(right[0], int16_t(-2));
        QCOMPARE(right[1], int16_t(32767));
        // Unsigned 8-bit samples are scaled around their middle, 128.
        uint8_t bytes[] = {128, 138, 120, 250};
        uint8_t *packed[] = {bytes};
        ApplyGain(packed, AV_SAMPLE_FMT_U8, 2, 2, 20 * std::log10(2.0));
        QCOMPARE(bytes[0], uint8_t(128));
        QCOMPARE(bytes[1], uint8_t(148));
        QCOMPARE(bytes[2], uint8_t(112));
        QCOMPARE(bytes[3], uint8_t(255));
        float floats[] = {0.25f, -0.5f};
        uint8_t *fp[] = {reinterpret_cast<uint8_t *>(floats)};
        ApplyGain(fp, AV_SAMPLE_FMT_FLT, 1, 2, -20 * std::log10(2.0));
        QCOMPARE(floats[0], 0.125f);
        QCOMPARE(floats[1], -0.25f);
    }

    void gainStopsAtTheCeilingAndLeavesSilence() {
        bool limited = true;
        QCOMPARE(NormalizationGain(-30.0, -20.0, -16.0, &limited), 14.0);
        QVERIFY(!limited);
        // +14 would bring a -3 dBTP peak to +11: the gain stops below -1 dBTP instead.
        const double gain = NormalizationGain(-30.0, -3.0, -16.0, &limited);
        QVERIFY(limited);
        QVERIFY(-3.0 + gain <= kTruePeakCeiling);
        QVERIFY(gain > 0.0);
        QCOMPARE(NormalizationGain(-HUGE_VAL, -HUGE_VAL, -16.0, &limited), 0.0);
        QVERIFY(!limited);
    }

    void anAlbumBatchStopsWhileItMeasures() {
        for (int i = 0; i < 3; ++i)
            QVERIFY(test::GenerateToneAtLoudness(m_in + QString("long%1.wav").arg(i), -20.0, 120.0));
        const QString out = test::Home().path() + "/stopped/";
        QDir().mkpath(out);
        Engine engine;
        LoudnessSettings album;
        album.mode = LoudnessMode::Album;
        engine.setLoudness(album);
        for (int i = 0; i < 3; ++i) {
            const int job = engine.AddJob(m_in + QString("long%1.wav").arg(i), " -ss 00:00:00.000");
            QCOMPARE(engine.SetJobOutput(job, out + QString("long%1.flac").arg(i), " -acodec flac"), 0);
        }
        QSignalSpy progress(&engine, &Engine::JobProgress);
        QSignalSpy finished(&engine, &Engine::JobFinished);
        engine.StartJobs(2);
        QVERIFY(progress.wait(20000));
        engine.StopAll(true);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() && finished.last().at(0).toInt() == -1, 20000);
        // Every job ended neither done nor failed, and none left a file.
        QCOMPARE(finished.size(), 4);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!finished.at(i).at(1).toBool());
            QVERIFY(!finished.at(i).at(2).toBool());
        }
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }
};

TV_TEST_MAIN_CORE(LoudnessTest)
#include "tst_loudness.moc"

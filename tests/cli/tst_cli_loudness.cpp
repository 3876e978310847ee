// Even loudness from tunevane-cli convert --loudness, checked with an independent meter (the
// ffmpeg tool's ebur128 filter) and ReplayGain tags read back by ffprobe.
#include "CliRun.h"
#include "Config.h"
#include "LoudnessProbe.h"
#include "MediaGen.h"
#include "TestEnv.h"

#include <QDir>

#include <cmath>

using namespace tv;

namespace {

test::CliRun Convert(const QStringList &args) {
    return test::RunCli(QStringList{"convert", "--json"} + args);
}

// A ReplayGain gain text ("-5.95 dB", "+12.05 dB") as a number.
double GainOf(const QString &text) {
    return text.section(' ', 0, 0).toDouble();
}

} // namespace

class CliLoudnessTest : public QObject {
    Q_OBJECT
private:
    QString m_in;
    test::MeteredLoudness m_quiet;
    test::MeteredLoudness m_loud;

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        m_in = test::Home().path() + "/levels/";
        QDir().mkpath(m_in);
        QVERIFY(test::GenerateToneAtLoudness(m_in + "quiet.wav", -30.0, 8.0));
        QVERIFY(test::GenerateToneAtLoudness(m_in + "loud.wav", -12.0, 8.0));
        // Quiet, but with sharp clicks near full scale: the ceiling, not the target, sets its gain.
        QVERIFY(test::GenerateToneAtLoudness(m_in + "clicks.wav", -30.0, 8.0, 0.7));
        QVERIFY(test::RunFFmpeg(
            {"-f", "lavfi", "-i", "anullsrc=r=44100:cl=stereo", "-t", "3", m_in + "silence.wav"}));
        m_quiet = test::MeterLoudness(m_in + "quiet.wav");
        m_loud = test::MeterLoudness(m_in + "loud.wav");
        QVERIFY(m_quiet.ok && m_loud.ok);
        // The inputs really are far apart, or nothing below would show anything.
        QVERIFY2(std::abs(m_quiet.integrated + 30.0) < 1.0, qPrintable(QString::number(m_quiet.integrated)));
        QVERIFY2(std::abs(m_loud.integrated + 12.0) < 1.0, qPrintable(QString::number(m_loud.integrated)));
    }

    void eachFileReachesTheTargetUnderTheCeiling() {
        // Lossless (integer samples) and lossy (floating-point samples) outputs alike.
        for (const QString &keyword : {QStringLiteral("WAV"), QStringLiteral("MP3")}) {
            const QString out = test::Home().path() + "/track-" + keyword + "/";
            const test::CliRun run = Convert({"--keyword", keyword, "--loudness", "track", "--output", out,
                                              m_in + "quiet.wav", m_in + "loud.wav", m_in + "clicks.wav"});
            QCOMPARE(run.exitCode, 0);
            for (const QString &name : {QStringLiteral("quiet"), QStringLiteral("loud")}) {
                const QJsonObject row = run.lineOf(name + ".wav");
                QCOMPARE(row.value("status").toString(), QStringLiteral("Done"));
                const test::MeteredLoudness output = test::MeterLoudness(row.value("output").toString());
                QVERIFY(output.ok);
                QVERIFY2(std::abs(output.integrated + 16.0) <= 0.5,
                         qPrintable(QString("%1 %2: %3 LUFS").arg(keyword, name).arg(output.integrated)));
                QVERIFY2(output.truePeak <= -1.0, qPrintable(QString::number(output.truePeak)));
                // The row tells what was measured and applied, in agreement with the meter.
                const test::MeteredLoudness &input = name == "quiet" ? m_quiet : m_loud;
                QVERIFY(std::abs(row.value("loudness").toDouble() - input.integrated) <= 0.2);
                QVERIFY(std::abs(row.value("gain").toDouble() - (output.integrated - input.integrated)) <=
                        0.5);
            }
            // The clicks would pass full scale at the target: the gain stops short instead.
            const QJsonObject clicks = run.lineOf("clicks.wav");
            QCOMPARE(clicks.value("status").toString(), QStringLiteral("Done"));
            QVERIFY(clicks.value("gain").toDouble() < -16.0 - clicks.value("loudness").toDouble() - 1.0);
            const test::MeteredLoudness clicked = test::MeterLoudness(clicks.value("output").toString());
            QVERIFY2(clicked.ok && clicked.truePeak <= -1.0, qPrintable(QString::number(clicked.truePeak)));
            QVERIFY(clicked.integrated < -17.0);
        }
    }

    void otherTargetsAndAlbumModeKeepTheLevelsApart() {
        const QString out = test::Home().path() + "/album/";
        const test::CliRun run = Convert({"--keyword", "FLAC", "--loudness", "album=-23", "--output", out,
                                          m_in + "quiet.wav", m_in + "loud.wav"});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject quiet = run.lineOf("quiet.wav");
        const QJsonObject loud = run.lineOf("loud.wav");
        // One gain for both, from their loudness together.
        QCOMPARE(quiet.value("gain").toDouble(), loud.value("gain").toDouble());
        const test::MeteredLoudness together = test::MeterLoudness({m_in + "quiet.wav", m_in + "loud.wav"});
        QVERIFY(std::abs(quiet.value("albumLoudness").toDouble() - together.integrated) <= 0.2);
        QVERIFY(std::abs(quiet.value("gain").toDouble() - (-23.0 - together.integrated)) <= 0.2);
        const test::MeteredLoudness a = test::MeterLoudness(quiet.value("output").toString());
        const test::MeteredLoudness b = test::MeterLoudness(loud.value("output").toString());
        QVERIFY(a.ok && b.ok);
        const double before = m_loud.integrated - m_quiet.integrated;
        QVERIFY2(std::abs((b.integrated - a.integrated) - before) <= 0.5,
                 qPrintable(QString("%1 vs %2").arg(b.integrated - a.integrated).arg(before)));
        QVERIFY(std::abs(b.integrated + 23.0) <= 0.5); // the loud one dominates the whole
    }

    void replayGainTagsInEachContainer() {
        const test::MeteredLoudness together = test::MeterLoudness({m_in + "quiet.wav", m_in + "loud.wav"});
        for (const QString &keyword :
             {QStringLiteral("MP3"), QStringLiteral("FLAC"), QStringLiteral("OGG"), QStringLiteral("M4A")}) {
            const QString out = test::Home().path() + "/tags-" + keyword + "/";
            const test::CliRun run = Convert({"--keyword", keyword, "--loudness", "tags", "--output", out,
                                              m_in + "quiet.wav", m_in + "loud.wav"});
            QCOMPARE(run.exitCode, 0);
            for (const QString &name : {QStringLiteral("quiet"), QStringLiteral("loud")}) {
                const QString output = run.lineOf(name + ".wav").value("output").toString();
                const QJsonObject probe = test::FFprobe(output);
                const QString track = test::FFprobeTag(probe, "REPLAYGAIN_TRACK_GAIN");
                const QString album = test::FFprobeTag(probe, "REPLAYGAIN_ALBUM_GAIN");
                const QString peak = test::FFprobeTag(probe, "REPLAYGAIN_TRACK_PEAK");
                QVERIFY2(track.endsWith(" dB") && album.endsWith(" dB") && !peak.isEmpty(),
                         qPrintable(keyword + ": " + track + " / " + album));
                const test::MeteredLoudness &input = name == "quiet" ? m_quiet : m_loud;
                QVERIFY2(std::abs(GainOf(track) - (-18.0 - input.integrated)) <= 0.2,
                         qPrintable(QString("%1 %2: %3 against %4")
                                        .arg(keyword, name, track)
                                        .arg(-18.0 - input.integrated)));
                QVERIFY(std::abs(GainOf(album) - (-18.0 - together.integrated)) <= 0.2);
                // A peak is linear: the quiet tone's lies near its amplitude, far below 1.
                QVERIFY(std::abs(20 * std::log10(peak.toDouble()) - input.truePeak) <= 0.3);
                // The sound itself is left as it was.
                const test::MeteredLoudness sound = test::MeterLoudness(output);
                QVERIFY(std::abs(sound.integrated - input.integrated) <= 0.3);
            }
        }
    }

    void silenceGetsNoGainAndNoError() {
        const QString out = test::Home().path() + "/silence/";
        const test::CliRun track =
            Convert({"--keyword", "FLAC", "--loudness", "track", "--output", out, m_in + "silence.wav"});
        QCOMPARE(track.exitCode, 0);
        const QJsonObject row = track.lineOf("silence.wav");
        QCOMPARE(row.value("status").toString(), QStringLiteral("Done"));
        QVERIFY(row.value("loudness").isNull());
        QCOMPARE(row.value("gain").toDouble(), 0.0);
        QVERIFY(test::MeterLoudness(row.value("output").toString()).truePeak < -100.0);

        // As tags, silence has no track gain, and it does not pull the album's loudness down.
        const test::CliRun tags = Convert({"--keyword", "MP3", "--loudness", "tags", "--output", out,
                                           m_in + "silence.wav", m_in + "loud.wav"});
        QCOMPARE(tags.exitCode, 0);
        const QJsonObject probe = test::FFprobe(tags.lineOf("silence.wav").value("output").toString());
        QVERIFY(test::FFprobeTag(probe, "REPLAYGAIN_TRACK_GAIN").isEmpty());
        QVERIFY(std::abs(GainOf(test::FFprobeTag(probe, "REPLAYGAIN_ALBUM_GAIN")) -
                         (-18.0 - m_loud.integrated)) <= 0.2);
    }

    void refusesLoudnessChoicesItDoesNotKnow() {
        const QString out = test::Home().path() + "/refused/";
        for (const QString &choice : {QStringLiteral("loud"), QStringLiteral("tags=-18"),
                                      QStringLiteral("track=abc"), QStringLiteral("album=-80")}) {
            const test::CliRun run =
                Convert({"--keyword", "MP3", "--loudness", choice, "--output", out, m_in + "quiet.wav"});
            QCOMPARE(run.exitCode, 2);
            QVERIFY(run.err.contains("--loudness") || run.err.contains("LUFS"));
        }
        QVERIFY(!QFileInfo::exists(out + "quiet.mp3"));
    }
};

TV_TEST_MAIN_CORE(CliLoudnessTest)
#include "tst_cli_loudness.moc"

// The waveform's logic: WAV files of every sample width and header layout read as the same
// 16-bit samples, the peak pyramid checked level by level against the samples themselves, the
// columns a view draws, the sound editor's load and its events, and the view's zoom, scroll,
// pixel-to-millisecond mapping and ruler.
#include "MediaGen.h"
#include "PeakPyramid.h"
#include "SoundEditor.h"
#include "SoundErrors.h"
#include "TestEnv.h"
#include "TrimRecord.h"
#include "WaveFile.h"
#include "WaveformGeometry.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QThreadPool>
#include <algorithm>
#include <limits>
#include <vector>

using namespace tv;
using namespace tv::test;

namespace {

// Left: noise; right: a tone; further channels: tones of their own. Lengths are not whole blocks.
bool MakeWave(const QString &path, double seconds, int channels, const QStringList &codec) {
    QStringList exprs{"random(0)*1.6-0.8", "0.3*sin(2*PI*300*t)"};
    for (int c = 2; c < channels; ++c)
        exprs << QString("0.%1*sin(2*PI*%2*t)").arg(c + 1).arg(100 * c);
    const QString source =
        QString("aevalsrc=%1:s=44100:d=%2").arg(exprs.mid(0, channels).join('|')).arg(seconds, 0, 'f', 4);
    return RunFFmpeg(QStringList{"-f", "lavfi", "-i", source} + codec + QStringList{path});
}

std::vector<qint16> AllSamples(const WaveFile &wave) {
    std::vector<qint16> samples(size_t(wave.frames() * wave.channels()));
    wave.readFrames(0, wave.frames(), samples.data());
    return samples;
}

Peak BruteForce(const std::vector<qint16> &samples, int channels, int channel, qint64 from, qint64 to) {
    Peak p{32767, -32768};
    for (qint64 f = from; f < to; ++f) {
        p.min = std::min(p.min, samples[size_t(f * channels + channel)]);
        p.max = std::max(p.max, samples[size_t(f * channels + channel)]);
    }
    return p;
}

PeakPyramid Analyse(const WaveFile &wave) {
    PeakPyramid peaks;
    TaskControl control;
    AnalyseWave(wave, peaks, control, {});
    return peaks;
}

// The millisecond a ruler label stands for ("1:05", "0:07.25", "1:02:03").
qint64 LabelMs(const QString &text) {
    const QStringList parts = text.split(':');
    qint64 minutes = 0;
    for (int i = 0; i + 1 < parts.size(); ++i)
        minutes = minutes * 60 + parts.at(i).toLongLong();
    return minutes * 60000 + qint64(std::llround(parts.constLast().toDouble() * 1000));
}

} // namespace

class WaveformTest : public QObject {
    Q_OBJECT

    QString m_dir;

private Q_SLOTS:
    void initTestCase() {
        m_dir = Home().path() + "/waves/";
        QVERIFY(QDir().mkpath(m_dir));
    }

    void peaksAtEveryLevelMatchTheSamples() {
        struct Case {
            const char *name;
            int channels;
            double seconds;
        };
        // Stereo and mono take the wide path, three and six channels the plain one; a sound of
        // over a minute and a half is read in two halves at once.
        for (const Case &c : {Case{"stereo", 2, 7.3456}, Case{"mono", 1, 3.21}, Case{"three", 3, 1.7},
                              Case{"six", 6, 2.05}, Case{"long", 2, 100.1234}}) {
            const QString path = m_dir + c.name + ".wav";
            QVERIFY(MakeWave(path, c.seconds, c.channels, {"-c:a", "pcm_s16le"}));
            WaveFile wave;
            QCOMPARE(wave.open(path), 0);
            QCOMPARE(wave.channels(), c.channels);
            QVERIFY(wave.frames() % PeakPyramid::kBaseFrames != 0);
            const std::vector<qint16> samples = AllSamples(wave);
            const PeakPyramid peaks = Analyse(wave);
            QCOMPARE(peaks.frames(), wave.frames());
            QCOMPARE(peaks.blockCount(peaks.levelCount() - 1), 1);
            for (int level = 0; level < peaks.levelCount(); ++level) {
                const qint64 block = PeakPyramid::blockFrames(level);
                QCOMPARE(peaks.blockCount(level), (wave.frames() + block - 1) / block);
                for (qint64 b = 0; b < peaks.blockCount(level); ++b) {
                    for (int ch = 0; ch < c.channels; ++ch) {
                        const Peak expected = BruteForce(samples, c.channels, ch, b * block,
                                                         std::min(wave.frames(), (b + 1) * block));
                        const Peak got = peaks.peak(level, b, ch);
                        QVERIFY2(got.min == expected.min && got.max == expected.max,
                                 qPrintable(QString("%1: level %2 block %3 channel %4")
                                                .arg(c.name)
                                                .arg(level)
                                                .arg(b)
                                                .arg(ch)));
                    }
                }
            }
        }
    }

    void everyStoredWidthReadsAsTheSame16BitSamples() {
        const QString reference = m_dir + "width s16.wav";
        QVERIFY(MakeWave(reference, 1.5, 2, {"-c:a", "pcm_s16le"}));
        WaveFile base;
        QCOMPARE(base.open(reference), 0);
        const std::vector<qint16> expected = AllSamples(base);
        struct Width {
            const char *codec;
            int tolerance; // what the stored width loses or rounds
        };
        for (const Width &w : {Width{"pcm_s24le", 0}, Width{"pcm_s32le", 0}, Width{"pcm_f32le", 1},
                               Width{"pcm_f64le", 1}, Width{"pcm_u8", 255}}) {
            const QString path = m_dir + "width " + w.codec + ".wav";
            // From the 16-bit file, so every width holds the same values.
            QVERIFY(RunFFmpeg({"-i", reference, "-c:a", w.codec, path}));
            WaveFile wave;
            QCOMPARE(wave.open(path), 0);
            QCOMPARE(wave.frames(), base.frames());
            const std::vector<qint16> got = AllSamples(wave);
            int worst = 0;
            for (size_t i = 0; i < got.size(); ++i)
                worst = std::max(worst, std::abs(int(got[i]) - int(expected[i])));
            QVERIFY2(worst <= w.tolerance, qPrintable(QString("%1: %2").arg(w.codec).arg(worst)));
        }
        // Frames past the end read as silence.
        std::vector<qint16> tail(8, 1);
        base.readFrames(base.frames() - 2, 4, tail.data());
        QCOMPARE(tail[4], qint16(0));
        QCOMPARE(tail[7], qint16(0));
        QCOMPARE(tail[0], expected[expected.size() - 4]);
    }

    void headersOfEveryKindAndFilesThatAreNoWav() {
        // Tags before the samples (a LIST chunk) and a length that is not whole milliseconds.
        const QString tagged = m_dir + "tagged.wav";
        QVERIFY(RunFFmpeg({"-f", "lavfi", "-i", "sine=frequency=500:sample_rate=48000:duration=1.0005",
                           "-metadata", "title=Song", "-c:a", "pcm_s16le", tagged}));
        QVERIFY(ReadFile(tagged).contains("LIST"));
        WaveFile wave;
        QCOMPARE(wave.open(tagged), 0);
        QCOMPARE(wave.frames(), 48024);
        QCOMPARE(wave.sampleRate(), 48000);
        QCOMPARE(wave.lengthMs(), 1000);

        // A file cut short keeps what is there, whatever its header promised.
        QByteArray bytes = ReadFile(tagged);
        const QString cut = m_dir + "cut.wav";
        WriteFile(cut, bytes.left(bytes.size() - 1000));
        QCOMPARE(wave.open(cut), 0);
        QCOMPARE(wave.frames(), 48024 - 500);

        // Not readable as samples: compressed, not a WAV, not there, a folder.
        const QString adpcm = m_dir + "adpcm.wav";
        QVERIFY(RunFFmpeg({"-i", tagged, "-c:a", "adpcm_ms", adpcm}));
        const QString text = WriteFile(m_dir + "text.wav", "RIFF, but only in words");
        for (const QString &path : {adpcm, text, m_dir + "missing.wav", m_dir}) {
            QCOMPARE(wave.open(path), int(SoundError::InvalidSoundFile));
            QVERIFY(!wave.isOpen());
        }
        // A header with no samples is a sound of no length.
        const QString empty = m_dir + "empty.wav";
        QVERIFY(RunFFmpeg(
            {"-f", "lavfi", "-i", "anullsrc=r=44100:cl=mono", "-t", "0", "-c:a", "pcm_s16le", empty}));
        QCOMPARE(wave.open(empty), 0);
        QCOMPARE(wave.frames(), 0);
        QCOMPARE(wave.lengthMs(), 0);
    }

    void columnsShowTheFramesTheyCover() {
        const QString path = m_dir + "columns.wav";
        QVERIFY(MakeWave(path, 12.0, 2, {"-c:a", "pcm_s16le"}));
        WaveFile wave;
        QCOMPARE(wave.open(path), 0);
        const std::vector<qint16> samples = AllSamples(wave);
        const PeakPyramid peaks = Analyse(wave);
        const qint64 frames = wave.frames();
        struct View {
            double start, perColumn;
        };
        // Whole, far out, around a block, close up, closer than a frame, and past either end.
        const std::vector<View> views = {{0, double(frames) / 1500},
                                         {1000.5, 4000.25},
                                         {12345.6, 300},
                                         {20000, 255.5},
                                         {777.7, 3.7},
                                         {5000.2, 0.37},
                                         {-5000, 100},
                                         {double(frames) - 3000, 7.5}};
        std::vector<ColumnPeak> columns;
        for (const View &v : views) {
            const int count = 1500;
            for (int channel = 0; channel < 2; ++channel) {
                ViewColumns(peaks, wave, channel, v.start, v.perColumn, count, columns);
                QCOMPARE(int(columns.size()), count);
                const qint64 slack =
                    v.perColumn >= PeakPyramid::kBaseFrames ? qint64(std::ceil(v.perColumn)) : 1;
                for (int x = 0; x < count; ++x) {
                    const double c0 = v.start + x * v.perColumn;
                    const double c1 = c0 + v.perColumn;
                    const bool inside = c1 > 0 && c0 < double(frames);
                    QCOMPARE(columns[size_t(x)].covered, inside);
                    if (!inside)
                        continue;
                    // Every frame of the column is within its peak ...
                    const qint64 first = std::max<qint64>(0, qint64(std::ceil(c0)));
                    const qint64 end = std::min<qint64>(frames, qint64(std::ceil(c1)));
                    const Peak p = columns[size_t(x)].peak;
                    if (end > first) {
                        const Peak own = BruteForce(samples, 2, channel, first, end);
                        QVERIFY2(p.min <= own.min && p.max >= own.max,
                                 qPrintable(QString("column %1").arg(x)));
                    }
                    // ... and the peak comes from frames no further away than the slack.
                    const qint64 from = std::max<qint64>(0, qint64(std::floor(c0)) - slack);
                    const qint64 to = std::min<qint64>(frames, qint64(std::ceil(c1)) + slack);
                    const Peak near = BruteForce(samples, 2, channel, from, to);
                    QVERIFY2(p.min >= near.min && p.max <= near.max, qPrintable(QString("column %1").arg(x)));
                }
            }
        }
    }

    void theEditorLoadsOnAWorkerAndReportsInOrder() {
        const QString longer = m_dir + "editor long.wav";
        const QString song = m_dir + "editor song.wav";
        QVERIFY(MakeWave(longer, 60.0, 2, {"-c:a", "pcm_s16le"}));
        QVERIFY(GenerateTone(song, 20.0, 44100, 2));
        SoundEditor editor;
        QStringList events;
        QList<int> percents;
        connect(&editor, &SoundEditor::LoadProgress, this, [&](int percent) {
            percents << percent;
            if (events.isEmpty() || events.constLast() != "progress")
                events << "progress";
        });
        connect(&editor, &SoundEditor::LoadFinished, this,
                [&](bool ok) { events << (ok ? "loaded" : "failed"); });
        connect(&editor, &SoundEditor::WaveformAnalysisFinished, this, [&]() { events << "analysed"; });

        // A file that is no WAV is refused at once, with nothing to follow.
        QCOMPARE(editor.LoadSound(m_dir), int(SoundError::InvalidSoundFile));
        QCOMPARE(editor.LastError(), int(SoundError::InvalidSoundFile));

        // A load closed before its analysis ends never reports; the next one does.
        QCOMPARE(editor.LoadSound(longer), 0);
        editor.CloseSound();
        QCOMPARE(editor.LoadSound(song), 0);
        QCOMPARE(editor.SoundLength(), 0);
        QTRY_VERIFY(events.contains("analysed"));
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(events, QStringList({"progress", "loaded", "analysed"}));
        QVERIFY(std::is_sorted(percents.begin(), percents.end()));
        QCOMPARE(percents.constLast(), 100);
        QCOMPARE(editor.SoundLength(), 20000);
        QCOMPARE(editor.peaks()->frames(), 882000);

        // A refresh analyses again without a second load.
        editor.RefreshWaveform();
        QTRY_COMPARE(events.count("analysed"), 2);
        QCOMPARE(events.count("loaded"), 1);
        editor.CloseSound();
        QCOMPARE(editor.SoundLength(), 0);
        QVERIFY(!editor.wave());
    }

    void theViewZoomsScrollsMapsPixelsToMillisecondsAndLabelsItsRuler() {
        WaveformGeometry g;
        g.setSound(882000, 44100);
        g.setWidth(900);
        QCOMPARE(g.viewStartMs(), 0);
        QCOMPARE(g.viewEndMs(), 20000);
        QVERIFY(!g.canZoomOut());
        g.zoomIn();
        QCOMPARE(g.viewStartMs(), 5000);
        QCOMPARE(g.viewEndMs(), 15000);
        g.zoomIn();
        QCOMPARE(g.viewStartMs(), 7500);
        g.zoomOut();
        QCOMPARE(g.viewEndMs(), 15000);
        g.showRange(5125, 8375);
        QCOMPARE(g.viewStartMs(), 5125);
        QCOMPARE(g.viewEndMs(), 8375);
        g.showRange(19000, -1);
        QCOMPARE(g.viewEndMs(), 20000);
        QCOMPARE(g.xOfFrame(882000), 900.0);

        // Closer than a millisecond a pixel, every millisecond maps back to itself.
        g.showRange(5000, 5500);
        for (qint64 ms = 5000; ms <= 5500; ms += 7)
            QCOMPARE(g.msAtX(g.xOfMs(ms)), ms);
        // Zooming in stops at a frame a pixel; scrolling stops at the ends.
        while (g.canZoomIn())
            g.zoomIn();
        QCOMPARE(g.framesPerColumn(), 1.0);
        g.scrollTo(1e12);
        QCOMPARE(g.viewEndMs(), 20000);
        QCOMPARE(g.firstFrame(), 882000.0 - 900);
        g.scrollTo(-10);
        QCOMPARE(g.firstFrame(), 0.0);
        while (g.canZoomOut())
            g.zoomOut();
        QCOMPARE(g.viewEndMs(), 20000);
        QCOMPARE(g.msAtX(900), 20000);
        QCOMPARE(g.msAtX(0), 0);
        // The pointer's frame stays put when the wheel zooms about it.
        g.showRange(2000, 12000);
        const double frame = g.frameAtX(300);
        g.zoomAbout(300, 2);
        QVERIFY(std::abs(g.frameAtX(300) - frame) < 1e-6);

        // A sound narrower than the view is shown whole at less than a frame a pixel.
        WaveformGeometry tiny;
        tiny.setSound(441, 44100);
        tiny.setWidth(900);
        QCOMPARE(tiny.viewEndMs(), 10);
        QVERIFY(!tiny.canZoomIn());

        // Ruler labels are round and spaced apart at every zoom of a three-hour sound.
        WaveformGeometry ruler;
        ruler.setSound(qint64(44100) * 3 * 3600, 44100); // three hours
        ruler.setWidth(1600);
        const double spacing = 90;
        for (int zoom = 0; zoom < 26; ++zoom) {
            const QVector<RulerMark> marks = RulerMarks(ruler, spacing);
            QVERIFY(!marks.isEmpty());
            double lastX = -1e9;
            qint64 lastMs = -1;
            for (const RulerMark &mark : marks) {
                QVERIFY(mark.ms > lastMs);
                lastMs = mark.ms;
                QVERIFY(mark.x >= -0.5 && mark.x <= 1600.5);
                if (!mark.major)
                    continue;
                QVERIFY2(mark.x - lastX >= spacing - 1e-6, qPrintable(mark.text));
                lastX = mark.x;
                QVERIFY2(QRegularExpression("^\\d+(:\\d\\d){1,2}(\\.\\d{1,3})?$").match(mark.text).hasMatch(),
                         qPrintable(mark.text));
                QCOMPARE(LabelMs(mark.text), mark.ms);
            }
            ruler.zoomIn();
        }
    }

    void aStoredTrimBeyondTheMillisecondRangeShowsNoSelection() {
        int start = -1;
        int end = -1;
        QVERIFY(!StoredTrimSelection(std::numeric_limits<int>::max() - 10, 1000, 20000, &start, &end));
        QVERIFY(!StoredTrimSelection(0, 0, 20000, &start, &end));
        QVERIFY(StoredTrimSelection(19000, 500, 20000, &start, &end));
        QCOMPARE(end, 19500);
    }
};

TV_TEST_MAIN_CORE(WaveformTest)
#include "tst_waveform.moc"

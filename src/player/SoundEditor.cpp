#include "SoundEditor.h"

#include "SoundErrors.h"
#include "TimeFormat.h"

#include <QThread>

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

namespace tv {

namespace {

// Frames read per step of the analysis: large enough that the per-step work vanishes beside
// the scan, small enough that a cancel is seen within a few milliseconds.
constexpr qint64 kStepFrames = 1 << 18;
// From this length on (about a minute and a half) the analysis reads two halves at once.
constexpr qint64 kSplitFrames = qint64(1) << 22;

QString Two(qint64 value) {
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

} // namespace

namespace {

// Scans frames [from, to) into level-0 peaks; reports progress when asked. False when cancelled.
bool ScanPart(const WaveFile &wave, qint64 from, qint64 to, std::vector<Peak> &blocks, TaskControl &control,
              const std::function<void(qint64)> &progress) {
    const int channels = std::max(1, wave.channels());
    PeakPyramid::Builder builder(channels, to - from);
    const qint16 *direct = wave.samples16();
    std::vector<qint16> buffer;
    if (!direct)
        buffer.resize(size_t(std::min(to - from, kStepFrames) * channels));
    for (qint64 at = from; at < to; at += kStepFrames) {
        if (control.cancelled())
            return false;
        const qint64 count = std::min(kStepFrames, to - at);
        if (direct) {
            wave.prefetch(at, count);
            builder.add(direct + at * channels, count);
        } else {
            wave.readFrames(at, count, buffer.data());
            builder.add(buffer.data(), count);
        }
        if (progress)
            progress(at + count - from);
    }
    blocks = builder.takeBlocks();
    return true;
}

} // namespace

bool AnalyseWave(const WaveFile &wave, PeakPyramid &peaks, TaskControl &control,
                 const TaskProgress &progress) {
    const qint64 frames = wave.frames();
    wave.adviseSequential();
    // A long sound is read in two halves at once: the time it takes is then about the time the
    // file takes to read, not that plus the scan.
    const bool halves = frames >= kSplitFrames && QThread::idealThreadCount() > 1;
    const qint64 split = halves ? frames / 2 / PeakPyramid::kBaseFrames * PeakPyramid::kBaseFrames : frames;
    std::vector<std::vector<Peak>> parts(halves ? 2 : 1);
    bool secondDone = true;
    std::thread second;
    // Running short of memory fails a half like a cancel does; nothing may leave a thread unjoined.
    const auto scan = [&](qint64 from, qint64 to, std::vector<Peak> &blocks,
                          const std::function<void(qint64)> &report) {
        try {
            return ScanPart(wave, from, to, blocks, control, report);
        } catch (const std::bad_alloc &) {
            return false;
        }
    };
    if (halves)
        second = std::thread([&]() { secondDone = scan(split, frames, parts[1], {}); });
    // One report per percent at most: each is a call queued to the owner's thread. The first
    // half stands for the whole.
    qint64 nextReport = 0;
    const auto report = [&](qint64 done) {
        const qint64 whole = halves ? std::min(frames, done * frames / std::max<qint64>(1, split)) : done;
        if (progress && whole >= nextReport) {
            progress(whole, frames);
            nextReport = whole + frames / 100;
        }
    };
    const bool firstDone = scan(0, split, parts[0], report);
    if (!firstDone)
        control.cancel(); // the other half stops too
    if (second.joinable())
        second.join();
    if (!firstDone || !secondDone)
        return false;
    peaks = PeakPyramid::Join(wave.channels(), frames, std::move(parts));
    return true;
}

SoundEditor::SoundEditor(QObject *parent) : QObject(parent) {}

SoundEditor::~SoundEditor() {
    m_runner.cancel();
}

int SoundEditor::LoadSound(const QString &path) {
    CloseSound();
    auto wave = std::make_shared<WaveFile>();
    const int code = wave->open(path);
    if (code != 0) {
        m_lastError = code;
        return code;
    }
    m_lastError = 0;
    m_wave = wave;
    analyse(true);
    return 0;
}

void SoundEditor::analyse(bool firstLoad) {
    m_runner.cancel();
    m_analysing = true;
    const std::shared_ptr<const WaveFile> wave = m_wave;
    struct Outcome {
        std::shared_ptr<const PeakPyramid> peaks;
        bool done = false;
    };
    m_runner.start(
        [wave](TaskControl &control, const TaskProgress &progress) {
            auto peaks = std::make_shared<PeakPyramid>();
            Outcome outcome;
            try {
                outcome.done = AnalyseWave(*wave, *peaks, control, progress);
            } catch (const std::bad_alloc &) {
                outcome.done = false;
                return outcome;
            }
            outcome.peaks = std::move(peaks);
            return outcome;
        },
        [this, firstLoad](const Outcome &outcome) {
            m_analysing = false;
            if (!outcome.done || !outcome.peaks) {
                m_lastError = SoundError::NotEnoughMemory;
                m_wave.reset();
                m_loaded = false;
                Q_EMIT SoundChanged();
                Q_EMIT LoadFinished(false);
                return;
            }
            m_peaks = outcome.peaks;
            m_loaded = true;
            Q_EMIT SoundChanged();
            if (firstLoad)
                Q_EMIT LoadFinished(true);
            // The view shows the peaks once the load's own handler has run.
            QMetaObject::invokeMethod(
                this, [this]() { Q_EMIT WaveformAnalysisFinished(); }, Qt::QueuedConnection);
        },
        [this](qint64 done, qint64 total) {
            if (total > 0)
                Q_EMIT LoadProgress(int(std::min<qint64>(100, done * 100 / total)));
        });
}

void SoundEditor::CloseSound() {
    m_runner.cancel();
    m_analysing = false;
    const bool had = m_wave != nullptr;
    m_wave.reset();
    m_peaks.reset();
    m_loaded = false;
    if (had)
        Q_EMIT SoundChanged();
}

qint64 SoundEditor::SoundLength() const {
    return m_loaded && m_wave ? m_wave->lengthMs() : 0;
}

void SoundEditor::RefreshWaveform() {
    if (m_wave && !m_analysing)
        analyse(false);
}

QString SoundEditor::FormatTime(qint64 ms, bool showHours, bool showMs) {
    if (showHours && showMs)
        return FormatPosition(ms * 1000);
    ms = std::max<qint64>(0, ms);
    const qint64 seconds = ms / 1000;
    QString text =
        showHours ? Two(seconds / 3600) + QLatin1Char(':') + Two((seconds / 60) % 60) : Two(seconds / 60);
    text += QLatin1Char(':') + Two(seconds % 60);
    if (showMs)
        text += QLatin1Char('.') + QString::number(ms % 1000).rightJustified(3, QLatin1Char('0'));
    return text;
}

} // namespace tv

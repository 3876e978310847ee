#include "SoundEditor.h"

#include "SoundErrors.h"
#include "TimeFormat.h"

#include <algorithm>
#include <vector>

namespace tv {

namespace {

// Frames read per step of the analysis: large enough that the per-step work vanishes beside
// the scan, small enough that a cancel is seen within a few milliseconds.
constexpr qint64 kStepFrames = 1 << 18;

QString Two(qint64 value) {
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

} // namespace

bool AnalyseWave(const WaveFile &wave, PeakPyramid &peaks, TaskControl &control,
                 const TaskProgress &progress) {
    const qint64 frames = wave.frames();
    const int channels = std::max(1, wave.channels());
    PeakPyramid::Builder builder(channels, frames);
    const qint16 *direct = wave.samples16();
    std::vector<qint16> buffer;
    if (!direct)
        buffer.resize(size_t(std::min(frames, kStepFrames) * channels));
    wave.adviseSequential();
    qint64 nextReport = 0;
    for (qint64 at = 0; at < frames; at += kStepFrames) {
        if (control.cancelled())
            return false;
        const qint64 count = std::min(kStepFrames, frames - at);
        if (direct) {
            builder.add(direct + at * channels, count);
        } else {
            wave.readFrames(at, count, buffer.data());
            builder.add(buffer.data(), count);
        }
        // One report per percent at most: each is a call queued to the owner's thread.
        if (progress && at + count >= nextReport) {
            progress(at + count, frames);
            nextReport = (at + count) + frames / 100;
        }
    }
    peaks = builder.finish();
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

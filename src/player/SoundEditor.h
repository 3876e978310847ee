#pragma once
// The trim window's sound editor: it loads a WAV file, analyses its waveform into a peak
// pyramid on a worker thread (reporting the load's progress in percent), and hands the sound
// and its peaks to the waveform view. Its operations and events are the ones the trim window
// drives: load, close, last error, length, time texts, refresh.
//
// Threads: the editor, its state and its events belong to the UI thread. The analysis runs
// as one piece of work of its TaskRunner, which holds the sound through a shared pointer, so
// closing (or loading anew) never waits for it: the old work's result is dropped unseen.

#include "PeakPyramid.h"
#include "Task.h"
#include "WaveFile.h"

#include <QObject>
#include <QString>
#include <memory>

namespace tv {

class SoundEditor : public QObject {
    Q_OBJECT
public:
    explicit SoundEditor(QObject *parent = nullptr);
    ~SoundEditor() override;

    // Kept for the load that follows; no option changes how a WAV is read.
    void SetLoadOption(int option) { m_loadOption = option; }
    int LoadOption() const { return m_loadOption; }
    // Opens the file and starts its analysis: 0, then LoadProgress events and LoadFinished; or
    // a sound-control code at once (nothing is loaded then).
    int LoadSound(const QString &path);
    void CloseSound();
    // The code of the last failure (0 when there was none).
    int LastError() const { return m_lastError; }
    // The length of the loaded sound in milliseconds; 0 when nothing is loaded (or while the
    // analysis runs).
    qint64 SoundLength() const;
    // Whether the waveform must be analysed once more before it can be shown; the analysis
    // here always covers the whole sound, so it never needs a second pass.
    bool NeedsRefresh() const { return false; }
    // Analyses the loaded sound again; WaveformAnalysisFinished follows.
    void RefreshWaveform();
    bool isAnalysing() const { return m_analysing; }

    // "hh:mm:ss.fff" (hours and milliseconds shown), "hh:mm:ss", "mm:ss.fff" or "mm:ss".
    static QString FormatTime(qint64 ms, bool showHours, bool showMs);

    // The loaded sound and its peaks, for the views; null when nothing is loaded.
    std::shared_ptr<const WaveFile> wave() const { return m_loaded ? m_wave : nullptr; }
    std::shared_ptr<const PeakPyramid> peaks() const { return m_loaded ? m_peaks : nullptr; }

Q_SIGNALS:
    void LoadProgress(int percent);
    void LoadFinished(bool success);
    void WaveformAnalysisFinished();
    // The views are to show the loaded sound, or none.
    void SoundChanged();

private:
    void analyse(bool firstLoad);

    // UI thread only; the work holds its own references to the wave.
    TaskRunner m_runner{this};
    std::shared_ptr<const WaveFile> m_wave;
    std::shared_ptr<const PeakPyramid> m_peaks;
    bool m_loaded = false; // the analysis has finished once since the load
    bool m_analysing = false;
    int m_lastError = 0;
    int m_loadOption = 0;
};

// Reads the whole sound once, in order, into its peaks; reports progress in frames. Answers
// false when cancelled.
bool AnalyseWave(const WaveFile &wave, PeakPyramid &peaks, TaskControl &control,
                 const TaskProgress &progress);

} // namespace tv

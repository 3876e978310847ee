#pragma once
// The trim window: one row of the file list decoded into a temporary WAV file, shown as a
// waveform on which the user selects the part to keep, plays it, zooms, and saves the start
// and length into the row (the conversion then cuts there). Every way out deletes the WAV.

#include <QDialog>
#include <QHash>
#include <QPersistentModelIndex>
#include <QPointer>

class QLineEdit;
class QPushButton;
class QTimer;

namespace tv {

class FileListModel;
class SingleFileConversion;
class PlayerEvents;
class SoundEditor;
class TrimPlayback;
class WaveformView;
class frmWait;

class frmTrim : public QDialog {
    Q_OBJECT
public:
    // What the window works with, all the main window's.
    struct Services {
        FileListModel *list = nullptr;
        SingleFileConversion *converter = nullptr; // FFEncoder_MediaConverter
        PlayerEvents *playerEvents = nullptr;
    };
    frmTrim(const Services &services, int row, QWidget *owner);
    ~frmTrim() override;

    // The window start: shows the window and has the loading begin right after.
    void Form_Load();

    QPushButton *Cmd_Panels(int index) const { return m_panels.value(index); }
    WaveformView *waveform() const { return PicWave; }
    SoundEditor *soundEditor() const { return ActiveSoundEditor1; }
    TrimPlayback *playback() const { return m_playback; }
    frmWait *waitWindow() const { return m_wait; }
    // The temporary WAV file ("" before the decoding starts).
    QString trimTempWav() const { return TrimTempWav; }
    int trimStartMs() const { return TrimStartMs; }
    int trimDurationMs() const { return TrimDurationMs; }

    void done(int result) override;

Q_SIGNALS:
    // The trim was written into the row; the list's totals and selection are to follow.
    void trimSaved(int row);
    // The window has gone away (by OK, Cancel, Escape or its close box).
    void closed();

private:
    enum class Phase { Empty, Decoding, StoppingDecode, Loading, Ready };

    void buildLayout();
    void setPanelButton(int index, const QString &image, const QString &toolTip);
    void colourTimeBoxes();
    void setAnalysisButtons(bool enabled);
    void resetTimeBoxes();
    void Cmd_Panels_Click(int index);
    void Play();
    void PauseClick();
    bool Save();
    void cleanUp();
    void deleteTempWav();

    // Loading (frmTrim_load.cpp).
    void Timer_LoadFile_Timer();
    void onConversionFinished();
    void decodeEnded();
    void onWaitCanceled();
    void TimerReload_Timer();
    void ActiveSoundEditor1_LoadProgress(int percent);
    void ActiveSoundEditor1_LoadFinished(bool success);
    void ActiveSoundEditor1_WaveformAnalysisFinished();
    void PicWave_SelectionChanged(int shown, qint64 start, qint64 end);
    void PicWave_ViewRangeChanged(qint64 start, qint64 end);

    // Widgets and state: UI thread only.
    Services m_services;
    // The main window's converter, which may go before this window when the program ends.
    QPointer<SingleFileConversion> m_converter;
    QPersistentModelIndex m_record; // the row worked on
    QString m_inputPath;
    SoundEditor *ActiveSoundEditor1 = nullptr;
    WaveformView *PicWave = nullptr;
    TrimPlayback *m_playback = nullptr;
    frmWait *m_wait = nullptr;
    QHash<int, QPushButton *> m_panels;
    QLineEdit *Txt_StartView = nullptr;
    QLineEdit *Txt_EndView = nullptr;
    QLineEdit *Txt_DurationView = nullptr;
    QLineEdit *Txt_StartSelect = nullptr;
    QLineEdit *Txt_EndSelect = nullptr;
    QLineEdit *Txt_DurationSelect = nullptr;
    QTimer *Timer_LoadFile = nullptr;
    QTimer *TimerReload = nullptr;
    QTimer *TimerDisplayWaveform = nullptr;
    Phase m_phase = Phase::Empty;
    QString TrimTempWav;
    int TrimStartMs = 0;
    int TrimDurationMs = 0;
    bool m_cleanedUp = false;
};

} // namespace tv

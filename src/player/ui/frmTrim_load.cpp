// The trim window's loading: the row's file decoded into TrimTempWav by the single-file
// conversion (a wait window with Cancel), then loaded into the sound editor (a wait window with
// the load's percentage), and the editor's and the waveform's events that follow.
#include "Config.h"
#include "ConversionFlags.h"
#include "Engine.h"
#include "ErrorTexts.h"
#include "FileListModel.h"
#include "MessageBox.h"
#include "PresetIdentifier.h"
#include "SingleFileConversion.h"
#include "SoundEditor.h"
#include "SoundErrorBox.h"
#include "TrimRecord.h"
#include "WaveformView.h"
#include "frmTrim.h"
#include "frmWait.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace tv {

void frmTrim::Timer_LoadFile_Timer() {
    Timer_LoadFile->stop();
    // 1. Nothing loaded, every box at zero.
    ActiveSoundEditor1->CloseSound();
    resetTimeBoxes();
    setAnalysisButtons(false);
    // 2. The record.
    if (!m_record.isValid())
        return;
    const StoredTrim stored = ReadStoredTrim(*m_services.list, m_record.row());
    m_inputPath = stored.inputPath;
    TrimStartMs = stored.startMs;
    TrimDurationMs = stored.durationMs;
    setWindowTitle(QStringLiteral("Trim - ") + stored.name);
    // 3. The engine that decodes.
    Engine *engine = m_services.converter->engine();
    if (!engine->IsInitialized()) {
        ShowMessage(engine->LastErrorText(), MsgCritical, QString());
        return;
    }
    // 4.-5. The wait window (progress and Cancel) while the file becomes a WAV.
    ConversionFlags &flags = Flags();
    flags.waitMode = frmWait::Decoding;
    flags.cancelPrepare = false;
    m_wait->ShowMode(frmWait::Decoding);
    TrimTempWav = Paths().tempFolder + QStringLiteral("trim_") + NewPresetID() + QStringLiteral(".wav");
    m_phase = Phase::Decoding;
    m_services.converter->ConvertSingleFile(m_inputPath, TrimTempWav, QString());
    // 6. The wait goes on in onConversionFinished (the result) or onWaitCanceled (Cancel).
}

void frmTrim::onConversionFinished() {
    if (m_phase == Phase::Decoding) {
        decodeEnded();
    } else if (m_phase == Phase::StoppingDecode) {
        // 10. The engine has stopped: nothing of the cancelled decoding stays.
        m_phase = Phase::Empty;
        deleteTempWav();
    }
}

void frmTrim::onWaitCanceled() {
    if (m_phase != Phase::Decoding)
        return;
    Flags().cancelPrepare = true;
    decodeEnded();
}

void frmTrim::decodeEnded() {
    ConversionFlags &flags = Flags();
    const bool finishedWell = flags.anySucceeded;
    // 7. Success without a file is a file the engine could not make sense of; so is a file
    // without any sound, which the engine refuses to write at all.
    if (flags.lastError == NoAudioText())
        flags.lastError.clear();
    if (!flags.cancelPrepare && flags.lastError.isEmpty() && !QFile::exists(TrimTempWav))
        flags.lastError = m_inputPath + QStringLiteral("\r\n\r\n") + QStringLiteral("File format error.");
    // 8.
    m_wait->hide();
    // 9.
    if (!flags.lastError.isEmpty()) {
        m_phase = Phase::Empty;
        ShowMessage(flags.lastError, MsgExclamation, windowTitle());
        deleteTempWav();
        return;
    }
    // 10. Cancelled before the end: the engine stops and reports that it has (onConversionFinished).
    if (!finishedWell && flags.cancelPrepare) {
        Engine *engine = m_services.converter->engine();
        m_phase = Phase::StoppingDecode;
        if (engine->isRunning()) {
            engine->StopAll(true);
        } else {
            m_phase = Phase::Empty;
            deleteTempWav();
        }
        return;
    }
    // 11.-12. The WAV goes into the editor, with the load's percentage in the wait window.
    flags.waitMode = frmWait::Loading;
    m_wait->ShowMode(frmWait::Loading);
    m_phase = Phase::Loading;
    ActiveSoundEditor1->SetLoadOption(0);
    if (ActiveSoundEditor1->LoadSound(TrimTempWav) != 0) {
        m_wait->hide();
        m_phase = Phase::Empty;
        ShowSoundError(ActiveSoundEditor1->LastError());
    }
}

void frmTrim::ActiveSoundEditor1_LoadProgress(int percent) {
    if (percent != m_wait->progressValue())
        m_wait->setProgressPercent(percent);
}

void frmTrim::ActiveSoundEditor1_LoadFinished(bool success) {
    // 1.-2.
    m_wait->hide();
    if (!success) {
        m_phase = Phase::Empty;
        ShowSoundError(ActiveSoundEditor1->LastError());
        ActiveSoundEditor1->CloseSound();
        return;
    }
    // 3.
    if (ActiveSoundEditor1->NeedsRefresh()) {
        TimerReload->start();
        return;
    }
    // 4. A sound without length is no sound.
    const qint64 length = ActiveSoundEditor1->SoundLength();
    if (length == 0) {
        m_phase = Phase::Empty;
        ActiveSoundEditor1->CloseSound();
        resetTimeBoxes();
        return;
    }
    // 5. The stored trim shows as the selection unless it is the whole sound.
    m_phase = Phase::Ready;
    if (TrimDurationMs == 0)
        TrimDurationMs = int(length);
    int start = 0;
    int end = 0;
    if (StoredTrimSelection(TrimStartMs, TrimDurationMs, int(length), &start, &end))
        PicWave->SetSelection(true, start, end);
}

void frmTrim::TimerReload_Timer() {
    TimerReload->stop();
    if (ActiveSoundEditor1->SoundLength() != 0) {
        PicWave->Refresh();
    } else {
        ActiveSoundEditor1->CloseSound();
        resetTimeBoxes();
    }
}

void frmTrim::ActiveSoundEditor1_WaveformAnalysisFinished() {
    TimerDisplayWaveform->start();
    setAnalysisButtons(true);
}

void frmTrim::PicWave_SelectionChanged(int shown, qint64 start, qint64 end) {
    if (shown == 1) {
        Cmd_Panels(10)->setEnabled(end - start >= 1);
        TrimStartMs = int(start);
        TrimDurationMs = int(end - start);
        Txt_StartSelect->setText(SoundEditor::FormatTime(start, true, true));
        Txt_EndSelect->setText(SoundEditor::FormatTime(end, true, true));
        Txt_DurationSelect->setText(SoundEditor::FormatTime(end - start, true, true));
        return;
    }
    Cmd_Panels(10)->setEnabled(false);
    for (QLineEdit *edit : {Txt_StartSelect, Txt_EndSelect, Txt_DurationSelect})
        edit->setText(QStringLiteral("00:00:00.000"));
    TrimStartMs = 0;
    TrimDurationMs = 0;
}

void frmTrim::PicWave_ViewRangeChanged(qint64 start, qint64 end) {
    Txt_StartView->setText(SoundEditor::FormatTime(start, true, true));
    Txt_EndView->setText(SoundEditor::FormatTime(end, true, true));
    Txt_DurationView->setText(SoundEditor::FormatTime(end - start, true, true));
}

} // namespace tv

// The main window's format settings: the editor that shows the chosen preset's encoding
// parameters, and the parameters a conversion takes from it.
#include "frmMain.h"

#include "CatalogTable.h"
#include "EncodingParameters.h"
#include "OutputPanel.h"
#include "frmFormatSetting.h"

namespace tv {

void frmMain::buildFormatSettings() {
    // Made once and kept hidden: the conversion reads its choosers even if it is never shown.
    m_formatSetting =
        new frmFormatSetting(*ReportControl_FormatMain, *ReportControl_PresetMain, m_outputPanel, this);
    m_formatSetting->hide();
    connect(m_outputPanel, &OutputPanel::presetChosen, m_formatSetting, &frmFormatSetting::ApplyPreset);
    connect(m_outputPanel, &OutputPanel::presetListLoaded, m_formatSetting, &frmFormatSetting::SetPresetList);
    connect(m_outputPanel, &OutputPanel::formatSettingsRequested, m_formatSetting,
            &frmFormatSetting::OpenSettings);
    m_outputPanel->setFormatSettingsAvailable(true);
}

void frmMain::finishFormatSettingsStartUp() {
    // From now on a change in the editor is the user's and is stored into the preset.
    m_formatSetting->setApplyingFlag(true);
}

JobParameters frmMain::formatJobParameters() const {
    return m_formatSetting->jobParameters();
}

} // namespace tv

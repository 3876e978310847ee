#pragma once
// The format settings editor: the presets of the current keyword on the left, their encoding
// parameters on the right. Every change is stored at once into the selected preset (in
// memory); OK saves the user's presets and refreshes the main preset chooser. The window is
// made once at start-up and stays alive hidden, because the conversion reads its choosers
// even when the user never opens it.

#include "FormatSettings.h"

#include <QDialog>
#include <QList>
#include <array>
#include <memory>

class QAction;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tv {

class CatalogTable;
class ComboChooser;
class OutputPanel;
class UpDown;
struct PresetListEntry;

class frmFormatSetting : public QDialog {
    Q_OBJECT
public:
    // The catalogs belong to the main window, as does the output panel whose keyword,
    // preset chooser and favorites button the editor follows; all must outlive it.
    frmFormatSetting(const CatalogTable &formats, CatalogTable &presets, OutputPanel *panel,
                     QWidget *parent = nullptr);
    ~frmFormatSetting() override;

    FormatSettings &settings() { return *m_settings; }
    const FormatSettings &settings() const { return *m_settings; }
    // What a conversion takes from the shown settings.
    JobParameters jobParameters() const { return m_settings->jobParameters(); }
    // Set once the program has started (the applying flag of the settings).
    void setApplyingFlag(bool set) { m_settings->setApplyingFlag(set); }
    // Where OK saves the user's presets.
    void setUserPresetFile(const QString &path) { m_userPresetFile = path; }

    // Shows a preset-catalog row in every control and on the favorites button.
    void ApplyPreset(int presetRow);
    // The presets of the keyword just loaded in the output panel, in the chooser's order.
    void SetPresetList(const QList<tv::PresetListEntry> &entries);
    // Selects a row (-1 for none) and brings the buttons, the count and the titles up to date.
    void RefreshPresetList(int index);
    void DeleteSelectedPreset();
    void StorePresetValues();
    // Shows the editor over the main window (modal, without blocking the caller).
    void OpenSettings();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    // Cancel, Escape and the window's close button.
    void reject() override;

private:
    void buildLayout();
    QGroupBox *buildVideoGroup();
    QGroupBox *buildAudioGroup();
    QComboBox *makeChooser(int index);
    QWidget *makeNumberBox(int box, const QString &before, const QString &after);
    void Form_Activate();
    void applyThemeColours();
    template <typename F> void runRules(F &&rules);
    void syncControls();
    void Combo_OutputFile_Click(int index);
    void numberTyped(int box, const QString &text);
    void numberStepped(int box, int value);
    void Radio_Quality_Click(int index);
    void PresetList_SelectionChanged();
    void PresetList_ContextMenu(const QPoint &pos);
    void Cmd_PanelList_Click(int index);
    void Cmd_Panel_Click(int index);
    void newPreset();
    void renamePreset();
    int selectedListRow() const;
    bool listRowRemovable(int row) const;
    QString listRowId(int row) const;
    QTreeWidgetItem *addListRow(const QString &name, const QString &id, bool removable);
    QList<PresetListEntry> listEntries() const;

    // Everything below belongs to the UI thread.
    const CatalogTable &m_formats;
    CatalogTable &m_presets;
    OutputPanel *m_panel;
    QString m_userPresetFile;
    std::array<std::unique_ptr<ComboChooser>, kFormatChooserCount> m_comboChoosers;
    std::unique_ptr<FormatSettings> m_settings;
    bool m_syncing = false;       // the controls are being set from the settings
    bool m_listSelecting = false; // the list's selection is being set by code
    bool m_opened = false;        // the opening steps ran since the editor was shown
    bool m_listButtonsShown = true;

    QTreeWidget *PresetList = nullptr;
    QLabel *lbl_TotalPreset = nullptr;
    std::array<QPushButton *, 2> Cmd_PanelList{};
    QMenu *mnuLists = nullptr;
    std::array<QAction *, 4> mnuList{}; // 1 Delete, 2 separator, 3 Rename
    std::array<QComboBox *, kFormatChooserCount> Combo_OutputFile{};
    std::array<QLineEdit *, kNumberBoxCount> m_numberText{};
    std::array<UpDown *, kNumberBoxCount> m_numberSpin{};
    std::array<QWidget *, kNumberBoxCount> m_numberRow{};
    std::array<QRadioButton *, 3> Radio_Quality{};
    QButtonGroup *m_qualityGroup = nullptr;
    QLineEdit *Txt_Format = nullptr;
    QLineEdit *Txt_Maker = nullptr;
    QLineEdit *Txt_Keyword = nullptr;
    QLineEdit *Txt_Type = nullptr;
    QLineEdit *Txt_Image = nullptr;
    QLineEdit *Txt_Thumbnail = nullptr;
    QLineEdit *Txt_ID = nullptr;
    std::array<QPushButton *, 2> Cmd_Panel{};
};

} // namespace tv

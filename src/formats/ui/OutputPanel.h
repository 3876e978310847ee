#pragma once
// The output panel of the main window: five tabs (video formats, devices, audio formats,
// web formats, favorites), one button per keyword of the preset catalog, and the preset
// chooser. Choosing a preset is announced with presetChosen; applying it to the encoding
// parameters is the job of whoever connects to that signal.

#include "OutputTabs.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QToolButton;
class QHBoxLayout;

namespace tv {

class CatalogTable;

// One entry of the preset chooser, as the format settings editor lists it.
struct PresetListEntry {
    QString name;
    QString id;
    bool removable = false;
};

class OutputPanel : public QWidget {
    Q_OBJECT
public:
    // The panel shows the preset catalog and the favorites table; both stay owned by the
    // caller and must outlive the panel.
    OutputPanel(CatalogTable &presets, CatalogTable &favorites, QWidget *parent = nullptr);

    // The toolbar's favorites and settings buttons, which follow the chosen preset and tab.
    void setToolbarButtons(QPushButton *favorite, QPushButton *settings);
    // Where the favorites are saved, and how many are kept.
    void setFavoritesStorage(const QString &file, int favoriteMax);
    // The settings button is usable only once a format settings editor listens.
    void setFormatSettingsAvailable(bool available);

    // Rebuilds the buttons of every tab from the catalogs (after loading them).
    void BuildOutputButtons();
    // The same, then shows the current tab again (when the theme changes).
    void RefillOutputPanels();
    // Drops favorites whose preset left the catalog and rebuilds the favorites buttons
    // (after a user preset was deleted).
    void RefreshFavoriteButtons();

    // Switches the panel to a tab (0 to 4), clicking its selected button again.
    void SelectPanel(int tab);
    // Selects tab, button and preset by name; answers false (after telling the user) when
    // the maker is unknown.
    bool SelectOutputFormat(const QString &name, const QString &maker, const QString &keyword);
    // The click of the toolbar's favorites button: adds or removes the chosen preset.
    void ToggleFavorite();
    // The click of the toolbar's settings button.
    void OpenFormatSettings();
    // Refills the preset chooser with the settings editor's list and selects an entry, which
    // chooses its preset.
    void SetPresetEntries(const QList<tv::PresetListEntry> &entries, int index);
    // Shows on the favorites button whether a preset is a favorite.
    void ShowFavoriteState(const QString &presetId);

    int currentTab() const { return m_currentTab; }
    QString currentOutputKeyword() const { return m_currentKeyword; }
    int selectedButton(int tab) const;
    // The maker whose buttons the devices tab shows.
    QString deviceMaker() const;
    // The chosen preset: its ID and its preset-catalog row (0 when none).
    QString currentPresetId() const;
    int currentPresetRow() const;
    QComboBox *presetChooser() const { return Cmd_OutputPreset; }
    // The panel's controls in the order Tab visits them: the tabs, the shown tab's buttons (and
    // the maker list of the devices tab), then the preset chooser.
    QList<QWidget *> focusOrder() const;
    RememberedPresets &rememberedPresets() { return m_remembered; }

signals:
    // A preset was chosen (by a button, a tab switch, the chooser or a search): its row in
    // the preset catalog. The encoding parameters follow it.
    void presetChosen(int presetRow);
    // The chooser was filled for a button; the settings editor mirrors these entries.
    void presetListLoaded(const QList<tv::PresetListEntry> &entries);
    // False while the chosen button makes merging impossible (GIF and SWF).
    void mergeAvailableChanged(bool available);
    // The user asked to edit the format settings of the current keyword.
    void formatSettingsRequested();

private:
    struct ButtonTab {
        QWidget *strip = nullptr;
        QHBoxLayout *layout = nullptr;
        QScrollArea *scroll = nullptr;
        QList<QToolButton *> buttons;
    };

    QString tabMaker(int tab) const;
    void buildTabButtons(int tab);
    void rebuildFavoriteButtons();
    void rebuildMakerList();
    QToolButton *makeButton(const QString &name, const QString &caption, const QString &thumbnail);
    QToolButton *checkAlone(int tab, int index);
    void Cmd_Outout_Click(int tab, int index);
    void Cmd_Favorites_Click(int index);
    void Cmd_PanelOutput_Click(int tab);
    void ListBox_MakerNames_Click();
    void Cmd_OutputPreset_Click();
    void fillChooser(const CatalogTable &table, const QString &maker, const QString &keyword, int select);
    void updateFavoriteButton();
    void updateSettingsButton();
    void setPresetRowVisible(bool visible);

    // Everything below belongs to the UI thread.
    CatalogTable &m_presets;
    CatalogTable &m_favorites;
    QString m_favoritesFile;
    int m_favoriteMax = 0;
    bool m_settingsAvailable = false;
    bool m_presetRowVisible = true;

    std::array<QPushButton *, kOutputTabCount> Cmd_PanelOutput{};
    QStackedWidget *m_pages = nullptr;
    std::array<ButtonTab, kOutputTabCount> m_tabs; // index 4 holds Cmd_Favorites
    QListWidget *ListBox_MakerNames = nullptr;
    QLabel *Pic_FavMsg = nullptr;
    QLabel *lbl_OutputPreset = nullptr;
    QComboBox *Cmd_OutputPreset = nullptr;
    QPushButton *m_favoriteButton = nullptr; // Cmd_FileListView(10) of the main window
    QPushButton *m_settingsButton = nullptr; // Cmd_FileListView(11)

    int m_currentTab = AudioTab;
    std::array<int, kButtonTabCount> m_selectedButton{};
    RememberedPresets m_remembered;
    QString m_currentKeyword;
};

} // namespace tv

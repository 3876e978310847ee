// The main window's output side: the catalogs, the output panel with its toolbar buttons,
// the merge box, and the search window.
#include "frmMain.h"

#include "CatalogStartup.h"
#include "CatalogTable.h"
#include "Config.h"
#include "MessageBox.h"
#include "OutputPanel.h"
#include "frmSearch.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QPushButton>

namespace tv {

void frmMain::buildOutputPanel() {
    ReportControl_FormatMain = new CatalogTable(this);
    ReportControl_FormatMain->setObjectName(QStringLiteral("ReportControl_FormatMain"));
    ReportControl_PresetMain = new CatalogTable(this);
    ReportControl_PresetMain->setObjectName(QStringLiteral("ReportControl_PresetMain"));
    ReportControl_FavoritesMain = new CatalogTable(this);
    ReportControl_FavoritesMain->setObjectName(QStringLiteral("ReportControl_FavoritesMain"));

    m_outputPanel = new OutputPanel(*ReportControl_PresetMain, *ReportControl_FavoritesMain, this);
    m_outputPanelArea->addWidget(m_outputPanel);

    // Search, favorite and settings sit at the right end of the toolbar, before the menu.
    const int at = m_toolbarArea->indexOf(Cmd_Menu);
    QPushButton *search =
        addFileListViewButton(SearchButton, tr("S&earch"), QStringLiteral("img_search_format.png"),
                              tr("Search output formats and presets"));
    QPushButton *favorite = addFileListViewButton(
        FavoriteButton, QString(), QStringLiteral("img_favorite_off.png"), tr("Add to favorites tab"));
    QPushButton *settings =
        addFileListViewButton(FormatSettingsButton, tr("Se&ttings"), QStringLiteral("img_setting.png"),
                              tr("Change the settings of the chosen preset"));
    m_toolbarArea->insertWidget(at, search);
    m_toolbarArea->insertWidget(at + 1, favorite);
    m_toolbarArea->insertWidget(at + 2, settings);
    m_outputPanel->setToolbarButtons(favorite, settings);

    Chk_Merge = new QCheckBox(tr("&Merge all audios into one file"), this);
    Chk_Merge->setObjectName(QStringLiteral("Chk_Merge"));
    m_actionRowArea->addWidget(Chk_Merge);
    connect(m_outputPanel, &OutputPanel::mergeAvailableChanged, this, [this](bool available) {
        Chk_Merge->setVisible(available);
        if (!available)
            Chk_Merge->setChecked(false);
    });
}

bool frmMain::LoadCatalogs() {
    const QString problem = LoadShippedCatalogs(*ReportControl_FormatMain, *ReportControl_PresetMain);
    if (!problem.isEmpty()) {
        ShowMessage(problem, MsgCritical, Config().productName);
        return false;
    }
    LoadUserCatalogs(*ReportControl_PresetMain, *ReportControl_FavoritesMain, Paths().userPresetFile,
                     Paths().userFavoritesFile);
    m_outputPanel->setFavoritesStorage(Paths().userFavoritesFile, Config().favoriteMax);
    m_outputPanel->BuildOutputButtons();
    return true;
}

void frmMain::SelectOutputFormat(const QString &name, const QString &maker, const QString &keyword) {
    m_outputPanel->SelectOutputFormat(name, maker, keyword);
}

void frmMain::outputToolbarClick(int index) {
    switch (index) {
    case FavoriteButton:
        m_outputPanel->ToggleFavorite();
        break;
    case FormatSettingsButton:
        m_outputPanel->OpenFormatSettings();
        break;
    case SearchButton:
        openSearch();
        break;
    default:
        break;
    }
}

void frmMain::openSearch() {
    frmSearch search(*ReportControl_PresetMain, this);
    connect(&search, &frmSearch::outputChosen, this, &frmMain::SelectOutputFormat);
    search.exec();
}

} // namespace tv

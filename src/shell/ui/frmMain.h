#pragma once
// The main window: its layout, its load handler and its unload sequence. Each subsystem adds
// its own part of the window through the areas named below.

#include <QHash>
#include <QMainWindow>
#include <QStringList>

class QBoxLayout;
class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;

namespace tv {

class CatalogTable;
class OutputPanel;
class frmFormatSetting;
struct JobParameters;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(const QStringList &arguments, QWidget *parent = nullptr);
    ~frmMain() override;

    // The load handler; answers false when this instance is to end right away.
    bool Form_Load();
    // The unload sequence; runs once, however the program ends.
    void Form_Unload();

    // Buttons of the toolbar and the output row share one click handler keyed by index.
    QPushButton *Cmd_FileListView(int index) const { return m_cmdFileListView.value(index); }
    void Cmd_FileListView_Click(int index);

    bool isUnloading() const { return m_unloading; }

    // The catalogs (hidden lists ReportControl_FormatMain, ReportControl_PresetMain and
    // ReportControl_FavoritesMain) and the output panel that shows them (frmMain_output.cpp).
    CatalogTable &formatCatalog() const { return *ReportControl_FormatMain; }
    CatalogTable &presetCatalog() const { return *ReportControl_PresetMain; }
    CatalogTable &favoritesCatalog() const { return *ReportControl_FavoritesMain; }
    OutputPanel *outputPanel() const { return m_outputPanel; }
    // Selects tab, keyword button and preset (the search and the text commands use it).
    void SelectOutputFormat(const QString &name, const QString &maker, const QString &keyword);
    // The format settings editor (frmMain_settings.cpp), alive hidden for the whole run, and
    // the encoding parameters a conversion takes from it.
    frmFormatSetting *formatSettings() const { return m_formatSetting; }
    JobParameters formatJobParameters() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void buildMenu();
    QPushButton *addFileListViewButton(int index, const QString &caption, const QString &image,
                                       const QString &toolTip);
    void Txt_OutputPath_LostFocus();
    void browseOutputFolder();
    void openOutputFolder();
    void Timer_StartUp_Timer();
    void showAbout();
    void buildOutputPanel();
    void LoadCatalogs();
    void outputToolbarClick(int index);
    void openSearch();
    void buildFormatSettings();
    void finishFormatSettingsStartUp();

    // Widgets and state below belong to the UI thread.
    QStringList m_arguments;
    QHash<int, QPushButton *> m_cmdFileListView;
    QLineEdit *Txt_OutputPath = nullptr;
    QPushButton *Cmd_Menu = nullptr;
    QMenu *mnuMenu = nullptr;
    QTimer *Timer_StartUp = nullptr;
    CatalogTable *ReportControl_FormatMain = nullptr;
    CatalogTable *ReportControl_PresetMain = nullptr;
    CatalogTable *ReportControl_FavoritesMain = nullptr;
    OutputPanel *m_outputPanel = nullptr;
    frmFormatSetting *m_formatSetting = nullptr;
    QCheckBox *Chk_Merge = nullptr;

    // Areas of the window that the subsystems fill (see the sketch in the architecture notes).
    QBoxLayout *m_toolbarArea = nullptr;   // toolbar buttons, left to right
    QSplitter *m_bodyArea = nullptr;       // file list on the left, player and info on the right
    QBoxLayout *m_outputPanelArea = nullptr;
    QBoxLayout *m_outputRowArea = nullptr; // output folder row, then merge and convert

    bool m_loaded = false;
    bool m_unloading = false;
    bool m_unloaded = false;
    bool m_shutdownWhenDone = false;
};

} // namespace tv

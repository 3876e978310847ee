#pragma once
// The main window: its layout, its load handler and its unload sequence. Each subsystem adds
// its own part of the window through the areas named below.

#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "CommandHost.h"
#include "EncodingParameters.h"
#include "ErrorTexts.h"
#include "Loudness.h"
#include "RenameRules.h"
#include "Task.h"

class QBoxLayout;
class QGroupBox;
class QCheckBox;
class QComboBox;
class QProgressBar;
class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;

namespace tv {

class CatalogTable;
class CommandChannel;
class DesktopNotice;
class TrayArea;
class UpdateCheck;
class ConversionBatch;
class PicturePopup;
class TextCommands;
class Engine;
class frmWait;
class OutputMerger;
struct MergeResult;
class OutputPanel;
class SingleFileConversion;
class FileDropTarget;
class FileImporter;
class FileListView;
class InputInfoPanel;
class RipperArea;
class BurnArea;
class frmFormatSetting;
class TaskbarProgress;
class Player;
class PlayerEvents;
class PlayerPane;
struct PlayerSettings;

class frmMain : public QMainWindow, public CommandHost {
    Q_OBJECT
public:
    explicit frmMain(const QStringList &arguments, QWidget *parent = nullptr);
    ~frmMain() override;

    // The load handler; answers false when this instance is to end right away (it handed its
    // command line to the running instance, or cannot run): it then ends with exitCode().
    bool Form_Load();
    int exitCode() const { return m_handOverExitCode; }
    // The unload sequence; runs once, however the program ends.
    void Form_Unload();

    // Buttons of the toolbar and the output row share one click handler keyed by index; the
    // index is also the button's objectName suffix ("Cmd_FileListView(3)").
    enum ListViewButton : int {
        AddFilesButton = 0,
        RemoveButton = 1,
        RemoveAllButton = 2,
        ConvertButton = 3, // Convert Now / Pause / Resume, its state in its tag
        StopButton = 4,
        OpenOutputButton = 5,
        TrimButton = 6,
        BrowseOutputButton = 7,
        FavoriteButton = 10,
        FormatSettingsButton = 11,
        SearchButton = 12,
    };
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

    // The file list, its importer and the input information panel (frmMain_filelist.cpp).
    FileListView *fileList() const { return FileViewMain; }
    FileImporter *fileImporter() const { return m_fileImporter; }

    // The conversion (frmMain_conversion.cpp): its state lives in the Convert button's tag.
    enum ConversionState { Idle = 0, Converting = 1, Paused = 2 };
    ConversionState conversionState() const;
    // FFEncoder1 runs the batches, FFEncoder_MediaConverter single files for other windows.
    Engine *batchEngine() const { return FFEncoder1; }
    SingleFileConversion *singleFileConversion() const { return m_singleFile; }
    // Enables or disables the controls for an operating state (0 idle, 1 converting).
    void SetUiState(int state, bool enabled);

    // The preview player (frmMain_player.cpp): FFPlayer1, shared by every window that plays.
    Player *player() const { return FFPlayer1; }
    PlayerEvents *playerEvents() const { return m_playerEvents; }
    PlayerPane *previewPane() const { return m_previewPane; }
    // Imports the video files of a DVD folder (the disc menu).
    void LoadDvdSource(const QString &source);

    // The tag editor over a row of the list (frmMain_tags.cpp).
    void ShowTagEditor(int row);

    // The CD ripper (frmMain_disc.cpp), with an image to open like a drive when given.
    void OpenCDRipper(const QString &image = QString());
    // The burners (frmMain_burn.cpp): the chooser, and a burner by its kind (0 audio CD, 1 data
    // CD, 2 data DVD).
    void OpenBurnTypes();
    void OpenBurner(int kind);
    // The notification area (frmMain_tray.cpp): hides the window into it, or brings it back.
    void TrayToggle();
    bool isInTray() const { return m_inTray; }
    TrayArea *trayArea() const { return m_tray; }
    // The update check (frmMain_update.cpp).
    UpdateCheck *updateCheck() const { return m_updateCheck; }

    // The text commands (frmMain_commands.cpp): what other programs may ask of the window.
    TextCommands *textCommands() const { return m_textCommands; }
    bool commandsBlocked() const override;
    QString inputExtensionList() const override;
    QStringList outputFormatLines() const override;
    void removeAllFiles() override;
    quint64 mainWindowHandle() const override;
    quint64 activeWindowHandle() const override;
    bool selectOutputByName(const QString &name) override;
    void showImageOverlay(const QStringList &fields) override;
    bool importFile(const QString &path) override;
    void showCannotOpenFile() override;
    void showListState() override;

Q_SIGNALS:
    // The batch is over and the window is idle again (after any report, merge or notice).
    void batchCompleted();
    // A completion notice went to the tray instead of a dialog (the window was minimised).
    void completionNotified(const QString &text);
    // The window has unloaded; the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Tab and Shift+Tab follow the layout: list, output, folder, conversion, side, toolbar.
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildLayout();
    // The window as a desktop window (frmMain_window.cpp).
    void setupWindowBehaviour();
    void addFolder();
    QList<QWidget *> tabOrder() const;
    void fitToolbar();
    void restoreWindowPlacement();
    void saveWindowPlacement();
    void showBatchProgress(int value, int maximum, const QString &text);
    void clearBatchProgress();
    void buildMenu();
    // Puts an entry into mnuMenu at its index ("mnuMenu(10)"), in index order.
    void insertMenuEntry(int index, QAction *action);
    QPushButton *addFileListViewButton(int index, const QString &caption, const QString &image,
                                       const QString &toolTip);
    void Txt_OutputPath_LostFocus();
    void browseOutputFolder();
    void openOutputFolder();
    void Timer_StartUp_Timer();
    void showAbout();
    void buildOutputPanel();
    bool LoadCatalogs(); // false (after saying why) when the shipped catalogs cannot be read
    void outputToolbarClick(int index);
    void openSearch();
    void setupFileList();
    void FileList_Click(int index);
    void FileList_Unload();
    void setupConversion();
    void setConversionState(ConversionState state);
    void ConvertClick();
    void StartConversion();
    // What the preparation's worker found: the first row whose input cannot be opened (-1: none).
    struct InputCheck {
        int refusedRow = -1;
        QString refusal;
    };
    void prepareJobs(const InputCheck &check);
    void cancelPreparation();
    void finishPreparation(bool start);
    void StopClick();
    void Timer_ConversionElapsed_Timer();
    void onRowProgress(int row, int figure);
    void onTotalProgress(int value, const QString &text);
    void onStalled(bool stalled);
    void onRowSucceeded(int row, const QString &outputPath);
    void onRowMoveFailed(int row, const QString &message);
    void onRowFailed(int row, const QString &message, tv::FailureKind kind);
    void showRowInformation(int row);
    void setTotalBarBusy(bool busy);
    void Conversion_Unload();
    // Answers false when another instance took the command line and this one is to end.
    bool setupCommandInterface();
    void TxtCommand_Temp_Change();
    void Commands_Unload();
    // Renaming the outputs (frmMain_rename.cpp).
    void setupRename();
    void RenameAll(int rule);
    void RenameSelected();
    // Batch completion (frmMain_completion.cpp).
    void BatchEnd();
    bool StartMerge(); // false when there is nothing to join
    void MergeFinished(const MergeResult &result);
    void CompleteBatch();
    void EndBatch();
    void showCompletionNotice();
    void buildFormatSettings();
    void setupTagEditor();
    void setupDisc();
    void setupBurn();
    void finishFormatSettingsStartUp();
    void setupPlayer();
    bool previewSource(PlayerSettings &settings);
    void stopPreviewPlayer();
    void openPlayerWindow();
    void buildDiscMenu();
    void Player_Unload();
    // The trim window (frmMain_trim.cpp).
    void setupTrim();
    void TrimClick();
    // Closing and preferences (frmMain_close.cpp), the tray (frmMain_tray.cpp), the themes
    // (frmMain_theme.cpp) and the update check (frmMain_update.cpp).
    void setupClose();
    void showPreferences();
    bool QueryUnload();
    bool closeWorkWindows();
    void showCloseDialog();
    void resumeIfPaused();
    bool askTerminate();
    void unloadWindow();
    void mnuTray_Exit();
    void setupTray();
    void Timer_TrayIcon_Timer();
    void showTrayNotice(const QString &text);
    void setupThemes();
    bool LoadThemeAtStart();
    void mnutheme_Click(int index);
    void ShowThemeError(int error);
    void setupUpdates();
    // The loudness choice under the output panel (frmMain_loudness.cpp).
    void setupLoudness();
    LoudnessSettings loudnessChoice() const;
    void startUpdateCheck(bool fromMenu);
    void onUpdateCheckFinished(bool available);
    void showStartUpUpdateNotice();

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
    QComboBox *Combo_Loudness = nullptr;
    QComboBox *Combo_LoudnessTarget = nullptr;
    FileListView *FileViewMain = nullptr;
    InputInfoPanel *GroupBox_InputInfo = nullptr;
    FileImporter *m_fileImporter = nullptr;
    FileDropTarget *m_fileDropTarget = nullptr;
    Engine *FFEncoder1 = nullptr;
    SingleFileConversion *m_singleFile = nullptr;
    ConversionBatch *m_batch = nullptr;
    OutputMerger *m_merger = nullptr;
    frmWait *m_convertWait = nullptr;
    QTimer *Timer_ConversionElapsed = nullptr;
    QProgressBar *ProgressBar_Total = nullptr;
    QCheckBox *chkThreadMode = nullptr;
    QLineEdit *txtThreadCount = nullptr;
    QAction *mnuShutdownWhenDone = nullptr;
    QList<QWidget *> m_lockedByBatch; // controls SetUiState disabled, to be enabled again
    TextCommands *m_textCommands = nullptr;
    CommandChannel *m_commandChannel = nullptr;
    QLineEdit *TxtCommand_Temp = nullptr;        // the mailbox other processes write into
    QLineEdit *TxtCommand_FirstTime = nullptr;   // the first command-line argument, for outside readers
    QLineEdit *TxtCommand_LoadingTime = nullptr; // the command being run, for outside readers
    PicturePopup *PopupControl_Tag = nullptr;
    QMenu *mnuRenameAll2 = nullptr;
    QPushButton *Cmd_RenameAll = nullptr;
    RenameParameters m_renameParameters; // what the rename dialogs collected last
    Player *FFPlayer1 = nullptr;
    PlayerEvents *m_playerEvents = nullptr;
    PlayerPane *m_previewPane = nullptr;
    QGroupBox *GroupBox_Player = nullptr;
    QMenu *mnuDisc = nullptr;
    RipperArea *m_ripper = nullptr; // the ripper window and its importer
    BurnArea *m_burnArea = nullptr; // the burner windows
    TrayArea *m_tray = nullptr;
    DesktopNotice *m_notice = nullptr;
    QString m_pendingNotice; // the notice the tray shows when the desktop's service cannot
    bool m_inTray = false;
    bool m_trayMissingSaid = false;
    bool m_closeApproved = false; // the close that follows unloads without asking
    QHash<int, QAction *> mnutheme;
    int m_themeShown = 0;
    UpdateCheck *m_updateCheck = nullptr;
    bool m_updateAvailable = false;
    bool m_updateFromMenu = false;
    bool m_startUpDone = false;

    // Areas of the window that the subsystems fill (see the sketch in the architecture notes).
    QBoxLayout *m_toolbarArea = nullptr; // toolbar buttons, left to right
    QSplitter *m_bodyArea = nullptr;     // file list on the left, player and info on the right
    QBoxLayout *m_outputPanelArea = nullptr;
    QBoxLayout *m_outputRowArea = nullptr; // output folder row
    QBoxLayout *m_actionRowArea = nullptr; // merge, jobs at once, convert and stop
    QBoxLayout *m_sidePanelArea = nullptr; // right of the list: player group box, then input information

    std::unique_ptr<TaskbarProgress> m_taskbar; // the batch's progress on the task bar entry
    bool m_toolbarCompact = false;              // toolbar buttons show their pictures only
    int m_toolbarFullWidth = 0;                 // the toolbar's width with its texts
    bool m_loaded = false;
    bool m_running = false;     // the load finished: this instance is the running window
    int m_handOverExitCode = 0; // a start that ended in its load: 0, or 1 when it failed
    QString m_commandProblem;   // why the text command that ran last was not carried out
    bool m_unloading = false;
    bool m_unloaded = false;
    // Set while a batch's jobs are being prepared or its end is being handled: both let events
    // run, and a click delivered then must not pause, or start, a batch in between.
    bool m_preparingBatch = false;
    TaskRunner m_prepareTasks{this}; // opens a batch's inputs ahead of it
    bool m_endingBatch = false;
};

} // namespace tv

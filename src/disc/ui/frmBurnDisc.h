#pragma once
// The burner windows: the audio CD burner frmBurnAudioCD (its tracks decoded to temporary WAVs
// as they are added) and the data burners frmBurnDataCD and frmBurnDataDVD (files and folders
// as they are). They share one layout: the drive box and the disc's description, the burn
// list with its footers, the preview controls, the space gauge with its used, to-burn and free
// figures, and the commands that add, remove, erase and burn.

#include "BurnListModel.h"
#include "BurnSpace.h"

#include <QHash>
#include <QVector>
#include <QWidget>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tv {

class BurnListView;
class DiscGauge;
class DiscWriter;
class PlayerEvents;
class PlayerPane;
class SingleFileConversion;
class TaskRunner;
class frmWait;

// A file of the main list that a burner takes: a row's converted output and the row's tags.
struct BurnSource {
    QString path;
    QString title;
    QString artist;
    QString album;
};
using BurnSourceList = std::function<QVector<BurnSource>()>;

class frmBurnDisc : public QWidget {
    Q_OBJECT
public:
    // converter decodes the audio CD's tracks (unused by the data burners); mainList gives the
    // main list's converted files, taken when the window opens.
    frmBurnDisc(BurnKind kind, PlayerEvents *events, SingleFileConversion *converter, BurnSourceList mainList,
                QWidget *parent = nullptr);
    ~frmBurnDisc() override;
    BurnKind kind() const { return m_kind; }

    // Opening: the writer's drives are listed, the first is chosen and its disc read, then the
    // main list's files are taken.
    void Form_Load();
    DiscWriter *writer() const { return m_writer; }
    BurnListModel *burnList() const { return m_list; }
    BurnListView *listView() const { return FileViewMain; }

    // Reads the disc again and shows what it is.
    void GetDiscInfo();
    // Recomputes the gauge and its figures from the writer (CalcCDSpace / CalcDVDSpace).
    void CalcCDSpace();
    int GetCDUsedSpacePercents() const { return m_space.percent; }
    const DiscSpace &space() const { return m_space; }
    // Whether the drive holds a medium this burner can write; says why not when it does not.
    bool DiscWritable();
    // Deletes every session of the medium (a rewritable data disc).
    int DeleteAllSessions();
    // 5: the list is empty; 6: it has rows.
    void SetUiState(int state);
    // The buttons of the window (Cmd_Panel 1 erase, 2 burn, 3 add files, 4 remove, 5 add folder,
    // 7 remove all).
    void Cmd_Panel_Click(int index);
    QPushButton *Cmd_Panel(int index) const { return m_panel.value(index); }

    // Adds files as the file dialog's choice does (audio: decoded one after another, with the
    // wait window), and a folder as one entry (data burners).
    void AddFiles(const QStringList &paths);
    void AddFolder(const QString &path);
    // Takes the main list's converted files (Timer_AddFileFromMainList).
    void AddFilesFromMainList();
    bool isAdding() const { return m_adding; }
    // Whether the main list's files are still to be taken (after the first disc is read).
    bool mainListPending() const { return m_mainListPending; }
    // Stops the preview when this window plays.
    void StopPreview();
    PlayerPane *previewPane() const { return m_preview; }

Q_SIGNALS:
    // An add (files, a folder, the main list's files) has ended.
    void addingFinished();
    // The disc was read and shown.
    void discShown();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum class AddResult { Added, Failed, NoSpace, Cancelled };

    void buildLayout();
    QPushButton *addPanel(int index, const QString &caption, const QString &image, const QString &tip);
    void fillDrives(int code, const QString &message);
    void ComboCdDrives_Click();
    void showDisc();
    void syncCompilation();
    void MediaChange();
    void burn();
    void erase();
    void removeRows(const QList<int> &rows);
    bool previewSource(struct PlayerSettings &settings);
    QString caption() const;
    QString noDiscText() const;
    QString notWritableText() const;

    // Adding (frmBurnDisc_add.cpp).
    void addAudioFiles(const QStringList &paths, bool fromMainList, const QVector<BurnSource> &tags);
    AddResult AddConvertedFileToList(const QString &source, const BurnSource &tags);
    void addDataPaths(const QStringList &paths, bool folders);
    void finishAdding(const QStringList &failures);
    bool hasFreeSpace() const;

    // UI thread only.
    BurnKind m_kind;
    PlayerEvents *m_events;
    SingleFileConversion *m_converter;
    BurnSourceList m_mainList;
    DiscWriter *m_writer = nullptr;
    BurnListModel *m_list = nullptr;
    BurnListView *FileViewMain = nullptr;
    QComboBox *ComboCdDrives = nullptr;
    QPushButton *Cmd_DiscInfo = nullptr;
    QHash<int, QPushButton *> m_panel;
    DiscGauge *PicCDSize = nullptr;
    QLabel *lbl_ShowUsedValue = nullptr;
    QLabel *lbl_ShowBurnValue = nullptr;
    QLabel *lbl_FreeSpaceValue = nullptr;
    QGroupBox *GroupBox_Player = nullptr;
    PlayerPane *m_preview = nullptr;
    QTimer *Timer_AddFileFromMainList = nullptr;
    frmWait *m_wait = nullptr;
    TaskRunner *m_runner = nullptr; // data entries' sizes and channels
    DiscSpace m_space;
    bool m_adding = false;
    bool m_decoding = false;       // a single-file conversion of this window is running
    bool m_mainListPending = true; // the main list's files are still to be taken
    bool m_closing = false;
};

class frmBurnAudioCD : public frmBurnDisc {
    Q_OBJECT
public:
    frmBurnAudioCD(PlayerEvents *events, SingleFileConversion *converter, BurnSourceList mainList,
                   QWidget *parent = nullptr)
        : frmBurnDisc(BurnKind::AudioCD, events, converter, std::move(mainList), parent) {}
};

class frmBurnDataCD : public frmBurnDisc {
    Q_OBJECT
public:
    frmBurnDataCD(PlayerEvents *events, BurnSourceList mainList, QWidget *parent = nullptr)
        : frmBurnDisc(BurnKind::DataCD, events, nullptr, std::move(mainList), parent) {}
};

class frmBurnDataDVD : public frmBurnDisc {
    Q_OBJECT
public:
    frmBurnDataDVD(PlayerEvents *events, BurnSourceList mainList, QWidget *parent = nullptr)
        : frmBurnDisc(BurnKind::DataDVD, events, nullptr, std::move(mainList), parent) {}
    // The DVD burner's names for the shared methods.
    void CalcDVDSpace() { CalcCDSpace(); }
    int GetDVDUsedSpacePercents() const { return GetCDUsedSpacePercents(); }
};

} // namespace tv

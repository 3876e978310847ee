#pragma once
// The separate player window: the chosen file in a large picture window, with play/pause,
// stop, mute, close and snapshot (Cmd_Player 0 to 4), the sound and subtitle choice, full
// screen and a control panel that slides away while the pointer rests.

#include <QPointer>
#include <QWidget>

class QComboBox;
class QMenu;
class QPushButton;
class QTimer;

namespace tv {

class PlayerEvents;
class PlayerPane;
class Slider_Ctrl;

class frmPlayer : public QWidget {
    Q_OBJECT
public:
    // `mainVolume` is the main window's volume slider, whose value the window starts with.
    frmPlayer(PlayerEvents *events, const QString &filePath, Slider_Ctrl *mainVolume,
              QWidget *parent = nullptr);
    ~frmPlayer() override;

    PlayerPane *pane() const { return m_pane; }
    QString filePath() const { return m_path; }
    bool panelHidden() const;

    void Snapshot();
    void ToggleFullScreen();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildPanel();
    void placePanel();
    void placePicture();
    void fillStreams();
    void Combo_AudioSubTitle_Click(int index);
    void Timer_GetMousePosition_Timer();
    void Timer_HidePanel_Timer();
    void Timer_Motion_Timer();
    void Timer_WaitToPlay_Timer();

    // UI thread only.
    PlayerEvents *m_events;
    QString m_path;
    QPointer<Slider_Ctrl> m_mainVolume;
    PlayerPane *m_pane = nullptr;
    QWidget *m_panel = nullptr; // the control panel over the bottom of the picture
    QComboBox *Combo_AudioSubTitle = nullptr;
    QPushButton *Cmd_FullScreen = nullptr;
    QPushButton *Cmd_SnapShotMenu = nullptr;
    QMenu *m_snapshotMenu = nullptr;
    QTimer *Timer_GetMousePosition = nullptr;
    QTimer *Timer_HidePanel = nullptr;
    QTimer *Timer_Motion = nullptr;
    QTimer *Timer_WaitToPlay = nullptr;
    QPoint m_lastPointer;
    bool m_panelWanted = true; // where Timer_Motion slides the panel: shown or hidden
    bool m_shownOnce = false;
};

} // namespace tv

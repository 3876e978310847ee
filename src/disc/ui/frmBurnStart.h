#pragma once
// The start window of a burner (frmBurnAudioCD_Start, frmBurnDataCD_Start,
// frmBurnDataDVD_Start): the speeds the drive accepts, the finalize choice (CDs) or the disc
// label (data discs), Start turning into Cancel while the disc is written, the rotating disc,
// the elapsed time and the progress, and the closing of the disc. The image recorder asks for
// the file to write when writing starts.

#include <QDateTime>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tv {

class DiscWriter;
class frmBurnDisc;

class frmBurnStart : public QDialog {
    Q_OBJECT
public:
    // Shows over the burner and detects the speeds at once (LoadSpeedCombo).
    explicit frmBurnStart(frmBurnDisc *burner);

    void LoadSpeedCombo();
    void Cmd_StartBurn_Click();
    bool isWriting() const { return m_writing; }
    // The writer's last error code and whether one came (the start step looks at them).
    int lastErrorCode() const { return m_errorCode; }

    // Asks for the image file (dlgSaveDiscImage); "" when none was chosen.
    QString ChooseImageFile();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Start();
    void cancelBurn();
    void OperationProgress(int percent);
    void ErrorEx(int code, const QString &message);
    void resetWindow();
    void rotate();
    QString closingText() const;

    frmBurnDisc *m_burner;
    DiscWriter *m_writer;
    QLabel *PicRotate = nullptr;
    QLabel *lbl_Status = nullptr;
    QLabel *lbl_FileName = nullptr;
    QLabel *lblTime = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QComboBox *Cmb_BurnSpeed = nullptr;
    QCheckBox *chkFinalizeCD = nullptr;
    QLineEdit *Txt_DiscLabel = nullptr;
    QPushButton *Cmd_StartBurn = nullptr;
    QPushButton *Cmd_Close = nullptr;
    QTimer *Timer_Rotate = nullptr;
    QDateTime m_started;
    int m_angle = 0;
    int m_errorCode = 0;
    bool m_error = false;
    bool m_writing = false;
    bool m_detecting = false;
};

} // namespace tv

#pragma once
// The erase window of a burner (frmBurnAudioCD_Erase, frmBurnDataCD_Erase,
// frmBurnDataDVD_Erase): the two erase styles (Cmd_EraseStyle 0 quick, 1 full) and the
// progress. A rewritable DVD that is written over in place has its sessions deleted instead.

#include <QDialog>
#include <QHash>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tv {

class DiscWriter;
class frmBurnDisc;

class frmBurnErase : public QDialog {
    Q_OBJECT
public:
    explicit frmBurnErase(frmBurnDisc *burner);
    QPushButton *Cmd_EraseStyle(int index) const { return m_styles.value(index); }
    void Cmd_EraseStyle_Click(int index);

protected:
    void reject() override;

private:
    void OperationProgress(int percent);
    void ErrorEx(int code, const QString &message);
    void resetWindow();

    frmBurnDisc *m_burner;
    DiscWriter *m_writer;
    QHash<int, QPushButton *> m_styles;
    QLabel *lbl_Status = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *Cmd_Close = nullptr;
    bool m_erasing = false;
};

} // namespace tv

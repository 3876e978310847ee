#pragma once
// The wait window: a small modeless window with a message, a file count, a file name, a
// progress bar and a Cancel button, shown while files are added, jobs are prepared, outputs are
// merged, a file is decoded for trimming, or the program closes. Its mode selects what shows.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tv {

class frmWait : public QDialog {
    Q_OBJECT
public:
    enum Mode {
        PrepareFiles = 1, // adding files or preparing jobs: count, name, bar, Cancel
        Closing = 2,      // "Closing...", nothing to cancel
        Finalizing = 3,   // merging: "Finalizing Progress..." and Cancel
        Decoding = 4,     // no texts: the bar and Cancel
        Loading = 5,      // "Loading...", nothing to cancel
    };

    explicit frmWait(QWidget *owner = nullptr);

    // Sets the mode's texts and controls, clears the cancel flag and shows the window without
    // blocking, above its owner.
    void ShowMode(int mode);
    int mode() const { return m_mode; }

    void setMessage(const QString &text);
    // "3 of 12 files".
    void setFileNumber(int number, int total);
    void setFileName(const QString &name);
    void setProgressMaximum(int maximum);
    void setProgressValue(int value);
    // The bar as a percentage with its figure ("42 %"), shown whatever the mode hid.
    void setProgressPercent(int percent);
    int progressValue() const;

Q_SIGNALS:
    // Cancel was pressed (or Escape, or the close box while Cancel is offered).
    void canceled();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void cancel();

    QLabel *lbl_Msg = nullptr;
    QLabel *lbl_FileNumber = nullptr;
    QLabel *lbl_FileName = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *Cmd_Cancel = nullptr;
    int m_mode = PrepareFiles;
    bool m_cancelable = true;
    bool m_cancelRequested = false;
};

} // namespace tv

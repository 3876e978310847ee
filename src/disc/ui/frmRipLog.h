#pragma once
// Shows a rip log and saves it as a text file.

#include <QDialog>

class QPlainTextEdit;

namespace tv {

class frmRipLog : public QDialog {
    Q_OBJECT
public:
    frmRipLog(const QString &text, QWidget *parent = nullptr);
    // Writes the log to a file; false (with a message) when it cannot be written.
    bool SaveTo(const QString &path);

private:
    void save();
    QPlainTextEdit *Txt_Log;
};

} // namespace tv

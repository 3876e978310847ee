#include "frmRipLog.h"

#include "MessageBox.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace tv {

frmRipLog::frmRipLog(const QString &text, QWidget *parent)
    : QDialog(parent), Txt_Log(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("frmRipLog"));
    setWindowTitle(tr("Rip Log"));
    auto *layout = new QVBoxLayout(this);
    Txt_Log->setObjectName(QStringLiteral("Txt_Log"));
    Txt_Log->setReadOnly(true);
    Txt_Log->setLineWrapMode(QPlainTextEdit::NoWrap);
    Txt_Log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Txt_Log->setPlainText(text);
    layout->addWidget(Txt_Log);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *saveButton = buttons->addButton(tr("Save..."), QDialogButtonBox::ActionRole);
    saveButton->setObjectName(QStringLiteral("Cmd_SaveLog"));
    connect(saveButton, &QPushButton::clicked, this, &frmRipLog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 520);
}

void frmRipLog::save() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Save Rip Log"), folder + QStringLiteral("/rip.log"),
                                     tr("Log files (*.log);;Text files (*.txt)"));
    if (!path.isEmpty())
        SaveTo(path);
}

bool frmRipLog::SaveTo(const QString &path) {
    QSaveFile file(path);
    const QByteArray bytes = Txt_Log->toPlainText().toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    ShowMessage(tr("The log cannot be saved to %1:\n%2").arg(path, file.errorString()), MsgExclamation);
    return false;
}

} // namespace tv

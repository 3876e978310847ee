#include "MessageBox.h"

#include "Config.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tv {

namespace {
MessageHandler gHandler; // UI thread only
}

void SetMessageHandler(MessageHandler handler) { gHandler = std::move(handler); }

int ShowMessage(const QString &prompt, int style, const QString &title) {
    if (gHandler)
        return gHandler(prompt, style, title);

    QMessageBox box(QApplication::activeWindow());
    box.setText(prompt);
    box.setWindowTitle(title.isEmpty() ? Config().productName : title);
    switch (style & 0x70) {
    case MsgCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (style & 0x0F) {
    case MsgOkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgYesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return AnsYes;
    case QMessageBox::No:
        return AnsNo;
    case QMessageBox::Cancel:
        return AnsCancel;
    default:
        return (style & 0x0F) == MsgYesNo ? AnsNo : AnsOk;
    }
}

} // namespace tv

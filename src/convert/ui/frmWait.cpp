#include "frmWait.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

frmWait::frmWait(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(tr("Please wait"));
    setModal(false);
    setMinimumWidth(420);

    auto *layout = new QVBoxLayout(this);
    lbl_Msg = new QLabel(this);
    lbl_Msg->setObjectName(QStringLiteral("lbl_Msg"));
    QFont bold = lbl_Msg->font();
    bold.setBold(true);
    lbl_Msg->setFont(bold);
    layout->addWidget(lbl_Msg);

    lbl_FileNumber = new QLabel(this);
    lbl_FileNumber->setObjectName(QStringLiteral("lbl_FileNumber"));
    layout->addWidget(lbl_FileNumber);

    lbl_FileName = new QLabel(this);
    lbl_FileName->setObjectName(QStringLiteral("lbl_FileName"));
    // Long names are cut at the end instead of widening the window.
    lbl_FileName->setMinimumWidth(1);
    lbl_FileName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(lbl_FileName);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    layout->addWidget(ProgressBar1);

    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    Cmd_Cancel = new QPushButton(tr("Cancel"), this);
    Cmd_Cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
    Cmd_Cancel->setAutoDefault(false);
    connect(Cmd_Cancel, &QPushButton::clicked, this, &frmWait::cancel);
    buttons->addWidget(Cmd_Cancel);
    layout->addLayout(buttons);
}

void frmWait::ShowMode(int mode) {
    m_mode = mode;
    m_cancelRequested = false;
    lbl_FileNumber->clear();
    lbl_FileName->clear();
    ProgressBar1->setRange(0, 0);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Cmd_Cancel->setEnabled(true);

    bool texts = true;
    bool cancelable = true;
    bool bar = true;
    switch (mode) {
    case Closing:
        lbl_Msg->setText(QStringLiteral("Closing..."));
        cancelable = false;
        break;
    case Finalizing:
        lbl_Msg->setText(QStringLiteral("Finalizing Progress..."));
        break;
    case Decoding:
        lbl_Msg->clear();
        texts = false;
        break;
    case Loading:
        lbl_Msg->setText(QStringLiteral("Loading..."));
        cancelable = false;
        bar = false;
        break;
    default:
        lbl_Msg->clear();
        break;
    }
    lbl_Msg->setVisible(texts);
    lbl_FileNumber->setVisible(mode == PrepareFiles);
    lbl_FileName->setVisible(mode == PrepareFiles);
    ProgressBar1->setVisible(bar);
    m_cancelable = cancelable;
    Cmd_Cancel->setVisible(cancelable);
    adjustSize();
    show();
    raise();
}

void frmWait::setMessage(const QString &text) {
    lbl_Msg->setText(text);
    lbl_Msg->setVisible(!text.isEmpty());
}

void frmWait::setFileNumber(int number, int total) {
    lbl_FileNumber->setText(QString::number(number) + QStringLiteral(" of ") + QString::number(total) +
                            QStringLiteral(" files"));
}

void frmWait::setFileName(const QString &name) {
    lbl_FileName->setText(name);
}

void frmWait::setProgressMaximum(int maximum) {
    ProgressBar1->setRange(0, qMax(0, maximum));
}

void frmWait::setProgressValue(int value) {
    ProgressBar1->setValue(value);
}

void frmWait::setProgressPercent(int percent) {
    ProgressBar1->setVisible(true);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(percent);
    ProgressBar1->setFormat(QString::number(percent) + QStringLiteral(" %"));
    ProgressBar1->setTextVisible(true);
}

int frmWait::progressValue() const {
    return ProgressBar1->value();
}

void frmWait::cancel() {
    if (!m_cancelable || m_cancelRequested)
        return;
    m_cancelRequested = true;
    Cmd_Cancel->setEnabled(false);
    emit canceled();
}

void frmWait::reject() {
    cancel();
}

void frmWait::closeEvent(QCloseEvent *event) {
    // The window goes away when its owner hides it; the close box only cancels.
    cancel();
    event->ignore();
}

} // namespace tv

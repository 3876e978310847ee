#include "frmBurnErase.h"

#include "BurnListModel.h"
#include "DiscWriter.h"
#include "ImageStore.h"
#include "MessageBox.h"
#include "frmBurnDisc.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

frmBurnErase::frmBurnErase(frmBurnDisc *burner)
    : QDialog(burner), m_burner(burner), m_writer(burner->writer()) {
    setObjectName(BurnerName(burner->kind()) + QStringLiteral("_Erase"));
    setWindowTitle(QStringLiteral("Erase disc"));
    setWindowIcon(ThemeIcon(QStringLiteral("img_cdburn_erase.png")));
    setModal(true);
    setMinimumWidth(460);
    auto *layout = new QVBoxLayout(this);
    lbl_Status = new QLabel(tr("Choose how the disc is to be erased."), this);
    lbl_Status->setObjectName(QStringLiteral("lbl_Status"));
    layout->addWidget(lbl_Status);
    const char *captions[] = {"Quick Erase", "Full Erase"};
    const char *details[] = {"Makes the disc blank in a minute or two",
                             "Overwrites the whole disc; takes longer"};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(ThemeIcon(QStringLiteral("img_cdburn_erase.png")),
                                       tr(captions[i]) + QLatin1Char('\n') + tr(details[i]), this);
        button->setObjectName(QStringLiteral("Cmd_EraseStyle(%1)").arg(i));
        button->setIconSize(QSize(32, 32));
        button->setMinimumHeight(52);
        button->setAutoDefault(false);
        m_styles.insert(i, button);
        connect(button, &QPushButton::clicked, this, [this, i]() { Cmd_EraseStyle_Click(i); });
        layout->addWidget(button);
    }
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setFormat(QString());
    layout->addWidget(ProgressBar1);
    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    Cmd_Close = new QPushButton(tr("Close"), this);
    Cmd_Close->setObjectName(QStringLiteral("Cmd_Close"));
    Cmd_Close->setAutoDefault(false);
    connect(Cmd_Close, &QPushButton::clicked, this, &frmBurnErase::reject);
    buttons->addWidget(Cmd_Close);
    layout->addLayout(buttons);
    connect(m_writer, &DiscWriter::OperationProgress, this, &frmBurnErase::OperationProgress);
    connect(m_writer, &DiscWriter::ErrorEx, this, &frmBurnErase::ErrorEx);
}

void frmBurnErase::Cmd_EraseStyle_Click(int index) {
    for (QPushButton *button : std::as_const(m_styles))
        button->setEnabled(false);
    Cmd_Close->setEnabled(false);
    m_erasing = true;
    lbl_Status->setText(tr("Erasing the disc... Please wait"));
    // A DVD written over in place has no blank state: its sessions are deleted.
    const bool inPlace = m_burner->kind() != BurnKind::AudioCD && m_writer->medium().overwritable;
    const int result = inPlace ? m_burner->DeleteAllSessions() : m_writer->Erase(index == 0);
    if (result != 0 && m_erasing) {
        resetWindow();
        QDialog::reject();
    }
}

void frmBurnErase::OperationProgress(int percent) {
    if (!m_erasing)
        return;
    // 99 stays off the bar: the drive reports it long before it has finished.
    if (percent != 99) {
        ProgressBar1->setValue(percent);
        ProgressBar1->setFormat(QString::number(percent) + QStringLiteral(" %"));
    }
    if (percent < 100)
        return;
    m_erasing = false;
    accept();
}

void frmBurnErase::ErrorEx(int code, const QString &message) {
    if (!m_erasing)
        return;
    if (code != BurnNoDrive && code != BurnAborted)
        ShowMessage(message, MsgExclamation, windowTitle());
    resetWindow();
    QDialog::reject();
}

void frmBurnErase::resetWindow() {
    m_erasing = false;
    for (QPushButton *button : std::as_const(m_styles))
        button->setEnabled(true);
    Cmd_Close->setEnabled(true);
    ProgressBar1->setValue(0);
    ProgressBar1->setFormat(QString());
}

void frmBurnErase::reject() {
    if (!m_erasing)
        QDialog::reject();
}

} // namespace tv

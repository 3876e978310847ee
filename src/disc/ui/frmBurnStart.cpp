#include "frmBurnStart.h"

#include "AudioImage.h"
#include "BurnListModel.h"
#include "DiscWriter.h"
#include "ImageStore.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "TimeFormat.h"
#include "frmBurnDisc.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

frmBurnStart::frmBurnStart(frmBurnDisc *burner)
    : QDialog(burner), m_burner(burner), m_writer(burner->writer()) {
    setObjectName(BurnerName(burner->kind()) + QStringLiteral("_Start"));
    setWindowTitle(burner->windowTitle());
    setModal(true);
    setMinimumWidth(520);
    const bool audio = burner->kind() == BurnKind::AudioCD;

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout();
    PicRotate = new QLabel(this);
    PicRotate->setObjectName(QStringLiteral("PicRotate"));
    PicRotate->setFixedSize(56, 56);
    top->addWidget(PicRotate);
    auto *texts = new QVBoxLayout();
    lbl_Status = new QLabel(this);
    lbl_Status->setObjectName(QStringLiteral("lbl_Status"));
    QFont bold = lbl_Status->font();
    bold.setBold(true);
    lbl_Status->setFont(bold);
    texts->addWidget(lbl_Status);
    lbl_FileName = new QLabel(this);
    lbl_FileName->setObjectName(QStringLiteral("lbl_FileName"));
    lbl_FileName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    texts->addWidget(lbl_FileName);
    top->addLayout(texts, 1);
    lblTime = new QLabel(QStringLiteral("00:00:00"), this);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    top->addWidget(lblTime, 0, Qt::AlignTop);
    layout->addLayout(top);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setFormat(QString());
    layout->addWidget(ProgressBar1);

    auto *options = new QGridLayout();
    options->addWidget(new QLabel(tr("Speed:"), this), 0, 0);
    Cmb_BurnSpeed = new QComboBox(this);
    Cmb_BurnSpeed->setObjectName(QStringLiteral("Cmb_BurnSpeed"));
    options->addWidget(Cmb_BurnSpeed, 0, 1);
    int row = 1;
    if (!IsDvdKind(burner->kind())) {
        chkFinalizeCD = new QCheckBox(tr("Finalize CD (no more sessions can be added)"), this);
        chkFinalizeCD->setObjectName(QStringLiteral("chkFinalizeCD"));
        chkFinalizeCD->setChecked(true);
        options->addWidget(chkFinalizeCD, row++, 0, 1, 2);
    }
    if (!audio) {
        options->addWidget(new QLabel(tr("Disc label:"), this), row, 0);
        Txt_DiscLabel = new QLineEdit(this);
        Txt_DiscLabel->setObjectName(QStringLiteral("Txt_DiscLabel"));
        Txt_DiscLabel->setText(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        options->addWidget(Txt_DiscLabel, row, 1);
    }
    options->setColumnStretch(1, 1);
    layout->addLayout(options);

    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    Cmd_StartBurn = new QPushButton(ThemeIcon(QStringLiteral("img_cd_burn.png")), tr("Start"), this);
    Cmd_StartBurn->setObjectName(QStringLiteral("Cmd_StartBurn"));
    Cmd_StartBurn->setProperty("tag", QStringLiteral("Start"));
    Cmd_StartBurn->setAutoDefault(false);
    Cmd_StartBurn->setMinimumWidth(110);
    connect(Cmd_StartBurn, &QPushButton::clicked, this, &frmBurnStart::Cmd_StartBurn_Click);
    buttons->addWidget(Cmd_StartBurn);
    Cmd_Close = new QPushButton(tr("Close"), this);
    Cmd_Close->setObjectName(QStringLiteral("Cmd_Close"));
    Cmd_Close->setAutoDefault(false);
    connect(Cmd_Close, &QPushButton::clicked, this, &frmBurnStart::reject);
    buttons->addWidget(Cmd_Close);
    layout->addLayout(buttons);

    Timer_Rotate = new QTimer(this);
    Timer_Rotate->setObjectName(QStringLiteral("Timer_Rotate"));
    Timer_Rotate->setInterval(100);
    connect(Timer_Rotate, &QTimer::timeout, this, &frmBurnStart::rotate);
    rotate();

    connect(m_writer, &DiscWriter::speedProgress, this, [this](int percent) {
        if (m_detecting)
            ProgressBar1->setValue(percent);
    });
    connect(m_writer, &DiscWriter::speedsDetected, this, [this](const QVector<double> &speeds) {
        if (!m_detecting)
            return;
        m_detecting = false;
        for (const double speed : speeds) {
            const QString text = IsDvdKind(m_burner->kind()) ? DvdSpeedText(speed) : CdSpeedText(int(speed));
            Cmb_BurnSpeed->addItem(text, speed);
        }
        lbl_Status->setText(QStringLiteral("Ready"));
        ProgressBar1->setValue(0);
        if (Cmb_BurnSpeed->count() > 0)
            Cmb_BurnSpeed->setCurrentIndex(0);
        Cmd_StartBurn->setEnabled(true);
    });
    connect(m_writer, &DiscWriter::OperationProgress, this, &frmBurnStart::OperationProgress);
    connect(m_writer, &DiscWriter::ErrorEx, this, &frmBurnStart::ErrorEx);
    connect(m_writer, &DiscWriter::operationEnded, this, [this](int code) {
        if (code != 0 && m_writing)
            resetWindow();
    });
    LoadSpeedCombo();
}

void frmBurnStart::LoadSpeedCombo() {
    Cmd_StartBurn->setEnabled(false);
    lbl_Status->setText(IsDvdKind(m_burner->kind())
                            ? QStringLiteral("Detecting DVD burn speed... Please wait")
                            : QStringLiteral("Detecting CD burn speed... Please wait"));
    Cmb_BurnSpeed->clear();
    ProgressBar1->setValue(0);
    m_detecting = true;
    m_writer->DetectSpeeds();
}

void frmBurnStart::rotate() {
    // The disc turns while it is written.
    m_angle = (m_angle + 30) % 360;
    const int side = PicRotate->width();
    QPixmap frame(side * devicePixelRatio(), side * devicePixelRatio());
    frame.setDevicePixelRatio(devicePixelRatio());
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(side / 2.0, side / 2.0);
    painter.rotate(m_angle);
    painter.drawPixmap(QRect(-side / 2, -side / 2, side, side),
                       ThemePixmap(QStringLiteral("img_cdburn_empty.png"), QSize(side, side)));
    painter.end();
    PicRotate->setPixmap(frame);
    if (m_writing)
        lblTime->setText(FormatClock(m_started.secsTo(QDateTime::currentDateTime())));
}

QString frmBurnStart::ChooseImageFile() {
    const bool audio = m_burner->kind() == BurnKind::AudioCD;
    QFileDialog dialog(this, tr("Write the disc into an image file"), Folders().outputFolder,
                       audio ? tr("Cue sheet with its BIN file (*.cue)") : tr("ISO image (*.iso)"));
    dialog.setObjectName(QStringLiteral("dlgSaveDiscImage"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(audio ? QStringLiteral("cue") : QStringLiteral("iso"));
    QString name = audio ? QStringLiteral("Audio CD") : DiscLabelText(Txt_DiscLabel->text());
    if (name.isEmpty())
        name = QStringLiteral("Data Disc");
    dialog.selectFile(name + (audio ? QStringLiteral(".cue") : QStringLiteral(".iso")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    QString path = dialog.selectedFiles().constFirst();
    if (audio) {
        path = CuePathOfImage(path);
        // The dialog asked about the sheet; the BIN beside it is asked about here.
        const QString bin = BinPathOfCue(path);
        if (QFileInfo::exists(bin) && !QFileInfo::exists(path) &&
            ShowMessage(bin + QStringLiteral(" already exists.\nDo you want to replace it?"),
                        MsgYesNo | MsgQuestion, windowTitle()) != AnsYes)
            return QString();
    }
    return path;
}

void frmBurnStart::Cmd_StartBurn_Click() {
    if (Cmd_StartBurn->property("tag").toString() == QLatin1String("Cancel"))
        cancelBurn();
    else
        Start();
}

void frmBurnStart::Start() {
    if (!m_burner->DiscWritable())
        return;
    Cmd_Close->setEnabled(false);
    Cmd_StartBurn->setEnabled(false);
    m_error = false;
    m_errorCode = 0;
    QString target;
    if (m_writer->isImageRecorder()) {
        target = ChooseImageFile();
        if (target.isEmpty()) {
            resetWindow();
            return;
        }
        m_writer->SetImageTarget(target, true);
    }
    m_writer->SetFinalize(chkFinalizeCD && chkFinalizeCD->isChecked());
    m_writer->SetSpeed(Cmb_BurnSpeed->count() > 0 ? Cmb_BurnSpeed->currentData().toDouble() : kFallbackSpeed);
    if (Txt_DiscLabel)
        m_writer->SetVolumeLabel(DiscLabelText(Txt_DiscLabel->text()));
    lbl_Status->setText(QStringLiteral("Start writing CD... Please wait"));
    lbl_FileName->setText(target.isEmpty() ? m_writer->drive()->description : QFileInfo(target).fileName());
    m_started = QDateTime::currentDateTime();
    Cmd_StartBurn->setText(tr("Cancel"));
    Cmd_StartBurn->setProperty("tag", QStringLiteral("Cancel"));
    m_writing = true;
    Timer_Rotate->start();
    if (m_writer->Write() != 0 || m_error)
        resetWindow();
}

void frmBurnStart::cancelBurn() {
    if (ShowMessage(QStringLiteral("Burning is not completed!\nAre you sure you want to terminate it ?"),
                    MsgYesNo | MsgQuestion, windowTitle()) != AnsYes)
        return;
    Cmd_StartBurn->setText(tr("Start"));
    Cmd_StartBurn->setProperty("tag", QStringLiteral("Start"));
    lbl_Status->setText(QStringLiteral("Canceling..."));
    m_writer->Abort();
    resetWindow();
}

QString frmBurnStart::closingText() const {
    return chkFinalizeCD && chkFinalizeCD->isChecked() ? QStringLiteral("Closing the CD disc... Please wait")
                                                       : QStringLiteral("Closing the session... Please wait");
}

void frmBurnStart::OperationProgress(int percent) {
    if (!m_writing)
        return;
    ProgressBar1->setValue(percent);
    ProgressBar1->setFormat(QString::number(percent) + QStringLiteral(" %"));
    if (percent >= 2)
        Cmd_StartBurn->setEnabled(true);
    // The last percent is the drive closing the disc or its session.
    if (percent >= 99)
        lbl_Status->setText(closingText());
    if (percent < 100)
        return;
    Cmd_StartBurn->setEnabled(false);
    resetWindow();
    accept();
}

void frmBurnStart::ErrorEx(int code, const QString &message) {
    m_errorCode = code;
    m_error = true;
    if (code == BurnNoDrive || code == BurnAborted)
        return;
    ShowMessage(message, MsgExclamation, m_burner->windowTitle());
    resetWindow();
    reject();
}

void frmBurnStart::resetWindow() {
    Timer_Rotate->stop();
    m_writing = false;
    lbl_FileName->clear();
    lblTime->setText(QStringLiteral("00:00:00"));
    Cmd_StartBurn->setText(tr("Start"));
    Cmd_StartBurn->setProperty("tag", QStringLiteral("Start"));
    Cmd_StartBurn->setEnabled(!m_detecting);
    Cmd_Close->setEnabled(true);
    m_burner->CalcCDSpace();
    ProgressBar1->setValue(0);
    ProgressBar1->setFormat(QString());
    if (!m_detecting && lbl_Status->text() != QLatin1String("Canceling..."))
        lbl_Status->setText(QStringLiteral("Ready"));
}

void frmBurnStart::reject() {
    // Escape and the close box do nothing while the disc is written: Cancel asks first.
    if (m_writing)
        return;
    QDialog::reject();
}

void frmBurnStart::closeEvent(QCloseEvent *event) {
    if (m_writing) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace tv

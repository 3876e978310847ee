#include "BurnWindowDriver.h"

#include "frmBurnDisc.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace tv::test {

void BurnThroughWindows(frmBurnDisc &burner, BurnAnswers &answers) {
    bool started = false;
    bool cancelled = false;
    QWidget *answered = nullptr;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        const QString name = modal->objectName();
        if (!answers.seen.contains(name))
            answers.seen << name;
        if (name.endsWith(QLatin1String("_Start"))) {
            auto *speeds = modal->findChild<QComboBox *>(QStringLiteral("Cmb_BurnSpeed"));
            auto *start = modal->findChild<QPushButton *>(QStringLiteral("Cmd_StartBurn"));
            const QString tag = start->property("tag").toString();
            if (!started && start->isEnabled() && tag == QLatin1String("Start")) {
                started = true;
                answers.speeds = speeds->count();
                answers.firstSpeed = speeds->itemText(0);
                if (!answers.label.isNull())
                    modal->findChild<QLineEdit *>(QStringLiteral("Txt_DiscLabel"))->setText(answers.label);
                // Clicks run after this timer's call: a timer does not fire inside its own call,
                // and Start opens dialogs that must be answered.
                QMetaObject::invokeMethod(start, &QPushButton::click, Qt::QueuedConnection);
            } else if (started && !cancelled && answers.writing && start->isEnabled() &&
                       tag == QLatin1String("Cancel")) {
                cancelled = true;
                QMetaObject::invokeMethod(
                    modal, [&answers, modal]() { answers.writing(static_cast<QDialog *>(modal)); },
                    Qt::QueuedConnection);
            } else if (cancelled && tag == QLatin1String("Start")) {
                auto *close = modal->findChild<QPushButton *>(QStringLiteral("Cmd_Close"));
                if (close->isEnabled()) {
                    answers.statusAfterCancel =
                        modal->findChild<QLabel *>(QStringLiteral("lbl_Status"))->text();
                    QMetaObject::invokeMethod(close, &QPushButton::click, Qt::QueuedConnection);
                }
            }
        } else if (name == QLatin1String("dlgSaveDiscImage") && modal != answered) {
            answered = modal;
            auto *dialog = static_cast<QFileDialog *>(modal);
            // The name is typed: selectFile leaves a focused name box as it is.
            dialog->setDirectory(QFileInfo(answers.imagePath).absolutePath());
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(QFileInfo(answers.imagePath).fileName());
            static_cast<QDialog *>(dialog)->accept();
        } else if (name == QLatin1String("frmMsg")) {
            answers.message = modal->findChild<QLabel *>(QStringLiteral("lbl_ConversionCompleted"))->text();
            QMetaObject::invokeMethod(modal->findChild<QPushButton *>(QStringLiteral("Cmd_Msg(2)")),
                                      &QPushButton::click, Qt::QueuedConnection);
        }
    });
    poll.start(20);
    burner.Cmd_Panel(2)->click();
    poll.stop();
}

} // namespace tv::test

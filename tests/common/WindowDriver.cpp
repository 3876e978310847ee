#include "WindowDriver.h"

#include "MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>

namespace tv::test {

void OnNextModal(QObject *context, const std::function<void(QWidget *)> &handle) {
    QTimer::singleShot(0, context, [handle]() {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        handle(dialog);
    });
}

void AnswerNextDialog(QObject *context, const QList<QPair<QString, QString>> &boxes, const QString &button) {
    OnNextModal(context, [boxes, button](QWidget *dialog) {
        for (const auto &[name, text] : boxes) {
            auto *box = Find<QLineEdit>(dialog, name);
            QVERIFY(box);
            box->clear();
            TypeKeys(box, text);
        }
        if (button == QLatin1String("Escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else if (button == QLatin1String("Enter"))
            QTest::keyClick(dialog->findChild<QLineEdit *>(boxes.last().first), Qt::Key_Return);
        else
            Push(dialog, button)->click();
    });
}

void TypeKeys(QWidget *widget, const QString &text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QWidget *VisibleWindow(const QString &objectName) {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == objectName && w->isVisible())
            return w;
    }
    return nullptr;
}

MessageRecorder::MessageRecorder(int answer) : answer(answer) {
    SetMessageHandler([this](const QString &prompt, int style, const QString &title) {
        texts << title + "|" + prompt;
        styles << style;
        return this->answer;
    });
}

MessageRecorder::~MessageRecorder() {
    SetMessageHandler({});
}

DialogCloser::DialogCloser(const std::function<void(QWidget *)> &answer) {
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, [this, answer]() {
        if (QPointer<QWidget> modal = QApplication::activeModalWidget()) {
            seen << modal->objectName();
            if (answer)
                answer(modal);
            if (modal && modal->isVisible())
                QMetaObject::invokeMethod(modal, "reject");
        }
        if (QWidget *report = answer ? nullptr : VisibleWindow("frmReportList")) {
            seen << report->objectName();
            report->close();
        }
    });
    m_timer.start();
}

} // namespace tv::test

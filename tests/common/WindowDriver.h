#pragma once
// Driving windows the way a user does: controls found by their names, the next modal dialog
// answered, the program's messages recorded and answered, and the dialogs a batch ends with
// closed as they appear.

#include <QList>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace tv::test {

// The child of parent with that object name; a warning names it when it is missing.
template <class T = QWidget> T *Find(const QObject *parent, const QString &name) {
    T *child = parent->findChild<T *>(name);
    if (!child)
        qWarning() << "no control" << name;
    return child;
}
inline QPushButton *Push(const QObject *parent, const QString &name) {
    return Find<QPushButton>(parent, name);
}

// Calls handle with the next modal window as soon as it is shown; the caller then does what
// opens it (which blocks until the handler closes it).
void OnNextModal(QObject *context, const std::function<void(QWidget *)> &handle);

// Fills the named boxes of the next modal dialog key by key (so key filters see every
// character), then presses the named button, "Enter" in the last box, or "Escape".
void AnswerNextDialog(QObject *context, const QList<QPair<QString, QString>> &boxes,
                      const QString &button = QStringLiteral("Enter"));

// Types text key by key into a widget, non-Latin letters included.
void TypeKeys(QWidget *widget, const QString &text);

// The visible top-level window of that object name, if there is one (e.g. "frmReportList").
QWidget *VisibleWindow(const QString &objectName);

// Records every message the program shows as "title|prompt", with its style, and answers it.
class MessageRecorder {
public:
    explicit MessageRecorder(int answer);
    ~MessageRecorder();
    void clear() {
        texts.clear();
        styles.clear();
    }
    QStringList texts;
    QList<int> styles;
    int answer;
};

// Answers every modal dialog as it appears, noting their names: with the given function (the
// dialog is rejected afterwards if it is still open), or by rejecting it and closing the report
// window (the dialogs a batch ends with).
class DialogCloser : public QObject {
public:
    explicit DialogCloser(const std::function<void(QWidget *)> &answer = {});
    // Whether a dialog came and was answered within 15 seconds.
    bool waitForOne() {
        return QTest::qWaitFor([this]() { return !seen.isEmpty(); }, 15000);
    }
    QStringList seen;

private:
    QTimer m_timer;
};

} // namespace tv::test

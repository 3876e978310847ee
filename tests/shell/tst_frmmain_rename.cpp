// Renaming outputs from the main window's menus, and the conversion writing those names.
#include "Config.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "MediaGen.h"
#include "MediaItem.h"
#include "OutputFolders.h"
#include "TestEnv.h"
#include "frmMain.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace tv;

namespace {

// Types into the box of the next dialog and accepts it (or presses Escape).
void AnswerNextDialog(QObject *context, const QString &box, const QString &text, bool accept = true) {
    QTimer::singleShot(0, context, [box, text, accept]() {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        auto *edit = dialog->findChild<QLineEdit *>(box);
        QVERIFY(edit);
        edit->setText(text);
        if (accept)
            QTest::keyClick(edit, Qt::Key_Return);
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
    });
}

QStringList Names(frmMain &w) {
    QStringList names;
    for (int row = 0; row < w.fileList()->list()->rowCount(); ++row)
        names << w.fileList()->list()->item(row, Item::Name);
    return names;
}

} // namespace

class FrmMainRenameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        LoadFolders();
    }

    void rulesFromBothMenusRenameTheRowsAndTheOutputs() {
        const QString in = test::Home().path() + "/in/";
        for (const char *name : {"alpha song", "BETA", "gamma"})
            QVERIFY(test::GenerateTone(in + name + ".wav", 1.2));
        frmMain w({});
        QVERIFY(w.Form_Load());
        w.show();
        for (const char *name : {"alpha song", "BETA", "gamma"})
            w.importFile(in + name + ".wav");

        w.findChild<QAction *>("mnuRenameAll2(1)")->trigger();
        QCOMPARE(Names(w), (QStringList{"Alpha Song", "Beta", "Gamma"}));
        w.findChild<QAction *>("mnuRenameAll(4)")->trigger();
        QCOMPARE(Names(w), (QStringList{"ALPHA SONG", "BETA", "GAMMA"}));

        AnswerNextDialog(this, "Txt_Number", "7");
        w.findChild<QAction *>("mnuRenameAll(5)")->trigger();
        QCOMPARE(Names(w), (QStringList{"7", "8", "9"}));

        AnswerNextDialog(this, "Txt_AddBefore", " Track_ "); // kept trimmed
        w.findChild<QAction *>("mnuRenameAll2(7)")->trigger();
        QCOMPARE(Names(w), (QStringList{"Track_7", "Track_8", "Track_9"}));

        // A cancelled dialog changes nothing.
        AnswerNextDialog(this, "Txt_AddAfter", " (live)", false);
        w.findChild<QAction *>("mnuRenameAll(8)")->trigger();
        QCOMPARE(Names(w), (QStringList{"Track_7", "Track_8", "Track_9"}));

        w.fileList()->selectRow(1);
        AnswerNextDialog(this, "Txt_AddNew", "My own name");
        w.findChild<QAction *>("mnuFileList(8)")->trigger();
        QCOMPARE(Names(w).at(1), QStringLiteral("My own name"));

        // The outputs carry the new names, inside the output folder.
        const QString out = test::Home().path() + "/renamed/";
        QDir().mkpath(out);
        w.findChild<QLineEdit *>("Txt_OutputPath")->setText(out);
        QSignalSpy completed(&w, &frmMain::batchCompleted);
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, []() {
            if (QWidget *modal = QApplication::activeModalWidget())
                QMetaObject::invokeMethod(modal, "reject");
        });
        closer.start(20);
        w.Cmd_FileListView(3)->click();
        QVERIFY(completed.wait(60000));
        QStringList written = QDir(out).entryList(QDir::Files);
        written.sort();
        QCOMPARE(written, (QStringList{"My own name.MP3", "Track_7.MP3", "Track_9.MP3"}));

        // Reset all changes brings back the input names.
        w.findChild<QAction *>("mnuRenameAll2(11)")->trigger();
        QCOMPARE(Names(w), (QStringList{"alpha song", "BETA", "gamma"}));
    }
};

TV_TEST_MAIN(FrmMainRenameTest)
#include "tst_frmmain_rename.moc"

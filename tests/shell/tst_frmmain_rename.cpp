// Renaming outputs from the main window's menus, and the conversion writing those names.
#include "MainWindowDriver.h"
#include "MediaGen.h"
#include "TestEnv.h"

#include <QAction>

using namespace tv;
using namespace tv::test;

namespace {

QStringList Names(const frmMain &w) {
    QStringList names;
    for (int row = 0; row < w.fileList()->list()->rowCount(); ++row)
        names << ListItem(w, row, Item::Name);
    return names;
}

} // namespace

class FrmMainRenameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { PrepareMainWindowTests(); }

    void rulesFromBothMenusRenameTheRowsAndTheOutputs() {
        const QString in = Home().path() + "/in/";
        for (const char *name : {"alpha song", "BETA", "gamma"})
            QVERIFY(GenerateTone(in + name + ".wav", 1.2));
        const QString out = Home().path() + "/renamed/";
        auto w = StartMainWindow(out);
        QVERIFY(w);
        for (const char *name : {"alpha song", "BETA", "gamma"})
            w->importFile(in + name + ".wav");
        auto rule = [&w](const QString &entry) { w->findChild<QAction *>(entry)->trigger(); };

        rule("mnuRenameAll2(1)");
        QCOMPARE(Names(*w), (QStringList{"Alpha Song", "Beta", "Gamma"}));
        rule("mnuRenameAll(4)");
        QCOMPARE(Names(*w), (QStringList{"ALPHA SONG", "BETA", "GAMMA"}));
        AnswerNextDialog(this, {{"Txt_Number", "7"}});
        rule("mnuRenameAll(5)");
        QCOMPARE(Names(*w), (QStringList{"7", "8", "9"}));
        AnswerNextDialog(this, {{"Txt_AddBefore", " Track_ "}}); // kept trimmed
        rule("mnuRenameAll2(7)");
        QCOMPARE(Names(*w), (QStringList{"Track_7", "Track_8", "Track_9"}));
        // A cancelled dialog changes nothing.
        AnswerNextDialog(this, {{"Txt_AddAfter", " (live)"}}, "Escape");
        rule("mnuRenameAll(8)");
        QCOMPARE(Names(*w), (QStringList{"Track_7", "Track_8", "Track_9"}));
        w->fileList()->selectRow(1);
        AnswerNextDialog(this, {{"Txt_AddNew", "My own name"}});
        rule("mnuFileList(8)");
        QCOMPARE(Names(*w).at(1), QStringLiteral("My own name"));

        // The outputs carry the new names, inside the output folder.
        {
            DialogCloser closer;
            QVERIFY(RunBatch(*w));
        }
        QStringList written = QDir(out).entryList(QDir::Files);
        written.sort();
        QCOMPARE(written, (QStringList{"My own name.mp3", "Track_7.mp3", "Track_9.mp3"}));

        // Reset all changes brings back the input names.
        rule("mnuRenameAll2(11)");
        QCOMPARE(Names(*w), (QStringList{"alpha song", "BETA", "gamma"}));
    }
};

TV_TEST_MAIN(FrmMainRenameTest)
#include "tst_frmmain_rename.moc"

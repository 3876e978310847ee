// The main window's output-folder row, its file list buttons, panels and renaming menus, and
// what its unload leaves behind.
#include "FileImporter.h"
#include "FolderOpener.h"
#include "InputInfoPanel.h"
#include "MainWindowDriver.h"

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

class FrmMainTest : public QObject {
    Q_OBJECT
private:
    QList<QPair<QString, bool>> m_opened;

private Q_SLOTS:
    void initTestCase() {
        QDir().mkpath(Home().path() + "/Music");
        PrepareMainWindowTests();
        SetFolderOpenerBackend([this](const QString &path, bool select) { m_opened.append({path, select}); });
    }

    void theOutputFolderRowTakesTypedAndBrowsedFoldersAndOpensThem() {
        auto w = StartMainWindow();
        QVERIFY(w);
        auto *box = Find<QLineEdit>(w.get(), "Txt_OutputPath");
        QCOMPARE(box->text(), Home().path() + "/Music/");

        box->setFocus();
        box->setText(Home().path() + "/out");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->text(), Home().path() + "/out/");

        // Browse: a cancelled picker changes nothing, a chosen folder is shown and remembered.
        const QString chosen = Home().path() + "/Chosen ü";
        QVERIFY(QDir().mkpath(chosen));
        AnswerFolderPicker(this, QString());
        w->Cmd_FileListView(7)->click();
        QCOMPARE(box->text(), Home().path() + "/out/");
        AnswerFolderPicker(this, chosen);
        w->Cmd_FileListView(7)->click();
        QCOMPARE(box->text(), chosen + "/");
        QCOMPARE(ReadSetting("OutputPath"), chosen + "/");
        m_opened.clear();
        w->Cmd_FileListView(5)->click();
        QCOMPARE(m_opened, (QList<QPair<QString, bool>>{{chosen + "/", false}}));
    }

    void openFolderOffersToCreateAMissingFolder() {
        const QString missing = Home().path() + "/to be made/deep";
        MessageRecorder asked(AnsNo);
        m_opened.clear();
        OpenFolder(nullptr, missing, false, true);
        QCOMPARE(asked.texts,
                 QStringList{"|Folder  '" + missing + "'  does not exist.\n\nDo you want to create it?"});
        QVERIFY(m_opened.isEmpty());
        QVERIFY(!QFileInfo::exists(missing));

        asked.answer = AnsYes;
        OpenFolder(nullptr, missing, false, true);
        QVERIFY(QFileInfo(missing).isDir());
        QCOMPARE(m_opened.size(), 1);

        // Without the offer nothing is asked and the desktop is simply asked to show it.
        OpenFolder(nullptr, missing + "/nope", true, false);
        QCOMPARE(asked.texts.size(), 2);
        QCOMPARE(m_opened.last(), qMakePair(missing + "/nope", true));
    }

    void theListButtonsImportRemoveAndAddFilesAndThePanelFollows() {
        auto w = StartMainWindow();
        auto *list = w->findChild<FileListView *>("FileViewMain");
        auto *info = w->findChild<InputInfoPanel *>("GroupBox_InputInfo");
        QVERIFY(list && info);
        // The list on the left of the body, the information on the right.
        QVERIFY(list->mapTo(w.get(), QPoint(0, 0)).x() < info->mapTo(w.get(), QPoint(0, 0)).x());

        const QString folder = Home().path() + "/list";
        QVERIFY(GenerateTone(folder + "/first.wav", 1.2));
        QVERIFY(GenerateTone(folder + "/second.mp3", 2.2));
        QSignalSpy finished(w->fileImporter(), &FileImporter::importFinished);
        w->fileImporter()->ImportDroppedPaths({folder});
        // No second import, no removal and no conversion while one runs.
        QVERIFY(!w->Cmd_FileListView(0)->isEnabled());
        QVERIFY(!w->Cmd_FileListView(3)->isEnabled());
        QVERIFY(finished.wait(30000));
        QVERIFY(w->Cmd_FileListView(0)->isEnabled());
        QVERIFY(w->Cmd_FileListView(3)->isEnabled());
        QCOMPARE(list->list()->rowCount(), 2);
        list->selectRow(1);
        QCOMPARE(info->lbl_InputFileValue(1)->text(), QStringLiteral("00:00:02"));

        w->Cmd_FileListView(1)->click();
        QCOMPARE(list->list()->rowCount(), 1);
        w->Cmd_FileListView(2)->click();
        QCOMPARE(list->list()->rowCount(), 0);
        QCOMPARE(info->lbl_InputFileValue(1)->text(), QString());

        Folders().inputFolder = folder + "/";
        QString start;
        OnNextModal(this, [&start](QWidget *dialog) {
            start = qobject_cast<QFileDialog *>(dialog)->directory().absolutePath();
            QCOMPARE(dialog->objectName(), QStringLiteral("dlgOpenFiles"));
            QMetaObject::invokeMethod(dialog, "reject");
        });
        w->Cmd_FileListView(0)->click();
        QCOMPARE(start, folder);
    }

    void unloadEmptiesTheTemporaryFolderAndClearsHandles() {
        WriteSetting("WinTagInfo", "12345");
        {
            frmMain w({});
            w.Form_Load();
            QCOMPARE(ReadSetting("WinTagInfo"), QString());
            WriteSetting("WinTagInfo", "12345");
            const QString leftover = WriteFile(Paths().tempFolder + "thumbnail_ABC.bmp");
            const QString hidden = WriteFile(Paths().tempFolder + ".hidden");
            w.close();
            QVERIFY(!QFile::exists(leftover));
            QVERIFY(!QFile::exists(hidden));
            QVERIFY(w.isUnloading());
        }
        QVERIFY(QFileInfo(Paths().tempFolder).isDir());
        QCOMPARE(ReadSetting("WinTagInfo"), QString());
        QCOMPARE(ReadSetting("WinInfo"), QString());
    }

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
        AnswerNextDialog(this, {{"Txt_AddAfter", " (live)"}}, "Escape");
        rule("mnuRenameAll(8)");
        QCOMPARE(Names(*w), (QStringList{"Track_7", "Track_8", "Track_9"}));
        w->fileList()->selectRow(1);
        AnswerNextDialog(this, {{"Txt_AddNew", "My own name"}});
        rule("mnuFileList(8)");
        QCOMPARE(Names(*w).at(1), QStringLiteral("My own name"));

        {
            DialogCloser closer;
            QVERIFY(RunBatch(*w));
        }
        QStringList written = QDir(out).entryList(QDir::Files);
        written.sort();
        QCOMPARE(written, (QStringList{"My own name.mp3", "Track_7.mp3", "Track_9.mp3"}));

        rule("mnuRenameAll2(11)");
        QCOMPARE(Names(*w), (QStringList{"alpha song", "BETA", "gamma"}));
    }
};

TV_TEST_MAIN(FrmMainTest)
#include "tst_frmmain.moc"

// The main window's output-folder row, its menu, and what its unload leaves behind.
#include "Config.h"
#include "FileImporter.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "InputInfoPanel.h"
#include "MediaGen.h"
#include "FolderOpener.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "Settings.h"
#include "TestEnv.h"
#include "frmMain.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace tv;

class FrmMainTest : public QObject {
    Q_OBJECT
private:
    QList<QPair<QString, bool>> m_opened;

    // Answers the next modal folder picker with a folder (or cancels it with an empty one).
    void answerFolderPicker(const QString &folder) {
        QTimer::singleShot(0, this, [folder]() {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QStringLiteral("dlgBrowseFolder"));
            if (folder.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(folder);
            dialog->selectFile(folder);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        QDir().mkpath(test::Home().path() + "/Music");
        LoadFolders();
        SetFolderOpenerBackend([this](const QString &path, bool select) { m_opened.append({path, select}); });
    }

    void loadShowsTheRememberedOutputFolder() {
        frmMain w({});
        QVERIFY(w.Form_Load());
        auto *box = w.findChild<QLineEdit *>("Txt_OutputPath");
        QVERIFY(box);
        QCOMPARE(box->text(), test::Home().path() + "/Music/");
        QVERIFY(w.findChild<QMenu *>("mnuMenu"));
        QVERIFY(w.findChild<QAction *>("mnuMenu(16)"));
    }

    void leavingTheFolderBoxAddsTheSlash() {
        frmMain w({});
        w.Form_Load();
        w.show();
        auto *box = w.findChild<QLineEdit *>("Txt_OutputPath");
        box->setFocus();
        box->setText(test::Home().path() + "/out");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->text(), test::Home().path() + "/out/");
    }

    void browseStoresTheChosenFolder() {
        frmMain w({});
        w.Form_Load();
        w.show();
        auto *box = w.findChild<QLineEdit *>("Txt_OutputPath");
        const QString chosen = test::Home().path() + "/Chosen ü";
        QVERIFY(QDir().mkpath(chosen));

        answerFolderPicker(QString());
        w.findChild<QPushButton *>("Cmd_FileListView(7)")->click();
        QCOMPARE(box->text(), test::Home().path() + "/Music/");

        answerFolderPicker(chosen);
        w.findChild<QPushButton *>("Cmd_FileListView(7)")->click();
        QCOMPARE(box->text(), chosen + "/");
        QCOMPARE(ReadSetting("OutputPath"), chosen + "/");
        LoadFolders();
        QCOMPARE(Folders().outputFolder, chosen + "/");
    }

    void openOutputFolderShowsTheBoxFolder() {
        frmMain w({});
        w.Form_Load();
        m_opened.clear();
        w.findChild<QPushButton *>("Cmd_FileListView(5)")->click();
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.first().first, w.findChild<QLineEdit *>("Txt_OutputPath")->text());
        QCOMPARE(m_opened.first().second, false);
    }

    void openFolderOffersToCreateAMissingFolder() {
        const QString missing = test::Home().path() + "/to be made/deep";
        QStringList asked;
        int answer = AnsNo;
        SetMessageHandler([&](const QString &prompt, int, const QString &) {
            asked << prompt;
            return answer;
        });
        m_opened.clear();
        OpenFolder(nullptr, missing, false, true);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first(), "Folder  '" + missing + "'  does not exist.\n\nDo you want to create it?");
        QVERIFY(m_opened.isEmpty());
        QVERIFY(!QFileInfo::exists(missing));

        answer = AnsYes;
        OpenFolder(nullptr, missing, false, true);
        QVERIFY(QFileInfo(missing).isDir());
        QCOMPARE(m_opened.size(), 1);

        // Without the offer nothing is asked and the desktop is simply asked to show it.
        OpenFolder(nullptr, missing + "/nope", true, false);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(m_opened.last(), qMakePair(missing + "/nope", true));
        SetMessageHandler({});
    }

    void fileListButtonsAndPanels() {
        frmMain w({});
        w.Form_Load();
        w.show();
        QCOMPARE(w.Cmd_FileListView(0)->text(), QStringLiteral("Add Files"));
        QCOMPARE(w.Cmd_FileListView(1)->text(), QStringLiteral("Remove"));
        QCOMPARE(w.Cmd_FileListView(2)->text(), QStringLiteral("Remove All"));
        for (int index : {0, 1, 2})
            QVERIFY(!w.Cmd_FileListView(index)->icon().isNull());
        auto *list = w.findChild<FileListView *>("FileViewMain");
        auto *info = w.findChild<InputInfoPanel *>("GroupBox_InputInfo");
        QVERIFY(list && info);
        // The list on the left of the body, the information on the right.
        QVERIFY(list->mapTo(&w, QPoint(0, 0)).x() < info->mapTo(&w, QPoint(0, 0)).x());
        // The toolbar begins with the three buttons, in their order.
        QVERIFY(w.Cmd_FileListView(0)->x() < w.Cmd_FileListView(1)->x());
        QVERIFY(w.Cmd_FileListView(1)->x() < w.Cmd_FileListView(2)->x());

        const QString folder = test::Home().path() + "/list";
        QVERIFY(test::GenerateTone(folder + "/first.wav", 1.2));
        QVERIFY(test::GenerateTone(folder + "/second.mp3", 2.2));
        QSignalSpy finished(w.fileImporter(), &FileImporter::importFinished);
        w.fileImporter()->ImportDroppedPaths({folder});
        // No second import and no removal while one runs.
        QVERIFY(!w.Cmd_FileListView(0)->isEnabled());
        QVERIFY(finished.wait(30000));
        QVERIFY(w.Cmd_FileListView(0)->isEnabled());
        QCOMPARE(list->list()->rowCount(), 2);
        QCOMPARE(info->lbl_InputFileValue(0)->text(), QStringLiteral("WAV audio"));
        QCOMPARE(info->lbl_InputFileValue(1)->text(), QStringLiteral("00:00:01"));
        list->selectRow(1);
        QCOMPARE(info->lbl_InputFileValue(1)->text(), QStringLiteral("00:00:02"));

        w.Cmd_FileListView(1)->click();
        QCOMPARE(list->list()->rowCount(), 1);
        w.Cmd_FileListView(2)->click();
        QCOMPARE(list->list()->rowCount(), 0);
        QCOMPARE(info->lbl_InputFileValue(1)->text(), QString());

        // Add Files opens the open-file dialog in the remembered input folder.
        Folders().inputFolder = folder + "/";
        QTimer::singleShot(0, this, []() {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QStringLiteral("dlgOpenFiles"));
            dialog->reject();
        });
        w.Cmd_FileListView(0)->click();
    }

    void unloadEmptiesTheTemporaryFolderAndClearsHandles() {
        WriteSetting("WinTagInfo", "12345");
        {
            frmMain w({});
            w.Form_Load();
            QCOMPARE(ReadSetting("WinTagInfo"), QString());
            WriteSetting("WinTagInfo", "12345");
            const QString leftover = test::WriteFile(Paths().tempFolder + "thumbnail_ABC.bmp");
            const QString hidden = test::WriteFile(Paths().tempFolder + ".hidden");
            w.close();
            QVERIFY(!QFile::exists(leftover));
            QVERIFY(!QFile::exists(hidden));
            QVERIFY(w.isUnloading());
        }
        QVERIFY(QFileInfo(Paths().tempFolder).isDir());
        QCOMPARE(ReadSetting("WinTagInfo"), QString());
        QCOMPARE(ReadSetting("WinInfo"), QString());
    }
};

TV_TEST_MAIN(FrmMainTest)
#include "tst_frmmain.moc"

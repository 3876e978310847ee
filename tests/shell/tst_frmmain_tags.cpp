// The tag editor in the real main window: opened from the information panel and the list's
// pop-up, its edits reaching the converted output (checked with ffprobe) while the input stays
// as it was, and only a look at the tags while a batch is under way.
#include "MainWindowDriver.h"
#include "MediaGen.h"
#include "MessageBox.h"
#include "PictureDialogs.h"
#include "PowerOff.h"
#include "TestEnv.h"
#include "frmTagEditor.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

using namespace tv;
using namespace tv::test;

namespace {

// The size of the attached picture ffprobe finds in a file.
QSize CoverSize(const QJsonObject &probe) {
    for (const QJsonValue &stream : probe.value("streams").toArray()) {
        const QJsonObject s = stream.toObject();
        if (s.value("disposition").toObject().value("attached_pic").toInt() == 1)
            return QSize(s.value("width").toInt(), s.value("height").toInt());
    }
    return QSize();
}

frmTagEditor *OpenEditor(frmMain &w) {
    for (auto *editor : w.findChildren<frmTagEditor *>()) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

} // namespace

class FrmMainTagsTest : public QObject {
    Q_OBJECT

    QString m_in;
    QString m_picture;
    MessageRecorder m_messages{AnsNo};

private Q_SLOTS:
    void initTestCase() {
        PrepareMainWindowTests();
        m_in = test::Home().path() + "/in/";
        m_picture = m_in + "pictures/new cover.png";
        QVERIFY(test::GeneratePicture(m_in + "old cover.png", 64, 64));
        QVERIFY(test::GeneratePicture(m_picture, 100, 50));
        QVERIFY(test::GenerateTaggedTone(
            m_in + "tagged.mp3", 2.0,
            {"title=Old Title", "artist=The Band", "album=First Light", "date=2021", "genre=Folk", "track=3"},
            m_in + "old cover.png", {"-id3v2_version", "3"}));
        QVERIFY(test::GenerateTaggedTone(m_in + "plain.flac", 2.0, {"title=Plain"}));
        QVERIFY(test::GenerateTone(m_in + "long.flac", 30.0));
        SetPictureDialogBackend(
            [this](QWidget *, PictureDialogKind, const QString &, int *) { return m_picture; });
        SetPowerOffBackend([](int, const QString &) {
            qFatal("no test may power the machine off");
            return false;
        });
    }

    void init() { m_messages.clear(); }

    void editedTagsReachTheOutputThePopupOpensTheFocusedRowAndABatchOnlyShowsThem() {
        const QString out = test::Home().path() + "/out1/";
        auto w = StartMainWindow(out);
        QVERIFY(w);
        const QString input = m_in + "tagged.mp3";
        const QByteArray inputBytes = ReadFile(input);
        w->importFile(input);
        QCOMPARE(w->fileList()->list()->rowCount(), 1);

        auto *moreInfo = w->findChild<QPushButton *>("Cmd_MoreInfo");
        QVERIFY(moreInfo && moreInfo->isEnabled());
        moreInfo->click();
        frmTagEditor *editor = OpenEditor(*w);
        QVERIFY(editor);
        QVERIFY(editor->isModal());
        auto *title = editor->findChild<QLineEdit *>("TextTitle");
        QCOMPARE(title->text(), QStringLiteral("Old Title"));
        title->setFocus();
        title->selectAll();
        QTest::keyClicks(title, "Edited Title");
        QTest::mouseClick(editor->findChild<QLabel *>("TagImg"), Qt::LeftButton);
        QCOMPARE(editor->findChild<QLabel *>("lbl_ImageSize")->text(),
                 QStringLiteral("Image Size : 100 x 50"));
        editor->Cmd_Properties(4)->click();
        editor->Cmd_Properties(0)->click();
        QTRY_VERIFY(!OpenEditor(*w));
        QVERIFY(m_messages.texts.isEmpty()); // applied: nothing left to ask about

        QCOMPARE(ListItem(*w, 0, Item::TagTitle), QStringLiteral("Edited Title"));
        QCOMPARE(ReadFile(input), inputBytes);

        {
            DialogCloser closer;
            QVERIFY(RunBatch(*w));
        }
        const QString output = ListItem(*w, 0, Item::ConvertedFileName);
        QVERIFY2(output.startsWith(out) && QFile::exists(output), qPrintable(output));
        const QJsonObject probe = test::FFprobe(output);
        QCOMPARE(test::FFprobeTag(probe, "title"), QStringLiteral("Edited Title"));
        QCOMPARE(test::FFprobeTag(probe, "artist"), QStringLiteral("The Band"));
        QCOMPARE(test::FFprobeTag(probe, "album"), QStringLiteral("First Light"));
        QCOMPARE(CoverSize(probe), QSize(100, 50));
        QCOMPARE(ReadFile(input), inputBytes);
        QVERIFY(m_messages.texts.isEmpty());

        // The list's pop-up entry opens the focused row, in the same window.
        w->fileList()->RemoveAllFiles();
        w->importFile(m_in + "tagged.mp3");
        w->importFile(m_in + "plain.flac");
        FileListView *list = w->fileList();
        auto *entry = list->mnuFileLists()->findChild<QAction *>("mnuFileList(11)");
        QVERIFY(entry);
        list->setCurrentIndex(list->list()->index(1, 1));
        entry->trigger();
        editor = OpenEditor(*w);
        QVERIFY(editor);
        QCOMPARE(editor->findChild<QLabel *>("lbl_SelectedFileIndex")->text(), QStringLiteral("2 of 2"));
        QCOMPARE(editor->findChild<QLineEdit *>("TextTitle")->text(), QStringLiteral("Plain"));
        QVERIFY(editor->Cmd_Properties(4)->isEnabled());
        editor->Cmd_Properties(0)->click();
        QTRY_VERIFY(!OpenEditor(*w));

        // While a batch is paused the tags are only shown: its outputs take them as jobs end.
        w->importFile(m_in + "long.flac");
        QSignalSpy completed(w.get(), &frmMain::batchCompleted);
        w->Cmd_FileListView(3)->click();
        QTRY_VERIFY(w->Cmd_FileListView(4)->isEnabled()); // the batch has started
        w->Cmd_FileListView(3)->click();
        QCOMPARE(w->conversionState(), frmMain::Paused);
        // The batch's start cleared the information panel; a row chosen shows again.
        list->setCurrentIndex(QModelIndex());
        list->setCurrentIndex(list->list()->index(2, 1));
        QVERIFY(w->findChild<QPushButton *>("Cmd_MoreInfo")->isEnabled());
        w->findChild<QPushButton *>("Cmd_MoreInfo")->click();
        editor = OpenEditor(*w);
        QVERIFY(editor);
        // (What the read-only view allows is the editor's own test.)
        QVERIFY(editor->findChild<QLabel *>("lbl_ReadOnly")->isVisible());
        editor->Cmd_Properties(0)->click();
        QTRY_VERIFY(!OpenEditor(*w));
        {
            DialogCloser closer;
            // Stopped jobs may all end while the Stop button is still handling its click.
            w->Cmd_FileListView(4)->click();
            QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 1, 60000);
        }

        // With the list emptied there is nothing to show.
        w->fileList()->RemoveAllFiles();
        QVERIFY(!w->findChild<QPushButton *>("Cmd_MoreInfo")->isEnabled());
        emit list->mnuFileLists()->aboutToShow();
        QVERIFY(!entry->isEnabled());
    }
};

TV_TEST_MAIN(FrmMainTagsTest)
#include "tst_frmmain_tags.moc"

// The file list as the user sees it: columns, the progress cell, keyboard, renaming in place,
// the pop-up menu and the input information panel.
#include "Config.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FolderOpener.h"
#include "InputInfoPanel.h"
#include "OutputFolders.h"
#include "RowStatus.h"
#include "TestEnv.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using namespace tv;

namespace {

MediaItem Row(const QString &name, const QString &seconds, const QString &thumbnail = QString()) {
    MediaItem item;
    item[Item::Name] = name;
    item[Item::Format] = "MP3";
    item[Item::Duration] = "00:00:0" + seconds.left(1);
    item[Item::FileName] = name + ".mp3";
    item[Item::FilePath] = "/music/";
    item[Item::FileDurationInMs] = seconds;
    item[Item::FileType] = "AUDIO";
    item[Item::Thumbnail] = thumbnail;
    item[Item::AudioCodecName] = "MP3 (MPEG audio layer 3)";
    item[Item::AudioSampleRate] = "44100";
    item[Item::AudioBitRate] = "320000";
    item[Item::AudioChannels] = "2";
    item[Item::VideoWidth] = "-1";
    item[Item::VideoHeight] = "-1";
    item[Item::VideoSampleAspectRatio] = "1";
    return item;
}

bool IsColour(const QColor &c, const QColor &wanted) {
    return qAbs(c.red() - wanted.red()) < 8 && qAbs(c.green() - wanted.green()) < 8 &&
           qAbs(c.blue() - wanted.blue()) < 8;
}

} // namespace

class FileListViewTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<FileListPanel> m_panel;
    std::unique_ptr<InputInfoPanel> m_info;
    FileListView *m_view = nullptr;
    FileListModel *m_model = nullptr;
    bool m_busy = false;

    QString thumbnail(const QString &name) {
        return test::WriteFile(Paths().tempFolder + "thumbnail_" + name + ".bmp");
    }

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        LoadFolders();
    }

    void init() {
        m_panel = std::make_unique<FileListPanel>();
        m_view = m_panel->view();
        m_model = m_view->list();
        m_info = std::make_unique<InputInfoPanel>();
        connect(m_view, &FileListView::showInputInfoRequested, m_info.get(),
                [this](int row) { m_info->ShowInputInfo(m_model, row); });
        m_busy = false;
        m_view->setConversionBusyTest([this]() { return m_busy; });
        m_panel->resize(900, 400);
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
    }

    void cleanup() {
        m_info.reset();
        m_panel.reset();
    }

    void onlyFiveColumnsShowAndTheProgressCellIsDrawnFromTheCell() {
        for (int column = 0; column < m_model->columnCount(); ++column)
            QCOMPARE(m_view->isColumnHidden(column), column >= 5);
        m_model->appendItem(Row("one", "2.00"));
        m_model->appendItem(Row("two", "2.00"));
        // The progress column takes the width the others leave; the cell follows it.
        const int width = m_view->columnWidth(4);
        m_view->verticalHeader()->setDefaultSectionSize(20);
        m_view->ShowRowProgress(0, 4, 37);
        const RowProgressCell cell = m_model->rowProgress(0);
        QCOMPARE(cell.width, width + 2);
        QCOMPARE(cell.height, 18);
        m_view->ShowRowProgress(-1, 4, 50);
        m_view->ShowRowProgress(1, -1, 50);
        QVERIFY(!m_model->hasRowProgress(1));
        m_view->ShowRowProgress(1, 4, 0);

        const QImage picture = m_view->viewport()->grab().toImage();
        const int left = m_view->columnViewportPosition(4);
        const int middle = m_view->rowViewportPosition(0) + 10;
        // Blue bar, then the light grey rest of the cell.
        QVERIFY(IsColour(picture.pixelColor(left + 3, middle), QColor("#007AFF")));
        QVERIFY(IsColour(picture.pixelColor(left + cell.bar - 2, m_view->rowViewportPosition(0) + 2),
                         QColor("#007AFF")));
        QVERIFY(IsColour(picture.pixelColor(left + cell.bar + 4, middle), QColor("#ebebeb")));
        QVERIFY(IsColour(picture.pixelColor(left + width - 2, middle), QColor("#ebebeb")));
        // The white figure sits inside the bar only.
        int white = 0;
        for (int x = left; x < left + cell.bar; ++x) {
            for (int y = middle - 6; y <= middle + 6; ++y)
                white += picture.pixelColor(x, y).lightness() > 240 ? 1 : 0;
        }
        QVERIFY(white > 5);
        // At 0 % the row shows the grey track and no bar, no figure.
        const int second = m_view->rowViewportPosition(1) + 10;
        for (int x = left; x < left + width - 2; x += 7)
            QVERIFY(IsColour(picture.pixelColor(x, second), QColor("#ebebeb")));
    }

    void keyboardRemovesAndToggles() {
        const QString t1 = thumbnail("KEY000001");
        const QString t2 = thumbnail("KEY000002");
        // A picture outside the temporary folder is never deleted.
        const QString foreign = test::WriteFile(test::Home().path() + "/pictures/cover.jpg");
        m_model->appendItem(Row("a", "1.00", t1));
        m_model->appendItem(Row("b", "2.00", t2));
        m_model->appendItem(Row("c", "3.00", foreign));
        m_view->UpdateListFooters();
        QSignalSpy toggled(m_view, &FileListView::togglePlayerRequested);
        QSignalSpy stopped(m_view, &FileListView::stopPlayerRequested);
        QSignalSpy state(m_view, &FileListView::listStateChanged);

        m_view->setFocus();
        m_view->selectRow(1);
        QTest::keyClick(m_view, Qt::Key_Space);
        QCOMPARE(toggled.size(), 1);
        // While converting the shortcuts do nothing.
        m_busy = true;
        QTest::keyClick(m_view, Qt::Key_Delete);
        QTest::keyClick(m_view, Qt::Key_Space);
        QCOMPARE(m_model->rowCount(), 3);
        QCOMPARE(toggled.size(), 1);
        m_busy = false;

        QTest::keyClick(m_view, Qt::Key_Delete);
        QCOMPARE(m_model->rowCount(), 2);
        QCOMPARE(m_model->item(1, Item::Name), QStringLiteral("c"));
        QTRY_VERIFY(!QFile::exists(t2));
        QVERIFY(QFile::exists(t1));
        QCOMPARE(m_model->footerText(1), QStringLiteral("2 files"));
        QCOMPARE(stopped.size(), 1);
        QVERIFY(!m_info->lbl_InputFileValue(7)->text().isEmpty());

        QTest::keyClick(m_view, Qt::Key_Delete, Qt::ShiftModifier);
        // The simulated release leaves Shift held for the application; let go of it.
        QTest::keyRelease(m_view, Qt::Key_Shift);
        QCOMPARE(m_model->rowCount(), 0);
        QTRY_VERIFY(!QFile::exists(t1));
        QVERIFY(QFile::exists(foreign));
        QCOMPARE(m_model->footerText(1), QStringLiteral("0 file"));
        // Removing the last row clears the information panel.
        QCOMPARE(m_info->lbl_InputFileValue(7)->text(), QString());
        QCOMPARE(state.size(), 1);
        QCOMPARE(state.first().first().toBool(), false);
    }

    void theNameIsEditedInPlaceOnlyInTheSelectedRowAndNeverWhileConverting() {
        m_model->appendItem(Row("first", "2.00"));
        m_model->appendItem(Row("second", "2.00"));
        QSignalSpy stopped(m_view, &FileListView::stopPlayerRequested);
        m_view->selectRow(0);
        // Only in the only selected row, and never while converting.
        m_busy = true;
        m_view->edit(m_model->index(0, 1));
        QVERIFY(!m_view->findChild<QLineEdit *>("Txt_RenameInPlace"));
        m_busy = false;
        m_view->selectAll();
        m_view->edit(m_model->index(0, 1));
        QVERIFY(!m_view->findChild<QLineEdit *>("Txt_RenameInPlace"));

        m_view->selectRow(1);
        const QRect cell = m_view->visualRect(m_model->index(1, 1));
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cell.center());
        QLineEdit *editor = nullptr;
        QTRY_VERIFY((editor = m_view->findChild<QLineEdit *>("Txt_RenameInPlace")) && editor->isVisible());
        QCOMPARE(stopped.size(), 1);
        editor->selectAll();
        QTest::keyClicks(editor, "Live/Take: 2");
        QCOMPARE(editor->text(), QStringLiteral("LiveTake 2"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(m_model->item(1, Item::Name), QStringLiteral("LiveTake 2"));
        QTRY_VERIFY(!m_model->renameEnabled());

        // An emptied name goes back to the file's base name.
        m_view->edit(m_model->index(1, 1));
        QTRY_VERIFY((editor = m_view->findChild<QLineEdit *>("Txt_RenameInPlace")) && editor->isVisible());
        editor->setText("   ");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(m_model->item(1, Item::Name), QStringLiteral("second"));

        // A click on a row that was not selected only selects it.
        QTRY_VERIFY(!m_view->findChild<QLineEdit *>("Txt_RenameInPlace") ||
                    !m_view->findChild<QLineEdit *>("Txt_RenameInPlace")->isVisible());
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {},
                          m_view->visualRect(m_model->index(0, 1)).center());
        QCOMPARE(m_view->selectedRowNumbers(), QList<int>{0});
        QVERIFY(!m_model->renameEnabled());
    }

    void thePopupMenuShowsTheFileAndOffersNoRemovingWhileConverting() {
        QList<QPair<QString, bool>> opened;
        SetFolderOpenerBackend([&](const QString &path, bool select) { opened.append({path, select}); });
        m_model->appendItem(Row("a", "1.00"));
        m_model->appendItem(Row("b", "2.00"));
        QMenu *menu = m_view->mnuFileLists();
        auto *trim = new QAction("Trim...");
        m_view->addPopupEntry(3, trim);
        QStringList order;
        for (QAction *action : menu->actions())
            order << action->objectName();
        QCOMPARE(order,
                 (QStringList{"mnuFileList(1)", "mnuFileList(2)", "mnuFileList(3)", "mnuFileList(4)",
                              "mnuFileList(5)", "mnuFileList(6)", "mnuFileList(7)", "mnuFileList(10)"}));

        m_view->selectRow(1);
        const QPoint at = m_view->visualRect(m_model->index(1, 1)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, m_view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(m_view->viewport(), &event);
        QTRY_VERIFY(menu->isVisible());
        menu->findChild<QAction *>("mnuFileList(1)")->trigger();
        menu->hide();
        QCOMPARE(opened, (QList<QPair<QString, bool>>{{"/music/b.mp3", true}}));

        m_busy = true;
        QApplication::sendEvent(m_view->viewport(), &event);
        QVERIFY(!menu->findChild<QAction *>("mnuFileList(5)")->isEnabled());
        QVERIFY(!menu->findChild<QAction *>("mnuFileList(6)")->isEnabled());
        menu->hide();
        m_busy = false;
        QApplication::sendEvent(m_view->viewport(), &event);
        menu->hide();
        menu->findChild<QAction *>("mnuFileList(5)")->trigger();
        QCOMPARE(m_model->rowCount(), 1);
        menu->findChild<QAction *>("mnuFileList(6)")->trigger();
        QCOMPARE(m_model->rowCount(), 0);
        SetFolderOpenerBackend({});
    }

    void theInformationPanelGreysWhatIsNotAvailable() {
        MediaItem video = Row("clip", "2.00");
        video[Item::FileName] = "clip.mp4";
        video[Item::VideoWidth] = "1920";
        video[Item::VideoHeight] = "1080";
        video[Item::VideoBitRate] = "0";
        m_model->appendItem(Row("song", "2.00"));
        m_model->appendItem(video);
        m_view->selectRow(1);
        // The lines' texts are the media item's test; here the kind, the selection and the colours.
        QCOMPARE(m_info->lbl_InputFileValue(0)->text(), QStringLiteral("MPEG-4 video"));
        const QColor grey = m_info->palette().color(QPalette::Disabled, QPalette::WindowText);
        const QColor normal = m_info->palette().color(QPalette::Active, QPalette::ButtonText);
        QVERIFY(grey != normal);
        QCOMPARE(m_info->lbl_InputFileValue(4)->palette().color(QPalette::WindowText), grey);
        QCOMPARE(m_info->lbl_InputFileValue(3)->palette().color(QPalette::WindowText), normal);

        m_view->selectRow(0);
        QCOMPARE(m_info->lbl_InputFileValue(0)->text(), QStringLiteral("MP3 audio"));
        QCOMPARE(m_info->lbl_InputFileValue(3)->palette().color(QPalette::WindowText), grey);
        m_info->ShowInputInfo(m_model, -1);
        for (int i = 0; i < 11; ++i)
            QCOMPARE(m_info->lbl_InputFileValue(i)->text(), QString());
    }
};

TV_TEST_MAIN(FileListViewTest)
#include "tst_filelistview.moc"

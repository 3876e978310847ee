// The search window's controls: the box fills the results and their count, the buttons follow
// the selection, and Enter and a double click choose while Cancel and Escape do not. (What a
// text finds is the preset search's own test; Return in the box choosing, the main window's.)
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "PresetSearch.h"
#include "TestEnv.h"
#include "frmSearch.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

using namespace tv;

namespace {

// A search window showing the results of a text, and what it chose.
struct Search {
    Search(const CatalogTable &presets, const QString &text)
        : window(presets), chosen(&window, &frmSearch::outputChosen) {
        window.show();
        box = window.findChild<QLineEdit *>("Txt_Search");
        view = window.findChild<QTableView *>("View_Found");
        QTest::keyClicks(box, text);
    }
    frmSearch window;
    QSignalSpy chosen;
    QLineEdit *box = nullptr;
    QTableView *view = nullptr;
};

} // namespace

class FrmSearchTest : public QObject {
    Q_OBJECT
private:
    CatalogTable m_presets;

private Q_SLOTS:
    void initTestCase() {
        for (const char *caption : {"Name", "ID", "Maker", "Keyword"})
            m_presets.addColumn(caption, 200);
        AddCatalogRow(m_presets, "High Quality//1//AudioFormat//MP3", 0, false);
        AddCatalogRow(m_presets, "iPhone Ringtone//2//DeviceFormat//iPhone", 0, false);
        AddCatalogRow(m_presets, "Lossless//3//AudioFormat//FLAC", 0, false);
    }

    void typingShowsResultsAndTheButtonsFollow() {
        Search search(m_presets, "audio");
        auto *count = search.window.findChild<QLabel *>("lbl_TotalPreset");
        auto *ok = search.window.findChild<QPushButton *>("Cmd_Panels(0)");
        auto *clear = search.window.findChild<QToolButton *>("Cmd_Search");
        QCOMPARE(search.view->model()->rowCount(), 2);
        QCOMPARE(count->text(), PresetCountText(2));
        QTRY_VERIFY(ok->isEnabled() && clear->isEnabled()); // the first result is selected
        QCOMPARE(search.view->selectionModel()->selectedRows().size(), 1);
        search.view->clearSelection();
        QTRY_VERIFY(!ok->isEnabled());
        clear->click();
        QCOMPARE(search.box->text(), QString());
        QCOMPARE(search.view->model()->rowCount(), 0);
        QTRY_VERIFY(!clear->isEnabled());
    }

    void enterAndDoubleClickChooseCancelAndEscapeDoNot() {
        {
            Search search(m_presets, "ring");
            search.view->setFocus();
            QTest::keyClick(search.view, Qt::Key_Enter);
            QCOMPARE(search.chosen.size(), 1);
            QCOMPARE(search.chosen.first(), QVariantList({"iPhone Ringtone", "DeviceFormat", "iPhone"}));
            QCOMPARE(search.window.result(), int(QDialog::Accepted));
            QVERIFY(!search.window.isVisible());
        }
        {
            Search search(m_presets, "high");
            const QRect cell = search.view->visualRect(search.view->model()->index(0, 1));
            // A double click is a press and release followed by a second press that doubles.
            QTest::mouseClick(search.view->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(search.view->viewport(), Qt::LeftButton, {}, cell.center());
            QCOMPARE(search.chosen.size(), 1);
            QCOMPARE(search.chosen.first().at(2).toString(), QStringLiteral("MP3"));
        }
        {
            Search search(m_presets, "high");
            search.window.findChild<QPushButton *>("Cmd_Panels(1)")->click();
            QCOMPARE(search.window.result(), int(QDialog::Rejected));
            search.window.show();
            QTest::keyClick(search.box, Qt::Key_Escape);
            QVERIFY(!search.window.isVisible());
            QCOMPARE(search.chosen.size(), 0);
        }
        {
            Search search(m_presets, "zzz"); // with nothing found, Enter does nothing
            QTest::keyClick(search.box, Qt::Key_Return);
            QCOMPARE(search.chosen.size(), 0);
            QVERIFY(search.window.isVisible());
        }
    }
};

TV_TEST_MAIN(FrmSearchTest)
#include "tst_frmsearch.moc"

// The search window: results as the user types, the count text, the buttons and the keys.
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "TestEnv.h"
#include "frmSearch.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>

using namespace tv;

class FrmSearchTest : public QObject {
    Q_OBJECT
private:
    CatalogTable m_presets;

private Q_SLOTS:
    void initTestCase() {
        for (const char *caption : {"Name", "ID", "Maker", "Keyword"})
            m_presets.addColumn(caption, 200);
        AddCatalogRow(m_presets, "[%Custom%]//C//AudioFormat//MP3", 0, false);
        AddCatalogRow(m_presets, "High Quality//1//AudioFormat//MP3", 0, false);
        AddCatalogRow(m_presets, "iPhone Ringtone//2//DeviceFormat//iPhone", 0, false);
        AddCatalogRow(m_presets, "Lossless//3//AudioFormat//FLAC", 0, false);
    }

    void typingShowsResultsAndTheirCount() {
        frmSearch search(m_presets);
        search.show();
        auto *box = search.findChild<QLineEdit *>("Txt_Search");
        auto *view = search.findChild<QTableView *>("View_Found");
        auto *count = search.findChild<QLabel *>("lbl_TotalPreset");
        auto *ok = search.findChild<QPushButton *>("Cmd_Panels(0)");
        auto *clear = search.findChild<QToolButton *>("Cmd_Search");
        QVERIFY(box && view && count && ok && clear);
        QTRY_VERIFY(!clear->isEnabled());
        QVERIFY(!ok->isEnabled());

        QTest::keyClicks(box, "   ");
        QCOMPARE(view->model()->rowCount(), 0);
        QCOMPARE(count->text(), QStringLiteral("0 preset"));
        QTRY_VERIFY(clear->isEnabled());

        box->clear();
        QTest::keyClicks(box, "iphone");
        QCOMPARE(count->text(), QStringLiteral("1 preset"));
        QTRY_VERIFY(ok->isEnabled());
        QCOMPARE(view->selectionModel()->selectedRows().size(), 1);

        box->setText("audio");
        QCOMPARE(count->text(), QStringLiteral("2 presets")); // not the custom placeholder
        QCOMPARE(view->model()->index(1, 0).data().toString(), QStringLiteral("Lossless"));

        view->clearSelection();
        QTRY_VERIFY(!ok->isEnabled());
        clear->click();
        QCOMPARE(box->text(), QString());
        QCOMPARE(view->model()->rowCount(), 0);
        QTRY_VERIFY(!clear->isEnabled());
    }

    void okEnterAndDoubleClickChooseCancelAndEscapeDoNot() {
        // A search window showing the results of a text, and what it chose.
        struct Search {
            explicit Search(const CatalogTable &presets, const QString &text)
                : window(presets), chosen(&window, &frmSearch::outputChosen) {
                window.show();
                box = window.findChild<QLineEdit *>("Txt_Search");
                box->setText(text);
                view = window.findChild<QTableView *>("View_Found");
            }
            frmSearch window;
            QSignalSpy chosen;
            QLineEdit *box = nullptr;
            QTableView *view = nullptr;
        };
        {
            Search search(m_presets, "loss");
            QTest::keyClick(search.box, Qt::Key_Return);
            QCOMPARE(search.chosen.size(), 1);
            QCOMPARE(search.chosen.first(), QVariantList({"Lossless", "AudioFormat", "FLAC"}));
            QCOMPARE(search.window.result(), int(QDialog::Accepted));
            QVERIFY(!search.window.isVisible());
        }
        {
            Search search(m_presets, "ring");
            search.view->setFocus();
            QTest::keyClick(search.view, Qt::Key_Enter);
            QCOMPARE(search.chosen.size(), 1);
            QCOMPARE(search.chosen.first().at(0).toString(), QStringLiteral("iPhone Ringtone"));
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
            QVERIFY(!search.window.isVisible());
            search.window.show();
            QTest::keyClick(search.box, Qt::Key_Escape);
            QVERIFY(!search.window.isVisible());
            QCOMPARE(search.chosen.size(), 0);
        }
        {
            // With nothing found, Enter does nothing.
            Search search(m_presets, "zzz");
            QTest::keyClick(search.box, Qt::Key_Return);
            QCOMPARE(search.chosen.size(), 0);
            QVERIFY(search.window.isVisible());
        }
    }
};

TV_TEST_MAIN(FrmSearchTest)
#include "tst_frmsearch.moc"

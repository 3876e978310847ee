// The main window's output panel as a user meets it: start-up, favorites across restarts and
// the search. (User presets across a restart are the settings window's test; damaged lines in
// their file the catalog start-up's.)
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "MainWindowDriver.h"
#include "OutputPanel.h"
#include "TestEnv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QToolButton>

using namespace tv;
using namespace tv::test;

class FrmMainOutputTest : public QObject {
    Q_OBJECT
private:
    static QComboBox *Chooser(const frmMain &w) { return w.findChild<QComboBox *>("Cmd_OutputPreset"); }
    static QToolButton *Tool(const frmMain &w, const QString &name) { return Find<QToolButton>(&w, name); }

private Q_SLOTS:
    void initTestCase() { PrepareMainWindowTests(); }

    void init() {
        QFile::remove(Paths().userFavoritesFile);
        QFile::remove(Paths().userPresetFile);
    }

    // (Which preset each button recommends is the shipped catalogs' test.)
    void startUpShowsTheAudioTabChoosesItsPresetOnceAndTheSearchChoosesAnother() {
        frmMain w({});
        QSignalSpy chosen(w.outputPanel(), &OutputPanel::presetChosen);
        QVERIFY(w.Form_Load());
        w.show();
        QVERIFY(Push(&w, "Cmd_PanelOutput(2)")->isChecked());
        QVERIFY(Tool(w, "Cmd_OutoutAudio(0)")->isChecked());
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(GetCatalogField(w.presetCatalog(), chosen.last().at(0).toInt(), "Name"),
                 Chooser(w)->currentText());
        QVERIFY(w.findChild<QCheckBox *>("Chk_Merge")->isVisible());

        // The search, in the same window: a device preset switches tab, maker and button.
        int target = 0;
        for (int row = 1; row <= w.presetCatalog().rows() && target == 0; ++row) {
            if (GetCatalogField(w.presetCatalog(), row, "Maker") == "DeviceFormat" &&
                GetCatalogField(w.presetCatalog(), row, "Name").contains("Ringtone"))
                target = row;
        }
        QVERIFY(target > 0);
        const QString name = GetCatalogField(w.presetCatalog(), target, "Name");
        const QString keyword = GetCatalogField(w.presetCatalog(), target, "Keyword");

        bool handled = false;
        OnNextModal(this, [&](QWidget *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("frmSearch"));
            auto *box = Find<QLineEdit>(dialog, "Txt_Search");
            box->setText(name);
            QTest::keyClick(box, Qt::Key_Return);
            handled = true;
        });
        Push(&w, "Cmd_FileListView(12)")->click();
        QVERIFY(handled);
        QVERIFY(Push(&w, "Cmd_PanelOutput(1)")->isChecked());
        QCOMPARE(w.outputPanel()->currentOutputKeyword(), keyword);
        QCOMPARE(Chooser(w)->currentText(), name);
    }

    // The favorite rules are the output panel's; here they outlive the window.
    void favoritesSurviveARestart() {
        QString name;
        {
            const auto window = StartMainWindow();
            frmMain &w = *window;
            Chooser(w)->setCurrentIndex(2);
            name = Chooser(w)->currentText();
            Push(&w, "Cmd_FileListView(10)")->click();
            w.close();
        }
        QVERIFY(QFileInfo(Paths().userFavoritesFile).isFile());
        {
            const auto window = StartMainWindow();
            frmMain &w = *window;
            QCOMPARE(w.favoritesCatalog().rows(), 1);
            Push(&w, "Cmd_PanelOutput(4)")->click();
            QVERIFY(Tool(w, "Cmd_Favorites(0)")->isChecked());
            QCOMPARE(Chooser(w)->currentText(), name);
            Push(&w, "Cmd_FileListView(10)")->click();
            w.close();
        }
        {
            frmMain w({});
            QVERIFY(w.Form_Load());
            QCOMPARE(w.favoritesCatalog().rows(), 0);
        }
    }
};

TV_TEST_MAIN(FrmMainOutputTest)
#include "tst_frmmain_output.moc"

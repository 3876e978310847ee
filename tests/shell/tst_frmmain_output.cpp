// The main window's output panel as a user meets it: start-up, favorites across restarts and
// the search. (User presets across a restart are the settings window's test; damaged lines in
// their file the catalog start-up's.)
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "Chooser.h"
#include "Config.h"
#include "MainWindowDriver.h"
#include "OutputFolders.h"
#include "OutputPanel.h"
#include "Settings.h"
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

    // The chooser entries of a button, straight from the catalog.
    static QStringList Entries(const frmMain &w, const QString &maker, const QString &keyword) {
        ChoiceList list;
        FillPresetChooser(w.presetCatalog(), maker, keyword, list);
        return list.entryTexts();
    }

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        // Closing the window here means ending the program, without the close dialog.
        WriteSetting("CloseEvent", "2");
        WriteSetting("CloseDontAskMe", "-1");
        LoadFolders();
    }

    void init() {
        QFile::remove(Paths().userFavoritesFile);
        QFile::remove(Paths().userPresetFile);
    }

    void startUpShowsTheAudioFormatsWithTheRecommendedPreset() {
        frmMain w({});
        QSignalSpy chosen(w.outputPanel(), &OutputPanel::presetChosen);
        QVERIFY(w.Form_Load());
        w.show();
        auto *presets = w.findChild<CatalogTable *>("ReportControl_PresetMain");
        QVERIFY(presets && presets->rows() > 0);

        QVERIFY(Push(&w, "Cmd_PanelOutput(2)")->isChecked());
        QToolButton *first = Tool(w, "Cmd_OutoutAudio(0)");
        QVERIFY(first && first->isChecked());
        const QStringList entries = Entries(w, "AudioFormat", first->text());
        QCOMPARE(entries.first(), kCustomPresetEntry);
        QCOMPARE(Chooser(w)->currentText(), entries.at(1));
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(GetCatalogField(*presets, chosen.last().at(0).toInt(), "Name"), entries.at(1));

        // Toolbar and output row controls.
        QVERIFY(Push(&w, "Cmd_FileListView(11)")->isEnabled());
        QVERIFY(Push(&w, "Cmd_FileListView(12)")->isEnabled());
        QVERIFY(w.findChild<QCheckBox *>("Chk_Merge")->isVisible());
    }

    // The favorite rules are the output panel's; here they outlive the window.
    void favoritesSurviveARestart() {
        QString name;
        {
            frmMain w({});
            QVERIFY(w.Form_Load());
            w.show();
            Chooser(w)->setCurrentIndex(2);
            name = Chooser(w)->currentText();
            Push(&w, "Cmd_FileListView(10)")->click();
            w.close();
        }
        QVERIFY(QFileInfo(Paths().userFavoritesFile).isFile());
        {
            frmMain w({});
            QVERIFY(w.Form_Load());
            w.show();
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

    void searchSelectsTheFoundPreset() {
        frmMain w({});
        QVERIFY(w.Form_Load());
        w.show();
        // A device preset: the search switches tab, maker and button.
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
            box->setText(name.toLower()); // any case finds it
            QCOMPARE(Find<QLabel>(dialog, "lbl_TotalPreset")->text(), QStringLiteral("1 preset"));
            QTest::keyClick(box, Qt::Key_Return);
            handled = true;
        });
        Push(&w, "Cmd_FileListView(12)")->click();
        QVERIFY(handled);
        QVERIFY(Push(&w, "Cmd_PanelOutput(1)")->isChecked());
        QCOMPARE(w.outputPanel()->currentOutputKeyword(), keyword);
        QCOMPARE(Chooser(w)->currentText(), name);
    }
};

TV_TEST_MAIN(FrmMainOutputTest)
#include "tst_frmmain_output.moc"

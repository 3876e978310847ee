// The output panel driven through its controls: tabs, keyword buttons, the preset chooser,
// remembered presets, the merge rule, the maker list and favorites; and the search window that
// finds its presets.
#include "CatalogFile.h"
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "MessageBox.h"
#include "OutputPanel.h"
#include "PresetSearch.h"
#include "TestEnv.h"
#include "WindowDriver.h"
#include "frmSearch.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

using namespace tv;

namespace {

const QStringList kColumns = {"Name", "ID", "Maker", "Keyword", "Format", "Thumbnail", "Removable"};

void Add(CatalogTable &table, const QString &name, const QString &id, const QString &maker,
         const QString &keyword) {
    AddCatalogRow(table,
                  QStringList({name, id, maker, keyword, keyword, "thumb_audio_mp3.png", "No"}).join("//"), 0,
                  false);
}

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

class OutputPanelTest : public QObject {
    Q_OBJECT
private:
    CatalogTable *m_presets = nullptr;
    CatalogTable *m_favorites = nullptr;
    OutputPanel *m_panel = nullptr;
    QWidget *m_window = nullptr;
    QPushButton *m_favoriteButton = nullptr;
    QPushButton *m_settingsButton = nullptr;
    QString m_favoritesFile;

    template <typename T> T *Control(const QString &name) const { return test::Find<T>(m_window, name); }
    QComboBox *Chooser() const { return Control<QComboBox>("Cmd_OutputPreset"); }
    QToolButton *Button(const QString &name) const { return Control<QToolButton>(name); }
    int Row(const QString &id) const { return FindCatalogRow(*m_presets, "ID", id); }

private Q_SLOTS:
    void init() {
        m_window = new QWidget();
        m_presets = new CatalogTable(m_window);
        m_favorites = new CatalogTable(m_window);
        for (const QString &caption : kColumns)
            m_presets->addColumn(caption, 200);
        Add(*m_presets, "[%Custom%]", "V-C", "VideoFormat", "MP4");
        Add(*m_presets, "MP4 recommended", "V-1", "VideoFormat", "MP4");
        Add(*m_presets, "GIF small", "V-2", "VideoFormat", "GIF");
        Add(*m_presets, "GIF big", "V-3", "VideoFormat", "GIF");
        Add(*m_presets, "[%Custom%]", "A-C", "AudioFormat", "MP3");
        Add(*m_presets, "MP3 256", "A-1", "AudioFormat", "MP3");
        Add(*m_presets, "MP3 128", "A-2", "AudioFormat", "MP3");
        Add(*m_presets, "MP3 64", "A-3", "AudioFormat", "MP3");
        Add(*m_presets, "[%Custom%]", "A-C2", "AudioFormat", "OGG");
        Add(*m_presets, "OGG 192", "A-4", "AudioFormat", "OGG");
        Add(*m_presets, "[%Custom%]", "D-C", "DeviceFormat", "Phone");
        Add(*m_presets, "Phone AAC", "D-1", "DeviceFormat", "Phone");
        Add(*m_presets, "[%Custom%]", "D-C2", "DeviceFormat", "Tablet");
        Add(*m_presets, "Tablet MP3", "D-2", "DeviceFormat", "Tablet");
        Add(*m_presets, "Car MP3", "O-1", "CarMakers", "Car");
        Add(*m_presets, "Car WMA", "O-2", "CarMakers", "Car");
        Add(*m_presets, "[%Custom%]", "W-C", "WebFormat", "HTML5");
        Add(*m_presets, "HTML5 OGG", "W-1", "WebFormat", "HTML5");
        Add(*m_presets, "HTML5 MP3", "W-2", "WebFormat", "HTML5");

        auto *layout = new QVBoxLayout(m_window);
        m_favoriteButton = new QPushButton(m_window);
        m_settingsButton = new QPushButton(m_window);
        m_panel = new OutputPanel(*m_presets, *m_favorites, m_window);
        layout->addWidget(m_favoriteButton);
        layout->addWidget(m_settingsButton);
        layout->addWidget(m_panel);
        m_panel->setToolbarButtons(m_favoriteButton, m_settingsButton);
        m_favoritesFile = test::Home().path() + "/fav/favorites.dat";
        QFile::remove(m_favoritesFile);
        m_panel->setFavoritesStorage(m_favoritesFile, 3);
        m_panel->setFormatSettingsAvailable(true);
        m_panel->BuildOutputButtons();
        m_window->show();
    }

    void cleanup() { delete m_window; }

    // (The list the settings window gets is the main window's settings test.)
    void buttonsSelectTheirRememberedPreset() {
        QSignalSpy chosen(m_panel, &OutputPanel::presetChosen);
        m_panel->SelectPanel(AudioTab);
        QVERIFY(Control<QPushButton>("Cmd_PanelOutput(2)")->isChecked());
        QVERIFY(Button("Cmd_OutoutAudio(0)")->isChecked());
        QCOMPARE(m_panel->currentOutputKeyword(), QStringLiteral("MP3"));
        QCOMPARE(Chooser()->currentText(), QStringLiteral("MP3 256")); // the second entry
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.last().at(0).toInt(), Row("A-1"));

        // The user picks another preset; the button remembers it.
        Chooser()->setCurrentIndex(3);
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen.last().at(0).toInt(), Row("A-3"));

        Button("Cmd_OutoutAudio(1)")->click();
        QVERIFY(Button("Cmd_OutoutAudio(1)")->isChecked() && !Button("Cmd_OutoutAudio(0)")->isChecked());
        QCOMPARE(Chooser()->currentText(), QStringLiteral("OGG 192"));

        // A click on the checked button changes nothing.
        const int before = static_cast<int>(chosen.size());
        Button("Cmd_OutoutAudio(1)")->click();
        QVERIFY(Button("Cmd_OutoutAudio(1)")->isChecked());
        QCOMPARE(chosen.size(), before);

        Button("Cmd_OutoutAudio(0)")->click();
        QCOMPARE(Chooser()->currentText(), QStringLiteral("MP3 64"));

        // Switching tabs comes back to the selected button and its remembered preset.
        Control<QPushButton>("Cmd_PanelOutput(3)")->click();
        QCOMPARE(m_panel->currentTab(), int(WebTab));
        QCOMPARE(Chooser()->currentText(), QStringLiteral("HTML5 MP3")); // the web tab's third entry
        Control<QPushButton>("Cmd_PanelOutput(2)")->click();
        QVERIFY(Button("Cmd_OutoutAudio(0)")->isChecked());
        QCOMPARE(Chooser()->currentText(), QStringLiteral("MP3 64"));
        QCOMPARE(chosen.last().at(0).toInt(), Row("A-3"));

        // Buttons without a custom placeholder first start at their first preset.
        Control<QPushButton>("Cmd_PanelOutput(0)")->click();
        QCOMPARE(Chooser()->currentText(), QStringLiteral("MP4 recommended"));
        Button("Cmd_OutoutFormat(1)")->click();
        QCOMPARE(Chooser()->currentText(), QStringLiteral("GIF small"));
    }

    void gifAndSwfRuleOutMerging() {
        QSignalSpy merge(m_panel, &OutputPanel::mergeAvailableChanged);
        m_panel->SelectPanel(VideoTab);
        QCOMPARE(merge.last().at(0).toBool(), true);
        Button("Cmd_OutoutFormat(1)")->click();
        QCOMPARE(Button("Cmd_OutoutFormat(1)")->text(), QStringLiteral("GIF"));
        QCOMPARE(merge.last().at(0).toBool(), false);
        Control<QPushButton>("Cmd_PanelOutput(2)")->click();
        QCOMPARE(merge.last().at(0).toBool(), true);
    }

    void theFavoriteButtonFollowsTheChosenPreset() {
        m_panel->SelectPanel(AudioTab);
        QVERIFY(m_favoriteButton->isVisible());
        QCOMPARE(m_favoriteButton->toolTip(), QStringLiteral("Add to favorites tab"));
        Chooser()->setCurrentIndex(0); // the custom placeholder cannot be a favorite
        QVERIFY(!m_favoriteButton->isVisible());
        Chooser()->setCurrentIndex(2);
        QVERIFY(m_favoriteButton->isVisible());

        m_panel->ToggleFavorite();
        QCOMPARE(GetCatalogField(*m_favorites, 1, "ID"), QStringLiteral("A-2"));
        QCOMPARE(m_favoriteButton->toolTip(), QStringLiteral("Remove from favorites tab"));

        // (Which favorites the limit keeps is the favorites' own test.)
        Button("Cmd_OutoutAudio(1)")->click();
        Chooser()->setCurrentIndex(1);
        m_panel->ToggleFavorite();
        Control<QPushButton>("Cmd_PanelOutput(3)")->click();
        m_panel->ToggleFavorite(); // HTML5 MP3
        QCOMPARE(m_favorites->rows(), 3);

        // The favorites tab: one button per keyword, its chooser from the favorites.
        QSignalSpy chosen(m_panel, &OutputPanel::presetChosen);
        Control<QPushButton>("Cmd_PanelOutput(4)")->click();
        QVERIFY(!Control<QLabel>("Pic_FavMsg")->isVisible());
        QVERIFY(Button("Cmd_Favorites(0)")->isChecked());
        QCOMPARE(chosen.last().at(0).toInt(), Row("W-2"));
        QVERIFY(!m_settingsButton->isEnabled() && m_favoriteButton->isVisible());
        Button("Cmd_Favorites(1)")->click();
        QCOMPARE(Chooser()->currentText(), QStringLiteral("OGG 192"));
        QCOMPARE(chosen.last().at(0).toInt(), Row("A-4"));

        // Removing them all on the favorites tab shows the message instead.
        while (m_favorites->rows() > 0)
            m_panel->ToggleFavorite();
        QVERIFY(Control<QLabel>("Pic_FavMsg")->isVisible());
        QVERIFY(!Chooser()->isVisible() && !m_favoriteButton->isVisible() && !m_settingsButton->isVisible());
        CatalogTable saved;
        QCOMPARE(LoadCatalogFile(saved, m_favoritesFile, 0, true), 0);

        Control<QPushButton>("Cmd_PanelOutput(2)")->click();
        QVERIFY(Chooser()->isVisible());
        QVERIFY(m_settingsButton->isVisible() && m_settingsButton->isEnabled());
    }

    void theMakerListChoosesTheDevices() {
        auto *makers = Control<QListWidget>("ListBox_MakerNames");
        QCOMPARE(makers->count(), 2);
        QCOMPARE(makers->item(0)->text(), QStringLiteral("DeviceFormat"));
        m_panel->SelectPanel(DeviceTab);
        Button("Cmd_OutoutDevice(1)")->click();
        QCOMPARE(Chooser()->currentText(), QStringLiteral("Tablet MP3"));
        m_panel->rememberedPresets().store(DeviceTab, 0, 0);

        makers->setCurrentRow(1);
        QCOMPARE(m_panel->deviceMaker(), QStringLiteral("CarMakers"));
        QCOMPARE(Button("Cmd_OutoutDevice(0)")->text(), QStringLiteral("Car"));
        QVERIFY(!Button("Cmd_OutoutDevice(1)"));
        QCOMPARE(Chooser()->currentText(), QStringLiteral("Car WMA")); // every device slot is 1 again

        makers->setCurrentRow(0);
        QCOMPARE(Button("Cmd_OutoutDevice(0)")->text(), QStringLiteral("Phone"));
        QCOMPARE(Chooser()->currentText(), QStringLiteral("Phone AAC"));
    }

    // (A device preset of another maker is the main window's search test.)
    void selectOutputFormatFindsTabButtonAndPreset() {
        test::MessageRecorder messages(AnsOk);
        m_panel->SelectPanel(DeviceTab);
        QVERIFY(m_panel->SelectOutputFormat("OGG 192", "AudioFormat", "OGG"));
        QCOMPARE(m_panel->currentTab(), int(AudioTab));
        QVERIFY(Button("Cmd_OutoutAudio(1)")->isChecked());
        QCOMPARE(Chooser()->currentText(), QStringLiteral("OGG 192"));

        // An unknown keyword keeps the selected button; an unknown name keeps the preset.
        QVERIFY(m_panel->SelectOutputFormat("nothing", "AudioFormat", "FLAC"));
        QVERIFY(Button("Cmd_OutoutAudio(1)")->isChecked());
        QCOMPARE(Chooser()->currentText(), QStringLiteral("OGG 192"));
        QVERIFY(messages.texts.isEmpty());

        QVERIFY(!m_panel->SelectOutputFormat("x", "NoSuchMaker", "y"));
        QCOMPARE(messages.texts, QStringList({"Search|There are no results to display!"}));
        QCOMPARE(messages.styles, QList<int>({MsgInformation}));
        QCOMPARE(m_panel->currentTab(), int(AudioTab));
    }

    // The search window: the box fills the results and their count, the buttons follow the
    // selection, and Enter and a double click choose while Cancel and Escape do not. (What a text
    // finds is the preset search's own test; Return in the box choosing, the main window's.)
    void searchResultsFollowTheTextAndTheButtonsTheSelection() {
        Search search(*m_presets, "audio");
        auto *count = search.window.findChild<QLabel *>("lbl_TotalPreset");
        auto *ok = search.window.findChild<QPushButton *>("Cmd_Panels(0)");
        auto *clear = search.window.findChild<QToolButton *>("Cmd_Search");
        QCOMPARE(search.view->model()->rowCount(), 4);
        QCOMPARE(count->text(), PresetCountText(4));
        QTRY_VERIFY(ok->isEnabled() && clear->isEnabled()); // the first result is selected
        QCOMPARE(search.view->selectionModel()->selectedRows().size(), 1);
        search.view->clearSelection();
        QTRY_VERIFY(!ok->isEnabled());
        clear->click();
        QCOMPARE(search.box->text(), QString());
        QCOMPARE(search.view->model()->rowCount(), 0);
        QTRY_VERIFY(!clear->isEnabled());
    }

    void searchEnterAndDoubleClickChooseCancelAndEscapeDoNot() {
        {
            Search search(*m_presets, "phone");
            search.view->setFocus();
            QTest::keyClick(search.view, Qt::Key_Enter);
            QCOMPARE(search.chosen.size(), 1);
            QCOMPARE(search.chosen.first(), QVariantList({"Phone AAC", "DeviceFormat", "Phone"}));
            QCOMPARE(search.window.result(), int(QDialog::Accepted));
            QVERIFY(!search.window.isVisible());
        }
        {
            Search search(*m_presets, "gif");
            const QRect cell = search.view->visualRect(search.view->model()->index(0, 1));
            // A double click is a press and release followed by a second press that doubles.
            QTest::mouseClick(search.view->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(search.view->viewport(), Qt::LeftButton, {}, cell.center());
            QCOMPARE(search.chosen.size(), 1);
            QCOMPARE(search.chosen.first().at(0).toString(), QStringLiteral("GIF small"));
        }
        {
            Search search(*m_presets, "gif");
            search.window.findChild<QPushButton *>("Cmd_Panels(1)")->click();
            QCOMPARE(search.window.result(), int(QDialog::Rejected));
            search.window.show();
            QTest::keyClick(search.box, Qt::Key_Escape);
            QVERIFY(!search.window.isVisible());
            QCOMPARE(search.chosen.size(), 0);
        }
        {
            Search search(*m_presets, "zzz"); // with nothing found, Enter does nothing
            QTest::keyClick(search.box, Qt::Key_Return);
            QCOMPARE(search.chosen.size(), 0);
            QVERIFY(search.window.isVisible());
        }
    }
};

TV_TEST_MAIN(OutputPanelTest)
#include "tst_outputpanel.moc"

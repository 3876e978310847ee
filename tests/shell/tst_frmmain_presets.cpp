// The output panel and its settings editor as a user meets them: start-up, the search, favorites
// and user presets across restarts, edits going into the preset and its job. (That every preset
// shows its own values after any other is the settings' own test.)
#include "CatalogFile.h"
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "EncodingParameters.h"
#include "MainWindowDriver.h"

#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>

using namespace tv;
using namespace tv::test;

class FrmMainPresetsTest : public QObject {
    Q_OBJECT
private:
    MessageRecorder m_messages{AnsYes};

    static QComboBox *Combo(const frmMain &w, int index) {
        return Find<QComboBox>(w.formatSettings(), QStringLiteral("Combo_OutputFile(%1)").arg(index));
    }
    static QComboBox *Chooser(const frmMain &w) { return Find<QComboBox>(&w, "Cmd_OutputPreset"); }
    static QTreeWidget *List(const frmMain &w) { return Find<QTreeWidget>(w.formatSettings(), "PresetList"); }
    // The first column of a list or chooser.
    static QStringList Texts(const QAbstractItemModel *model) {
        QStringList texts;
        for (int i = 0; i < model->rowCount(); ++i)
            texts.append(model->index(i, 0).data().toString());
        return texts;
    }
    static QStringList ListTexts(const frmMain &w) { return Texts(List(w)->model()); }
    static int PresetRow(const frmMain &w, const QString &id) {
        return FindCatalogRow(w.presetCatalog(), "ID", id);
    }
    static QString PresetField(const frmMain &w, const QString &id, const QString &field) {
        return GetCatalogField(w.presetCatalog(), PresetRow(w, id), field);
    }

    static void OpenEditor(frmMain &w) {
        Push(&w, "Cmd_FileListView(11)")->click();
        QTRY_VERIFY(w.formatSettings()->isVisible());
    }
    static void Select(QComboBox *combo, const QString &text) {
        const int entry = combo->findText(text);
        QVERIFY2(entry >= 0, qPrintable(combo->objectName() + " lacks " + text));
        combo->setCurrentIndex(entry);
    }
    static void SelectListRow(const frmMain &w, const QString &name) {
        const QList<QTreeWidgetItem *> found = List(w)->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        List(w)->setCurrentItem(found.last());
    }
    // Answers the next preset name dialog, which opens with expectedStart: types the name and
    // presses Enter ("" cancels with Escape).
    void AnswerName(const QString &name, const QString &expectedStart = QString()) {
        OnNextModal(this, [=](QWidget *dialog) {
            auto *box = Find<QLineEdit>(dialog, "Txt_PresetName");
            QCOMPARE(box->text(), expectedStart);
            if (name.isEmpty()) {
                QTest::keyClick(dialog, Qt::Key_Escape);
                return;
            }
            box->setText(name);
            QTest::keyClick(box, Qt::Key_Return);
        });
    }

private Q_SLOTS:
    void initTestCase() { PrepareMainWindowTests(); }

    void init() {
        QFile::remove(Paths().userFavoritesFile);
        QFile::remove(Paths().userPresetFile);
        m_messages.clear();
        m_messages.answer = AnsYes;
    }

    void editsAreStoredAndCancelKeepsThemInMemoryOnly() {
        const auto window = StartMainWindow();
        frmMain &w = *window;
        const QString good = "Good Quality - 44100 Hz, Stereo, 128 kbps";
        w.SelectOutputFormat(good, "AudioFormat", "MP3");
        const QString goodId = Chooser(w)->currentData().toString();
        OpenEditor(w);
        frmFormatSetting *editor = w.formatSettings();

        QCOMPARE(ListTexts(w), Texts(Chooser(w)->model()));
        QCOMPARE(List(w)->currentItem()->text(0), good);
        QVERIFY(!Find<QAction>(editor, "mnuList(3)")->isEnabled()); // a built-in preset keeps its name

        Select(Combo(w, 6), "192 kbps");
        QCOMPARE(PresetField(w, goodId, "AudioBitrate"), QStringLiteral("192 kbps"));
        QCOMPARE(w.formatJobParameters().AudioBitrate, QStringLiteral("192"));

        SelectListRow(w, "Voice - 22050 Hz, Mono, 32 kbps");
        QCOMPARE(Combo(w, 6)->currentText(), QStringLiteral("32 kbps"));

        // Escape cancels: the shown preset stays, the edit stays in memory, nothing is written.
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
        QCOMPARE(w.formatJobParameters().AudioBitrate, QStringLiteral("32"));
        QCOMPARE(Chooser(w)->currentText(), good);
        QCOMPARE(PresetField(w, goodId, "AudioBitrate"), QStringLiteral("192 kbps"));
        QVERIFY(!QFile::exists(Paths().userPresetFile));

        OpenEditor(w);
        QCOMPARE(List(w)->currentItem()->text(0), good);
        QCOMPARE(Combo(w, 6)->currentText(), QStringLiteral("192 kbps"));
        // (That OK saves only the user's presets is the next case's.)
        Push(editor, "Cmd_Panel(1)")->click();
        QVERIFY(!editor->isVisible());
        QCOMPARE(w.formatJobParameters().AudioBitrate, QStringLiteral("192"));
        QVERIFY(m_messages.texts.isEmpty());
    }

    void userPresetsAreMadeRenamedSavedAndDeleted() {
        QString mine;
        {
            const auto window = StartMainWindow();
            frmMain &w = *window;
            w.SelectOutputFormat("Good Quality - 44100 Hz, Stereo, 128 kbps", "AudioFormat", "MP3");
            const int chosen = Chooser(w)->currentIndex();
            OpenEditor(w);
            frmFormatSetting *editor = w.formatSettings();
            Select(Combo(w, 5), "48000 Hz");

            // A blank name cannot be accepted; a name the preset file cannot hold is refused
            // with its reason; then the name as typed is taken.
            OnNextModal(this, [this](QWidget *dialog) {
                auto *box = Find<QLineEdit>(dialog, "Txt_PresetName");
                QPushButton *ok = Push(dialog, "Cmd_Panel(1)");
                QTRY_VERIFY(!ok->isEnabled());
                box->setText("   ");
                QSignalSpy checked(dialog->findChild<QTimer *>("Timer_CheckEmpty"), &QTimer::timeout);
                QVERIFY(checked.wait());
                QVERIFY(!ok->isEnabled());
                QTest::keyClick(box, Qt::Key_Return);
                QVERIFY(dialog->isVisible());
                box->setText("My \"MP3\"");
                QTRY_VERIFY(ok->isEnabled());
                ok->click();
                QVERIFY(dialog->isVisible());
                QCOMPARE(m_messages.texts.size(), 1);
                QVERIFY(m_messages.texts.first().contains("double quote"));
                box->setText("My MP3");
                QTest::keyClick(box, Qt::Key_Return);
            });
            Push(editor, "Cmd_PanelList(1)")->click();
            QCOMPARE(List(w)->topLevelItemCount(), 8);
            QCOMPARE(List(w)->currentItem()->text(0), QStringLiteral("My MP3"));
            mine = Find<QLineEdit>(editor, "Txt_ID")->text();
            QCOMPARE(PresetField(w, mine, "Name"), QStringLiteral("My MP3"));
            QVERIFY(Push(editor, "Cmd_PanelList(0)")->isEnabled());
            QVERIFY(Find<QAction>(editor, "mnuList(3)")->isEnabled());

            Select(Combo(w, 6), "320 kbps");
            QCOMPARE(PresetField(w, mine, "AudioBitrate"), QStringLiteral("320 kbps"));

            AnswerName("My loud MP3", "My MP3");
            Find<QAction>(editor, "mnuList(3)")->trigger();
            QCOMPARE(PresetField(w, mine, "Name"), QStringLiteral("My loud MP3"));

            // The same name again replaces the user's preset after asking (No keeps it).
            m_messages.answer = AnsNo;
            AnswerName("My loud MP3");
            Push(editor, "Cmd_PanelList(1)")->click();
            QCOMPARE(m_messages.texts.last(),
                     QStringLiteral("Confirmation|The preset 'My loud MP3' already exists, replace it ?"));
            QCOMPARE(PresetField(w, mine, "QualityLevel"), QStringLiteral("Standard"));
            m_messages.answer = AnsYes;
            SelectListRow(w, "Best Quality - 48000 Hz, Stereo, 320 kbps");
            AnswerName("My loud MP3");
            Push(editor, "Cmd_PanelList(1)")->click();
            QCOMPARE(List(w)->topLevelItemCount(), 8);
            QCOMPARE(Find<QLineEdit>(editor, "Txt_ID")->text(), mine);
            QCOMPARE(PresetField(w, mine, "QualityLevel"), QStringLiteral("High"));

            // A built-in name does not count: the new preset joins it.
            const int asked = static_cast<int>(m_messages.texts.size());
            AnswerName("Voice - 22050 Hz, Mono, 32 kbps");
            Push(editor, "Cmd_PanelList(1)")->click();
            QCOMPARE(m_messages.texts.size(), asked);
            QCOMPARE(ListTexts(w).count("Voice - 22050 Hz, Mono, 32 kbps"), 2);
            AnswerName(QString()); // cancelled
            Push(editor, "Cmd_PanelList(1)")->click();
            QCOMPARE(List(w)->topLevelItemCount(), 9);

            Push(editor, "Cmd_Panel(0)")->click();
            QVERIFY(!QFile::exists(Paths().userPresetFile));
            QVERIFY(PresetRow(w, mine) > 0);
            QCOMPARE(Chooser(w)->count(), 7);

            OpenEditor(w);
            QCOMPARE(List(w)->currentIndex().row(), chosen);
            SelectListRow(w, "My loud MP3");
            Push(editor, "Cmd_Panel(1)")->click();
            QCOMPARE(Texts(Chooser(w)->model()), ListTexts(w));
            QCOMPARE(Chooser(w)->currentText(), QStringLiteral("My loud MP3"));
            QCOMPARE(w.formatJobParameters().AudioBitrate, QStringLiteral("320"));
            QVERIFY(QFileInfo(Paths().userPresetFile).isFile());
            w.close();
        }
        CatalogTable saved;
        QCOMPARE(LoadCatalogFile(saved, Paths().userPresetFile, 0, true), 2);

        // After a restart the preset is there with its values; the built-in preset edited
        // on the way is as shipped again.
        const auto window = StartMainWindow();
        frmMain &w = *window;
        QCOMPARE(PresetField(w, mine, "Name"), QStringLiteral("My loud MP3"));
        QCOMPARE(PresetField(w, mine, "AudioBitrate"), QStringLiteral("320 kbps"));
        const int good =
            FindCatalogRow(w.presetCatalog(), "Name", "Good Quality - 44100 Hz, Stereo, 128 kbps");
        QCOMPARE(GetCatalogField(w.presetCatalog(), good, "SampleRate"), QStringLiteral("44100 Hz"));
        w.SelectOutputFormat("My loud MP3", "AudioFormat", "MP3");
        QCOMPARE(Combo(w, 6)->currentText(), QStringLiteral("320 kbps"));
        QCOMPARE(Combo(w, 5)->currentText(), QStringLiteral("48000 Hz"));

        // A favorite of a deleted preset goes with it; No keeps the preset.
        Push(&w, "Cmd_FileListView(10)")->click();
        QCOMPARE(w.favoritesCatalog().rows(), 1);
        OpenEditor(w);
        frmFormatSetting *editor = w.formatSettings();
        QCOMPARE(List(w)->currentItem()->text(0), QStringLiteral("My loud MP3"));
        m_messages.answer = AnsNo;
        QTest::keyClick(List(w), Qt::Key_Delete);
        QCOMPARE(m_messages.texts.last(),
                 QStringLiteral("Delete|Are you sure you want to delete 'My loud MP3' preset ?"));
        QVERIFY(PresetRow(w, mine) > 0);
        m_messages.answer = AnsYes;
        QTest::keyClick(List(w), Qt::Key_Delete);
        QCOMPARE(PresetRow(w, mine), 0);
        QVERIFY(!ListTexts(w).contains("My loud MP3"));
        QCOMPARE(w.favoritesCatalog().rows(), 0);
        QCOMPARE(Find<QLineEdit>(editor, "Txt_ID")->text(),
                 List(w)->currentItem()->data(0, Qt::UserRole).toString());
        // The copy of the built-in name is the user's; the delete button follows the selection.
        SelectListRow(w, "Voice - 22050 Hz, Mono, 32 kbps");
        QVERIFY(Push(editor, "Cmd_PanelList(0)")->isEnabled());
        SelectListRow(w, "Good Quality - 44100 Hz, Stereo, 128 kbps");
        QVERIFY(!Push(editor, "Cmd_PanelList(0)")->isEnabled());
        const int rows = w.presetCatalog().rows();
        QTest::keyClick(List(w), Qt::Key_Delete);
        QCOMPARE(w.presetCatalog().rows(), rows);
        Push(editor, "Cmd_Panel(1)")->click();
        QCOMPARE(LoadCatalogFile(saved, Paths().userPresetFile, 0, true), 1);
    }

    void listButtonsFollowTheTabAndTheKeywordAndNumberBoxesTypeClampAndStoreWithTheirSpinControls() {
        const auto window = StartMainWindow();
        frmMain &w = *window;
        frmFormatSetting *editor = w.formatSettings();
        Push(&w, "Cmd_PanelOutput(1)")->click();
        OpenEditor(w);
        QVERIFY(!Push(editor, "Cmd_PanelList(0)")->isVisible());
        QVERIFY(!Push(editor, "Cmd_PanelList(1)")->isVisible());
        QCOMPARE(editor->windowTitle(), w.outputPanel()->currentOutputKeyword() + " Presets - Setting");
        Push(editor, "Cmd_Panel(0)")->click();

        // A keyword without the custom placeholder takes no new presets.
        Push(&w, "Cmd_PanelOutput(2)")->click();
        w.findChild<QToolButton *>("Cmd_OutoutAudio(6)")->click();
        QVERIFY(Chooser(w)->itemText(0) != kCustomPresetEntry);
        OpenEditor(w);
        QVERIFY(Push(editor, "Cmd_PanelList(1)")->isVisible());
        QVERIFY(!Push(editor, "Cmd_PanelList(1)")->isEnabled());
        Push(editor, "Cmd_Panel(0)")->click();

        Push(&w, "Cmd_PanelOutput(0)")->click();
        w.findChild<QToolButton *>("Cmd_OutoutFormat(0)")->click();
        QCOMPARE(w.outputPanel()->currentOutputKeyword(), QStringLiteral("MP4"));
        Select(Chooser(w), "HD 720p - H.264, AAC 44100 Hz, Stereo, 192 kbps");
        const QString id = Chooser(w)->currentData().toString();
        OpenEditor(w);
        auto *width = Find<QLineEdit>(editor, "Txt_OutputVideoWidth");
        auto *height = Find<QLineEdit>(editor, "Txt_OutputVideoHeight");
        auto *bitrate = Find<QLineEdit>(editor, "Txt_OutputVideoBitrate");
        auto *widthSpin = Find<QSpinBox>(editor, "UpDown_OutputVideoWidth");
        auto *heightSpin = Find<QSpinBox>(editor, "UpDown_OutputVideoHeight");
        auto *bitrateSpin = Find<QSpinBox>(editor, "UpDown_OutputVideoBitrate");
        QVERIFY(!width->isVisible() && !bitrate->isVisible());

        // Typed numbers are clamped to their spin control and stored; the spin control types them.
        Select(Combo(w, 1), "Custom");
        QVERIFY(width->isVisible() && height->isVisible() && widthSpin->isVisible());
        width->selectAll();
        QTest::keyClicks(width, "99999");
        QCOMPARE(width->text(), QString::number(widthSpin->maximum()));
        QCOMPARE(PresetField(w, id, "Width"), width->text());
        heightSpin->setValue(600);
        QCOMPARE(height->text(), QStringLiteral("600"));
        QCOMPARE(PresetField(w, id, "Height"), QStringLiteral("600"));
        // An emptied box is a number being typed; leaving it shows the number again.
        height->clear();
        QCOMPARE(PresetField(w, id, "Height"), QStringLiteral("600"));
        QMetaObject::invokeMethod(height, "editingFinished");
        QCOMPARE(height->text(), QStringLiteral("600"));

        Select(Combo(w, 10), "Custom");
        QVERIFY(bitrate->isVisible() && bitrate->isEnabled());
        bitrateSpin->setValue(bitrateSpin->maximum() - 1);
        QCOMPARE(PresetField(w, id, "VideoBitrate"), QString::number(bitrateSpin->maximum() - 1));
        // The quality buttons reach the settings (their rules are the settings' own test).
        Find<QRadioButton>(editor, "Radio_Quality(2)")->click();
        QCOMPARE(PresetField(w, id, "QualityLevel"), QStringLiteral("SmallSize"));

        Push(editor, "Cmd_Panel(0)")->click();
    }

    // (Which preset each button recommends is the shipped catalogs' test.)
    void startUpShowsTheAudioTabChoosesItsPresetOnceAndTheSearchChoosesAnother() {
        frmMain w({});
        QSignalSpy chosen(w.outputPanel(), &OutputPanel::presetChosen);
        QVERIFY(w.Form_Load());
        // Until start-up has finished a change is not the user's.
        QVERIFY(!w.formatSettings()->settings().applyingFlag());
        w.show();
        QTRY_VERIFY(w.formatSettings()->settings().applyingFlag());
        QVERIFY(Push(&w, "Cmd_PanelOutput(2)")->isChecked());
        QVERIFY(Find<QToolButton>(&w, "Cmd_OutoutAudio(0)")->isChecked());
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
            QVERIFY(Find<QToolButton>(&w, "Cmd_Favorites(0)")->isChecked());
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

TV_TEST_MAIN(FrmMainPresetsTest)
#include "tst_frmmain_presets.moc"

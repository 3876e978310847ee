// Closing the main window as the user does: the close dialog, the question during a batch,
// the tray with its menu and animation, the preferences that decide all this.
#include "MainWindowDriver.h"
#include "MediaGen.h"
#include "MessageBox.h"
#include "TestEnv.h"
#include "TrayArea.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>

using namespace tv;
using namespace tv::test;

namespace {

void StoreCloseChoice(const QString &closeEvent, const QString &dontAsk) {
    WriteSetting("CloseEvent", closeEvent);
    WriteSetting("CloseDontAskMe", dontAsk);
}

QAction *Action(const QObject *owner, const QString &name) {
    return owner->findChild<QAction *>(name);
}

// Starts a batch over one long file and waits until its job runs.
bool StartLongBatch(frmMain &w, const QString &input) {
    w.importFile(input);
    w.Cmd_FileListView(3)->click();
    return QTest::qWaitFor([&]() { return w.Cmd_FileListView(4)->isEnabled(); }, 20000) &&
           w.conversionState() == frmMain::Converting;
}

// Answers the close dialog: a button index, or -1 for Esc; notes the state the batch was in.
void AnswerCloseDialog(frmMain &w, int button, frmMain::ConversionState *stateSeen) {
    OnNextModal(&w, [&w, button, stateSeen](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmClose"));
        if (stateSeen)
            *stateSeen = w.conversionState();
        if (button < 0)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            Push(dialog, QStringLiteral("Cmd_Close(%1)").arg(button))->click();
    });
}

} // namespace

class FrmMainCloseTest : public QObject {
    Q_OBJECT
private:
    QString m_in;
    MessageRecorder m_messages{AnsNo};

private Q_SLOTS:
    void initTestCase() {
        PrepareMainWindowTests();
        m_in = Home().path() + "/in/";
        QVERIFY(GenerateTone(m_in + "long.flac", 900.0));
        QVERIFY(GenerateTone(m_in + "short.wav", 1.0));
    }

    void init() {
        m_messages.clear();
        m_messages.answer = AnsNo;
        TrayArea::SetAvailableForTests(true);
    }

    void closingDuringABatchPausesAsksAndResumes() {
        StoreCloseChoice("0", "0");
        auto w = StartMainWindow(Home().path() + "/out-close/");
        QVERIFY(w);
        QVERIFY(StartLongBatch(*w, m_in + "long.flac"));

        // Esc on the dialog: the window stays, the paused batch goes on, and no choice is kept.
        frmMain::ConversionState seen = frmMain::Idle;
        AnswerCloseDialog(*w, -1, &seen);
        w->close();
        QCOMPARE(seen, frmMain::Paused);
        QVERIFY(w->isVisible() && !w->isUnloading());
        QCOMPARE(w->conversionState(), frmMain::Converting);
        QCOMPARE(ReadSetting("CloseEvent"), QStringLiteral("0"));

        // "Exit", then No to the question: the batch goes on.
        AnswerCloseDialog(*w, 1, &seen);
        w->close();
        QCOMPARE(seen, frmMain::Paused);
        QCOMPARE(m_messages.texts,
                 QStringList{"|Conversion is not completed!\nAre you sure you want to terminate it ?"});
        QCOMPARE(m_messages.styles, QList<int>{MsgYesNo | MsgQuestion});
        QVERIFY(!w->isUnloading());
        QCOMPARE(w->conversionState(), frmMain::Converting);
        QCOMPARE(ReadSetting("CloseEvent"), QStringLiteral("2"));

        // Yes ends the program.
        m_messages.answer = AnsYes;
        AnswerCloseDialog(*w, 1, nullptr);
        w->close();
        QVERIFY(w->isUnloading());
    }

    void dontAskWithTrayHidesTheWindowWithoutADialogAndABatchEndsThereIdle() {
        StoreCloseChoice("1", "-1");
        auto w = StartMainWindow(Home().path() + "/out-tray-end/");
        QVERIFY(w);
        DialogCloser closer;
        w->close();
        QVERIFY(closer.seen.isEmpty());
        QVERIFY(!w->isUnloading() && !w->isVisible() && w->isInTray());
        QCOMPARE(ReadSetting("WinTagInfo"), QString::number(w->mainWindowHandle()));
        QCOMPARE(ReadSetting("WinInfo"), QString::number(QCoreApplication::applicationPid()));
        TrayArea *tray = w->trayArea();
        QCOMPARE(tray->iconFile(), QStringLiteral("tray_idle.ico"));
        QCOMPARE(tray->toolTip(), QStringLiteral("Tunevane"));
        QVERIFY(!tray->timer()->isActive());

        // "Show Window" brings it back and takes the handles away again.
        Action(tray->menu(), "mnuTray(1)")->trigger();
        QVERIFY(w->isVisible() && !w->isInTray() && !tray->isShown());
        QCOMPARE(ReadSetting("WinTagInfo"), QString());
        QCOMPARE(ReadSetting("WinInfo"), QString());

        // A batch that ends in the tray leaves the idle icon and gives a notice.
        w->TrayToggle();
        QSignalSpy notices(w.get(), &frmMain::completionNotified);
        w->importFile(m_in + "short.wav");
        QVERIFY(RunBatch(*w));
        QCOMPARE(notices.size(), 1);
        QVERIFY(w->isInTray());
        QCOMPARE(tray->iconFile(), QStringLiteral("tray_idle.ico"));
        QVERIFY(!tray->timer()->isActive());

        // "Exit" in the tray menu of an idle window ends the program without a question.
        Action(tray->menu(), "mnuTray(4)")->trigger();
        QVERIFY(w->isUnloading());
        QVERIFY(m_messages.texts.isEmpty());
    }

    void theTrayAnimatesWhileTheBatchRunsInIt() {
        StoreCloseChoice("1", "-1");
        auto w = StartMainWindow(Home().path() + "/out-tray/");
        QVERIFY(w);
        QVERIFY(StartLongBatch(*w, m_in + "long.flac"));
        QSignalSpy notices(w.get(), &frmMain::completionNotified);
        w->close();
        QVERIFY(w->isInTray() && !w->isVisible());
        QCOMPARE(w->conversionState(), frmMain::Converting);
        TrayArea *tray = w->trayArea();
        QVERIFY(tray->timer()->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(tray->iconFile() != QStringLiteral("tray_idle.ico"), 5000);
        QVERIFY(tray->iconFile().startsWith("tray"));
        QVERIFY2(tray->toolTip().endsWith("% Tunevane"), qPrintable(tray->toolTip()));

        // Exit from the tray asks; No goes on converting, Yes ends.
        Action(tray->menu(), "mnuTray(4)")->trigger();
        QCOMPARE(m_messages.texts.size(), 1);
        QCOMPARE(w->conversionState(), frmMain::Converting);
        QVERIFY(!w->isUnloading());
        m_messages.answer = AnsYes;
        Action(tray->menu(), "mnuTray(4)")->trigger();
        QVERIFY(w->isUnloading());
        QVERIFY(!tray->isShown());
        QVERIFY(notices.isEmpty());
    }

    // The animation runs through pictures of the theme and starts again.
    void theTrayAnimationCyclesThroughItsFrames() {
        TrayArea tray;
        QStringList files;
        for (int step = 0; step < 24; ++step) {
            tray.AnimationStep("42% Tunevane");
            files << tray.iconFile();
        }
        const qsizetype period = QSet<QString>(files.cbegin(), files.cend()).size();
        QVERIFY(period > 1 && !files.contains("tray_idle.ico"));
        for (int i = 0; i + period < files.size(); ++i)
            QCOMPARE(files.at(i + period), files.at(i));
        for (const QString &file : files)
            QVERIFY2(QFile::exists(QStringLiteral(TUNEVANE_SOURCE_DIR "/data/skin/Light/") + file + ".svg"),
                     qPrintable(file));
        QCOMPARE(tray.toolTip(), QStringLiteral("42% Tunevane"));
    }

    void withoutANotificationAreaTheWindowIsMinimised() {
        TrayArea::SetAvailableForTests(false);
        StoreCloseChoice("1", "-1");
        auto w = StartMainWindow();
        QVERIFY(w);
        w->close();
        QVERIFY(w->isMinimized() && !w->isInTray() && !w->isUnloading());
        QCOMPARE(m_messages.texts.size(), 1);
        // It says so once.
        w->showNormal();
        w->close();
        QVERIFY(w->isMinimized());
        QCOMPARE(m_messages.texts.size(), 1);
    }

    void preferencesChangeNothingUntilOk() {
        StoreCloseChoice("1", "-1");
        WriteSetting("UpdateActive", "0");
        WriteSetting("OutputFileName", "0");
        const QString out = Home().path() + "/out-prefs/";
        auto w = StartMainWindow(out);
        QVERIFY(w);
        auto open = [&](const std::function<void(QWidget *)> &handle) {
            OnNextModal(w.get(), handle);
            Action(w.get(), "mnuMenu(13)")->trigger();
        };
        auto checked = [](QWidget *dialog, const QString &name) {
            return Find<QAbstractButton>(dialog, name)->isChecked();
        };

        // What is stored shows; "Default" only sets the controls, and Cancel keeps nothing.
        open([&](QWidget *dialog) {
            QVERIFY(checked(dialog, "Opt_Close(0)") && checked(dialog, "Opt_Conversion(0)"));
            QVERIFY(!checked(dialog, "Chk_CheckUpdates"));
            Push(dialog, "Cmd_Panels(2)")->click();
            QVERIFY(checked(dialog, "Opt_Close(2)") && checked(dialog, "Opt_Conversion(1)"));
            QVERIFY(checked(dialog, "Chk_CheckUpdates"));
            QCOMPARE(Settings().closeEvent, 1);
            Push(dialog, "Cmd_Panels(0)")->click();
        });
        QCOMPARE(Settings().closeEvent, 1);
        QVERIFY(Settings().closeDontAskMe && !Settings().updateActive);
        QCOMPARE(ReadSetting("OutputFileName"), QStringLiteral("0"));

        // "Default" then OK stores the defaults.
        open([&](QWidget *dialog) {
            Push(dialog, "Cmd_Panels(2)")->click();
            Push(dialog, "Cmd_Panels(1)")->click();
        });
        QCOMPARE(ReadSetting("CloseEvent"), QStringLiteral("0"));
        QCOMPARE(ReadSetting("CloseDontAskMe"), QStringLiteral("0"));
        QCOMPARE(ReadSetting("UpdateActive"), QStringLiteral("-1"));
        QCOMPARE(ReadSetting("OutputFileName"), QStringLiteral("1"));

        // "Exit" and "Overwrite existing file": closing no longer asks, outputs keep their names.
        open([&](QWidget *dialog) {
            Find<QRadioButton>(dialog, "Opt_Close(1)")->setChecked(true);
            Find<QRadioButton>(dialog, "Opt_Conversion(0)")->setChecked(true);
            Push(dialog, "Cmd_Panels(1)")->click();
        });
        QCOMPARE(Settings().closeEvent, 2);
        QVERIFY(Settings().closeDontAskMe);
        w->importFile(m_in + "short.wav");
        DialogCloser closer;
        QVERIFY(RunBatch(*w));
        const QString first = ListItem(*w, 0, Item::ConvertedFileName);
        QVERIFY(RunBatch(*w));
        QCOMPARE(ListItem(*w, 0, Item::ConvertedFileName), first);
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), 1);
        w->close();
        QVERIFY(w->isUnloading());
    }
};

TV_TEST_MAIN(FrmMainCloseTest)
#include "tst_frmmain_close.moc"

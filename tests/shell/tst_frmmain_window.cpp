// The main window as a desktop window: its first size within the screen at any scale factor,
// its place, splitter and columns back at the next start, Tab walking the layout, and closing
// it as the user does: the close dialog, the question during a batch, the tray, the preferences.
#include "MainWindowDriver.h"
#include "TrayArea.h"

#include <QHeaderView>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>

using namespace tv;
using namespace tv::test;

namespace {

// Run as a child with a set screen and scale factor: starts the window as the program does,
// prints its frame and the screen's room in device pixels, and closes it (which saves its place).
int ShowWindowOnce(int argc, char *argv[]) {
    QApplication app(argc, argv);
    PrepareMainWindowTests();
    auto w = StartMainWindow();
    if (!w)
        return 3;
    const qreal ratio = w->devicePixelRatioF();
    const QRect frame = w->frameGeometry();
    const QRect room = w->screen()->availableGeometry();
    auto device = [ratio](const QRect &r) {
        return QStringLiteral("%1 %2 %3 %4")
            .arg(qRound(r.x() * ratio))
            .arg(qRound(r.y() * ratio))
            .arg(qRound(r.width() * ratio))
            .arg(qRound(r.height() * ratio));
    };
    QTextStream(stdout) << device(frame) << ' ' << device(room) << Qt::endl;
    w->close();
    return 0;
}

void StoreCloseChoice(const QString &closeEvent, const QString &dontAsk) {
    WriteSetting("CloseEvent", closeEvent);
    WriteSetting("CloseDontAskMe", dontAsk);
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

class FrmMainWindowTest : public QObject {
    Q_OBJECT

    QString m_in;
    MessageRecorder m_messages{AnsNo};

    // The frame and the screen's room of one start at a scale factor on a 1600×1000 screen.
    static QList<int> startAt(const QString &scale) {
        const QString config = Home().path() + "/screen.json";
        WriteFile(config, R"({"screens":[{"name":"wide","x":0,"y":0,"width":1600,"height":1000,)"
                          R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
        QProcess child;
        QProcessEnvironment env = Home().environment();
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
        env.insert("QT_SCALE_FACTOR", scale);
        env.insert("TV_SHOW_WINDOW_ONCE", "1");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            return {};
        QList<int> figures;
        for (const QString &word :
             QString::fromUtf8(child.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts))
            figures << word.trimmed().toInt();
        return figures;
    }

private Q_SLOTS:
    void initTestCase() {
        PrepareMainWindowTests();
        m_in = Home().path() + "/in/";
        QVERIFY(GenerateTone(m_in + "long.flac", 900.0));
        QVERIFY(GenerateTone(m_in + "short.wav", 1.0));
    }

    // Each case starts with closing that ends the program without asking.
    void init() {
        StoreCloseChoice("2", "-1");
        m_messages.clear();
        m_messages.answer = AnsNo;
        TrayArea::SetAvailableForTests(true);
    }

    void theWindowFitsTheScreenAtEveryScaleFactor() {
        // First at 2 with nothing remembered, then at 1 (saving its place), then back at 1.5 and
        // 2 where the remembered size is larger than the screen now offers.
        WriteSetting("WindowGeometry", QString());
        for (const char *scale : {"2", "1", "1.5", "2"}) {
            const QList<int> f = startAt(scale);
            QCOMPARE(f.size(), 8);
            const QRect frame(f[0], f[1], f[2], f[3]);
            const QRect room(f[4], f[5], f[6], f[7]);
            QVERIFY2(room.width() >= 1590 && room.height() >= 990, scale);
            // A pixel of rounding at fractional factors is not a window out of view.
            QVERIFY2(room.adjusted(-2, -2, 2, 2).contains(frame), scale);
        }
    }

    void placeSplitterAndColumnsComeBack() {
        QSize size;
        QList<int> split;
        int nameWidth = 0;
        {
            auto w = StartMainWindow();
            QVERIFY(w);
            w->resize(700, 560);
            auto *splitter = w->findChild<QSplitter *>("BodySplitter");
            splitter->setSizes({380, 300});
            split = splitter->sizes();
            QHeaderView *header = w->fileList()->horizontalHeader();
            header->resizeSection(1, 222);
            nameWidth = header->sectionSize(1);
            size = w->size();
            w->close();
        }
        auto w = StartMainWindow();
        QVERIFY(w);
        QCOMPARE(w->size(), size);
        QCOMPARE(w->findChild<QSplitter *>("BodySplitter")->sizes(), split);
        QCOMPARE(w->fileList()->horizontalHeader()->sectionSize(1), nameWidth);
    }

    void anEmptyFavoritesTabMovesNothing() {
        auto w = StartMainWindow();
        QVERIFY(w);
        QWidget *tab = w->findChild<QWidget *>("Cmd_PanelOutput(0)");
        QVERIFY(tab);
        w->outputPanel()->SelectPanel(AudioTab);
        QTRY_VERIFY(w->findChild<QWidget *>("Cmd_OutputPreset")->isVisible());
        QApplication::sendPostedEvents();
        const QPoint place = tab->mapTo(w.get(), QPoint());
        const int listHeight = w->fileList()->height();
        w->outputPanel()->SelectPanel(FavoritesTab);
        QTRY_VERIFY(!w->findChild<QWidget *>("Cmd_OutputPreset")->isVisible());
        QApplication::sendPostedEvents();
        QCOMPARE(tab->mapTo(w.get(), QPoint()), place);
        QCOMPARE(w->fileList()->height(), listHeight);
    }

    void everyMenuEntryHasItsOwnAltLetter() {
        auto w = StartMainWindow();
        QVERIFY(w);
        auto *menu = w->findChild<QMenu *>("mnuMenu");
        QVERIFY(menu);
        QMetaObject::invokeMethod(menu, "aboutToShow");
        QSet<QChar> letters;
        int entries = 0;
        for (const QAction *action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            ++entries;
            const qsizetype at = action->text().indexOf('&');
            QVERIFY2(at >= 0 && at + 1 < action->text().size(), qPrintable(action->text()));
            const QChar letter = action->text().at(at + 1).toLower();
            QVERIFY2(!letters.contains(letter), qPrintable(action->text()));
            letters.insert(letter);
        }
        QVERIFY(entries >= 4);
    }

    void tabWalksFromTheListToConvertNow() {
        auto w = StartMainWindow();
        QVERIFY(w);
        w->activateWindow();
        w->fileList()->setFocus();
        QVERIFY(QTest::qWaitFor([&]() { return w->fileList()->hasFocus(); }));
        QList<QWidget *> walked;
        QWidget *convert = w->Cmd_FileListView(frmMain::ConvertButton);
        for (int step = 0; step < 60 && QApplication::focusWidget() != convert; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget();
        }
        QCOMPARE(QApplication::focusWidget(), convert);
        // The list gave the focus away at once, to the output panel below it.
        QVERIFY(!w->fileList()->isAncestorOf(walked.first()));
        QVERIFY(w->outputPanel()->isAncestorOf(walked.first()));
        const QList<QWidget *> expected = {
            w->findChild<QWidget *>("Txt_OutputPath"), w->Cmd_FileListView(frmMain::BrowseOutputButton),
            w->Cmd_FileListView(frmMain::OpenOutputButton), w->findChild<QWidget *>("Chk_Merge"), convert};
        qsizetype last = -1;
        for (QWidget *control : expected) {
            const qsizetype at = walked.indexOf(control);
            QVERIFY2(at > last, qPrintable(control->objectName()));
            last = at;
        }
        QTest::keyClick(convert, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), walked.at(walked.size() - 2));
    }

    void closingDuringABatchPausesAsksAndResumes() {
        StoreCloseChoice("0", "0");
        const QString out = Home().path() + "/out-close/";
        auto w = StartMainWindow(out);
        QVERIFY(w);
        QVERIFY(StartLongBatch(*w, m_in + "long.flac"));
        const auto written = [&out]() { return QDir(out).entryList(QDir::Files | QDir::Hidden); };
        QTRY_VERIFY(!written().filter(".tvpart-").isEmpty());

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

        // Yes ends the program; the stopped job ends at its next packet and takes its work file
        // with it, leaving no part of an output.
        m_messages.answer = AnsYes;
        AnswerCloseDialog(*w, 1, nullptr);
        w->close();
        QVERIFY(w->isUnloading());
        QTRY_COMPARE(written(), QStringList());
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

        Find<QAction>(tray->menu(), "mnuTray(1)")->trigger();
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

        Find<QAction>(tray->menu(), "mnuTray(4)")->trigger();
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
        QVERIFY2(tray->toolTip().endsWith("% Tunevane"), qPrintable(tray->toolTip()));

        // Exit from the tray asks; No goes on converting, Yes ends.
        Find<QAction>(tray->menu(), "mnuTray(4)")->trigger();
        QCOMPARE(m_messages.texts.size(), 1);
        QCOMPARE(w->conversionState(), frmMain::Converting);
        QVERIFY(!w->isUnloading());
        m_messages.answer = AnsYes;
        Find<QAction>(tray->menu(), "mnuTray(4)")->trigger();
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
            Find<QAction>(w.get(), "mnuMenu(13)")->trigger();
        };
        auto checked = [](QWidget *dialog, const QString &name) {
            return Find<QAbstractButton>(dialog, name)->isChecked();
        };

        // What is stored shows; "Default" only sets the controls, and Cancel keeps nothing.
        open([&](QWidget *dialog) {
            QVERIFY(checked(dialog, "Opt_Close(0)") && checked(dialog, "Opt_Conversion(0)"));
            QVERIFY(!checked(dialog, "Chk_CheckUpdates"));
            Push(dialog, "Cmd_Panels(2)")->click();
            QVERIFY(checked(dialog, "Chk_CheckUpdates"));
            Push(dialog, "Cmd_Panels(0)")->click();
        });
        QCOMPARE(Settings().closeEvent, 1);
        QVERIFY(Settings().closeDontAskMe && !Settings().updateActive);
        QCOMPARE(ReadSetting("OutputFileName"), QStringLiteral("0"));

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

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsSet("TV_SHOW_WINDOW_ONCE"))
        return ShowWindowOnce(argc, argv);
    IsolatedHome home;
    SetHome(&home);
    QApplication app(argc, argv);
    FrmMainWindowTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_frmmain_window.moc"

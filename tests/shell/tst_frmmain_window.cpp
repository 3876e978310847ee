// The main window as a desktop window: its first size within the screen at any scale factor,
// its place, splitter and columns back at the next start, and Tab walking the layout.
#include "MainWindowDriver.h"
#include "OutputPanel.h"
#include "TestEnv.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
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

} // namespace

class FrmMainWindowTest : public QObject {
    Q_OBJECT

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
    void initTestCase() { PrepareMainWindowTests(); }

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
            QVERIFY2(room.adjusted(-2, -2, 2, 2).contains(frame), qPrintable(QStringLiteral("%1: %2,%3 %4x%5")
                                                                                 .arg(scale)
                                                                                 .arg(frame.x())
                                                                                 .arg(frame.y())
                                                                                 .arg(frame.width())
                                                                                 .arg(frame.height())));
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
        // The bottom rows in their order.
        const QList<QWidget *> expected = {
            w->findChild<QWidget *>("Txt_OutputPath"), w->Cmd_FileListView(frmMain::BrowseOutputButton),
            w->Cmd_FileListView(frmMain::OpenOutputButton), w->findChild<QWidget *>("Chk_Merge"), convert};
        qsizetype last = -1;
        for (QWidget *control : expected) {
            const qsizetype at = walked.indexOf(control);
            QVERIFY2(at > last, qPrintable(control->objectName()));
            last = at;
        }
        // Shift+Tab goes back the same way.
        QTest::keyClick(convert, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), walked.at(walked.size() - 2));
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

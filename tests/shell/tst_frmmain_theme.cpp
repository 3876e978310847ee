// Themes and the update check in the main window: switching Light and Dark from the menu, the
// boxes of a broken theme, and "Check for Updates..." against a local server.
#include "ImageStore.h"
#include "MainWindowDriver.h"
#include "MessageBox.h"
#include "OutputPanel.h"
#include "TestEnv.h"
#include "TextServer.h"
#include "UpdateCheck.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>

using namespace tv;
using namespace tv::test;

namespace {

QAction *Action(const QObject *owner, const QString &name) {
    return owner->findChild<QAction *>(name);
}

} // namespace

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

class FrmMainThemeTest : public QObject {
    Q_OBJECT
private:
    MessageRecorder m_messages{AnsOk};
    TextServer m_server;
    UrlRecorder m_urls;

private Q_SLOTS:
    void initTestCase() {
        qputenv("TUNEVANE_LINK_CHECKUPDATE", m_server.url("/check?p=PRODUCTNAME&v=VERSION").toUtf8());
        PrepareMainWindowTests();
        QDesktopServices::setUrlHandler("https", &m_urls, "open");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("https"); }

    void init() {
        m_messages.clear();
        WriteSetting("ThemeNo", "1");
        WriteSetting("UpdateActive", "0");
        qunsetenv("TUNEVANE_SKIN_DIR");
        SetThemeFolder(SkinFolder() + "Light");
    }

    void switchingThemesRecoloursAndRefillsThePanelsAndCheckForUpdatesAnswers() {
        auto w = StartMainWindow();
        QVERIFY(w);
        QVERIFY(Action(w.get(), "mnutheme(1)")->isChecked());
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() > 200);
        w->outputPanel()->SelectPanel(WebTab);
        QPointer<QToolButton> button = w->findChild<QToolButton *>("Cmd_OutoutWeb(0)");
        QVERIFY(button);
        const QImage lightIcon = w->Cmd_FileListView(0)->icon().pixmap(QSize(24, 24), 1.0).toImage();

        // The theme already shown: nothing is read or rebuilt.
        const int generation = ThemeGeneration();
        Action(w.get(), "mnutheme(1)")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ThemeGeneration(), generation);
        QVERIFY(button);
        QVERIFY(Action(w.get(), "mnutheme(1)")->isChecked());

        // Dark: stored, checked, dark windows, new pictures, the panels filled again on the same tab.
        Action(w.get(), "mnutheme(2)")->trigger();
        QCOMPARE(ReadSetting("ThemeNo"), QStringLiteral("2"));
        QVERIFY(Action(w.get(), "mnutheme(2)")->isChecked());
        QVERIFY(!Action(w.get(), "mnutheme(1)")->isChecked());
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 60);
        QVERIFY(ThemeGeneration() != generation);
        QTRY_VERIFY(!button);
        QCOMPARE(w->outputPanel()->currentTab(), int(WebTab));
        QVERIFY(w->findChild<QToolButton *>("Cmd_OutoutWeb(0)"));
        QVERIFY(w->Cmd_FileListView(0)->icon().pixmap(QSize(24, 24), 1.0).toImage() != lightIcon);
        QVERIFY(m_messages.texts.isEmpty());

        // "Check for Updates..." in the same window: a newer version gives its notes, and "Update Now" opens
        // the product page.
        w->updateCheck()->setTimeLimit(500);
        m_server.answer("1.1/Faster start/New skins/\r\n");
        {
            DialogCloser updates([&](QWidget *dialog) {
                QCOMPARE(dialog->objectName(), QStringLiteral("frmUpdates"));
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Tunevane Update"));
                QCOMPARE(Find<QLabel>(dialog, "lbl_Msg")->text(),
                         QStringLiteral("There is a new version of Tunevane available !"));
                const QString blanks(17, ' ');
                QCOMPARE(Find<QPlainTextEdit>(dialog, "Txt_Notes")->toPlainText(),
                         " Version 1.1\n" + blanks + "- Faster start\n" + blanks + "- New skins\n\n");
                Push(dialog, "Cmd_Msg(1)")->click();
            });
            Action(w.get(), "mnuMenu(7)")->trigger();
            QVERIFY(updates.waitForOne());
        }
        QCOMPARE(m_server.requests.last(), QStringLiteral("/check?p=Tunevane&v=1.0"));
        QCOMPARE(m_urls.opened, QList<QUrl>{QUrl(Config().linkHomepage)});

        // The running version itself is no update (the other answers are the update check's test).
        m_server.answer("1.0/Nothing new/\r\n");
        {
            DialogCloser none([&](QWidget *dialog) {
                QCOMPARE(dialog->objectName(), QStringLiteral("frmNoUpdates"));
                QCOMPARE(Find<QLabel>(dialog, "lbl_Msg")->text(),
                         QStringLiteral("You have the latest version of Tunevane."));
                Push(dialog, "Cmd_OK")->click();
            });
            Action(w.get(), "mnuMenu(7)")->trigger();
            QVERIFY(none.waitForOne());
        }
        QCOMPARE(m_urls.opened.size(), 1);

        // A restart keeps Dark.
        w->close();
        w.reset();
        auto again = StartMainWindow();
        QVERIFY(again);
        QVERIFY(Action(again.get(), "mnutheme(2)")->isChecked());
        QVERIFY(ThemeFolder().endsWith("/Dark/"));
    }

    void aBrokenThemeShowsItsBoxAndEndsTheProgram() {
        const QString root = CopyBuiltSkin(Home().path() + "/skin", {"Light", "Dark"});
        qputenv("TUNEVANE_SKIN_DIR", root.toLocal8Bit());
        QVERIFY(QDir(root + "Dark").removeRecursively());
        WriteFile(root + "Dark", "a file where the Dark folder belongs");
        {
            auto w = StartMainWindow();
            QVERIFY(w);
            Action(w.get(), "mnutheme(2)")->trigger();
            QCOMPARE(m_messages.texts,
                     QStringList{"Error in loading...|You have been denied permission to access "
                                 "this folder.\n\n" +
                                 root + "Dark/"});
            QVERIFY(w->isUnloading());
        }
        // Missing pictures: the other box, also at start.
        m_messages.clear();
        QFile::remove(root + "Dark");
        QDir().mkpath(root + "Dark");
        WriteSetting("ThemeNo", "2");
        frmMain w({});
        QVERIFY(!w.Form_Load());
        QCOMPARE(m_messages.texts,
                 QStringList{"Sorry!|Missing or corrupted resource files.\nPlease re-install the "
                             "program to solve this problem."});
        QCOMPARE(m_messages.styles, QList<int>{MsgCritical});
    }

    void theStartUpCheckAnnouncesANewVersion() {
        WriteSetting("UpdateActive", "-1");
        m_server.answer("2.0/Everything new/\r\n");
        const int asked = m_server.requests.size();
        DialogCloser notice([&](QWidget *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("frmUpdates"));
            Push(dialog, "Cmd_Msg(0)")->click();
        });
        auto w = StartMainWindow();
        QVERIFY(w);
        QVERIFY(notice.waitForOne());
        QCOMPARE(m_server.requests.size(), asked + 1);
        QVERIFY(m_urls.opened.size() <= 1);
    }
};

TV_TEST_MAIN(FrmMainThemeTest)
#include "tst_frmmain_theme.moc"

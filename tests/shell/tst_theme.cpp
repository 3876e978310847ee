// The two themes: every image of both sets draws, crisp at the screen's pixel ratio; the colour
// schemes recolour the windows; broken theme files give their error numbers and, in the main
// window, their boxes. Switching Light and Dark from the menu. The update check: the request
// address, the release notes and the answers of a local server, alone and from the menu.
#include "ImageStore.h"
#include "MainWindowDriver.h"
#include "TextServer.h"
#include "Theme.h"
#include "ThemeLoader.h"
#include "UpdateCheck.h"

#include <QDesktopServices>
#include <QPlainTextEdit>
#include <QToolButton>

using namespace tv;
using namespace tv::test;

namespace {

// Something is drawn: the picture is not one flat colour (or all transparent).
bool HasDrawing(const QImage &image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb first = argb.pixel(0, 0);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            if (argb.pixel(x, y) != first)
                return true;
        }
    }
    return false;
}

} // namespace

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

class ThemeTest : public QObject {
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

    void cleanup() {
        qunsetenv("TUNEVANE_SKIN_DIR");
        QCOMPARE(LoadTheme(1), 0);
    }

    void everyImageOfBothSetsDraws() {
        for (int themeNo : {1, 2}) {
            QCOMPARE(LoadTheme(themeNo), 0);
            QVERIFY(ThemeFolder().endsWith("/" + ThemeName(themeNo) + "/"));
            for (const QString &file : ThemeImageFiles() + ThemeIconFiles()) {
                QVERIFY2(QFileInfo::exists(ThemeFolder() + file), qPrintable(ThemeFolder() + file));
                const QPixmap picture = ThemePixmap(file);
                QVERIFY2(!picture.isNull(), qPrintable(file));
                QVERIFY2(HasDrawing(picture.toImage()), qPrintable(file));
            }
        }
    }

    void schemesRecolourAndIconsFollowTheTheme() {
        const QIcon menu = ThemeIcon("img_menu.png");
        QCOMPARE(LoadTheme(1), 0);
        const QImage light = menu.pixmap(QSize(32, 32), 1.0).toImage();
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() > 200);
        QCOMPARE(LoadTheme(2), 0);
        // The same icon object draws the Dark picture, and the windows turn dark.
        const QImage dark = menu.pixmap(QSize(32, 32), 1.0).toImage();
        QVERIFY(light != dark);
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 60);
        QVERIFY(QApplication::palette().color(QPalette::Text).lightness() > 200);
        QVERIFY(qApp->styleSheet().contains("QToolTip"));
        QVERIFY(!qApp->styleSheet().contains('@'));
    }

    void iconsAreDrawnAtTheDevicePixelRatio() {
        QCOMPARE(LoadTheme(1), 0);
        const QPixmap sharp = ThemeIcon("img_convert.png").pixmap(QSize(24, 24), 2.0);
        QCOMPARE(sharp.size(), QSize(48, 48));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        // Drawn at 48 pixels, not a 24-pixel picture blown up: it matches a direct 48-pixel drawing.
        QImage drawn = sharp.toImage().convertToFormat(QImage::Format_ARGB32);
        drawn.setDevicePixelRatio(1.0);
        QCOMPARE(drawn, ThemeIcon("img_convert.png")
                            .pixmap(QSize(48, 48), 1.0)
                            .toImage()
                            .convertToFormat(QImage::Format_ARGB32));
        const QPixmap cover = ThemePixmap("tag_cover_empty.jpg", QSize(100, 100));
        QCOMPARE(cover.deviceIndependentSize(), QSizeF(100, 100));
    }

    void brokenThemeFilesGiveTheirErrors() {
        const QString root = CopyBuiltSkin(Home().path() + "/skin", {"Light"});
        qputenv("TUNEVANE_SKIN_DIR", root.toLocal8Bit());
        QCOMPARE(LoadTheme(1), 0);
        // A file where the Dark folder should be: the folder cannot be opened.
        WriteFile(root + "Dark", "not a folder");
        QCOMPARE(LoadTheme(2), 70);
        QCOMPARE(ThemeFolder(), root + "Dark/");
        QFile::remove(root + "Dark");
        QCOMPARE(LoadTheme(2), 76);
        // A Dark folder without its scheme, then a scheme with a colour that is none.
        QVERIFY(QDir().mkpath(root + "Dark"));
        QFile::rename(root + "NormalBlack.ini", root + "Black.bak");
        QCOMPARE(LoadTheme(2), 53);
        WriteFile(root + "NormalBlack.ini", "[Palette]\nWindow=#1f2327\nText=bright\n");
        QCOMPARE(LoadTheme(2), 13);
        QFile::remove(root + "NormalBlack.ini");
        QFile::rename(root + "Black.bak", root + "NormalBlack.ini");
        // An empty folder: the first image is missing; a drawing that is no SVG is corrupt.
        QCOMPARE(LoadTheme(2), 53);
        for (const QString &name : QDir(root + "Light").entryList(QDir::Files))
            QFile::copy(root + "Light/" + name, root + "Dark/" + name);
        QCOMPARE(LoadTheme(2), 0);
        WriteFile(root + "Dark/img_stop.png.svg", "<svg");
        QCOMPARE(LoadTheme(2), 481);
    }

    void schemeFilesAreReadWhole() {
        const QString path = Home().path() + "/scheme.ini";
        WriteFile(path, "; a comment\n[Disabled]\nText=#808080\n[Palette]\nText=#101010\nWindow=#fafafa\n"
                        "[StyleSheet]\nAccent=#ff0000\nAccentText=#00ff00\n");
        ColourScheme scheme;
        QCOMPARE(ReadColourScheme(path, &scheme), 0);
        QCOMPARE(scheme.palette.color(QPalette::Active, QPalette::Text), QColor("#101010"));
        // Disabled colours win over the general ones, whichever section comes first.
        QCOMPARE(scheme.palette.color(QPalette::Disabled, QPalette::Text), QColor("#808080"));
        QCOMPARE(scheme.palette.color(QPalette::Disabled, QPalette::Window), QColor("#fafafa"));
        const QString sheet = SkinStyleSheet(scheme, "/skin/Dark/");
        QVERIFY(sheet.contains("QProgressBar::chunk { background: #ffff0000;"));
        // Rules whose colours the scheme does not name are left out.
        QVERIFY(!sheet.contains("QToolTip") && !sheet.contains('@'));
        scheme.sheetColours.insert("IndicatorBack", Qt::black);
        QVERIFY(SkinStyleSheet(scheme, "/skin/Dark/").contains("url(/skin/Dark/img_small_check.png.svg)"));
        WriteFile(path, "[StyleSheet]\nAccent=#ff0000\n");
        QCOMPARE(ReadColourScheme(path, &scheme), 13); // no palette at all
        WriteFile(path, "[Palette]\nWindow=#1f2327\nGlow=#ffffff\n");
        QCOMPARE(ReadColourScheme(path, &scheme), 13); // a colour role that does not exist
    }

    void switchingThemesRecoloursAndRefillsThePanelsAndCheckForUpdatesAnswers() {
        auto w = StartMainWindow();
        QVERIFY(w);
        QVERIFY(Find<QAction>(w.get(), "mnutheme(1)")->isChecked());
        w->outputPanel()->SelectPanel(WebTab);
        QPointer<QToolButton> button = w->findChild<QToolButton *>("Cmd_OutoutWeb(0)");
        QVERIFY(button);
        const QImage lightIcon = w->Cmd_FileListView(0)->icon().pixmap(QSize(24, 24), 1.0).toImage();

        // The theme already shown: nothing is read or rebuilt.
        const int generation = ThemeGeneration();
        Find<QAction>(w.get(), "mnutheme(1)")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ThemeGeneration(), generation);
        QVERIFY(button);

        // Dark: stored, checked, new pictures, the panels filled again on the same tab (the
        // colours are the theme's own test).
        Find<QAction>(w.get(), "mnutheme(2)")->trigger();
        QCOMPARE(ReadSetting("ThemeNo"), QStringLiteral("2"));
        QVERIFY(Find<QAction>(w.get(), "mnutheme(2)")->isChecked());
        QTRY_VERIFY(!button);
        QCOMPARE(w->outputPanel()->currentTab(), int(WebTab));
        QVERIFY(w->findChild<QToolButton *>("Cmd_OutoutWeb(0)"));
        QVERIFY(w->Cmd_FileListView(0)->icon().pixmap(QSize(24, 24), 1.0).toImage() != lightIcon);
        QVERIFY(m_messages.texts.isEmpty());

        // "Check for Updates..." in the same window: a newer version gives its notes (their layout
        // is the update check's test), and "Update Now" opens the product page.
        w->updateCheck()->setTimeLimit(500);
        m_server.answer("1.1/Faster start/New skins/\r\n");
        {
            DialogCloser updates([&](QWidget *dialog) {
                QCOMPARE(dialog->objectName(), QStringLiteral("frmUpdates"));
                QVERIFY(Find<QPlainTextEdit>(dialog, "Txt_Notes")->toPlainText().contains("- New skins"));
                Push(dialog, "Cmd_Msg(1)")->click();
            });
            Find<QAction>(w.get(), "mnuMenu(7)")->trigger();
            QVERIFY(updates.waitForOne());
        }
        QCOMPARE(m_server.requests.last(), QStringLiteral("/check?p=Tunevane&v=1.0"));
        QCOMPARE(m_urls.opened, QList<QUrl>{QUrl(Config().linkHomepage)});

        // The running version itself is no update (the other answers are the update check's test).
        m_server.answer("1.0/Nothing new/\r\n");
        {
            DialogCloser none;
            Find<QAction>(w.get(), "mnuMenu(7)")->trigger();
            QVERIFY(none.waitForOne());
            QCOMPARE(none.seen, QStringList{"frmNoUpdates"});
        }
        QCOMPARE(m_urls.opened.size(), 1);

        w->close();
        w.reset();
        auto again = StartMainWindow();
        QVERIFY(again);
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
            Find<QAction>(w.get(), "mnutheme(2)")->trigger();
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

    void theAddressCarriesProductAndVersion() {
        QCOMPARE(
            UpdateUrl("https://x.org/u?p=PRODUCTNAME&n=productName&v=VERSION&w=version", "My Tool", "4.5"),
            QStringLiteral("https://x.org/u?p=My%20Tool&n=My%20Tool&v=4.5&w=version"));
    }

    void releaseNotesFollowTheReleaseList() {
        const QString blanks(17, ' ');
        // The newer version with its notes, each line ending in CR LF, then an empty line.
        QString notes;
        QVERIFY(UpdateAvailable("4.6/Faster start/New skins/", "4.5", &notes));
        QCOMPARE(notes, " Version 4.6\r\n" + blanks + "- Faster start\r\n" + blanks + "- New skins\r\n\r\n");

        // Without the closing "/" the last note is the skipped last field.
        QVERIFY(UpdateAvailable("4.6/Faster start", "4.5", &notes));
        QCOMPARE(notes, QStringLiteral(" Version 4.6\r\n\r\n"));

        // "0", an empty answer and the running version itself mean no update.
        QVERIFY(!UpdateAvailable("0", "4.5", &notes));
        QVERIFY(!UpdateAvailable(" \r\n", "4.5", &notes));
        QVERIFY(!UpdateAvailable("4.5/Same/", "4.5", &notes));
        QVERIFY(notes.isEmpty());

        // Older lines add nothing; versions are numbers, so 4.10 is older than 4.5.
        QVERIFY(UpdateAvailable("4.4/Old/\r\n4.10/Ten/\r\n5.0/Five/\r\n", "4.5", &notes));
        QCOMPARE(notes, " Version 5.0\r\n" + blanks + "- Five\r\n\r\n");
        QCOMPARE(VersionNumber(" 4.6 beta"), 4.6);
        QCOMPARE(VersionNumber("beta"), 0.0);
    }

    // An error page is no release list, whatever it says (a good answer is the menu's test).
    void anErrorPageIsNoUpdate() {
        TextServer server;
        UpdateCheck check;
        QSignalSpy finished(&check, &UpdateCheck::finished);
        server.answer("4.6/Faster start/", 404);
        check.start(server.url("/update"), "4.5");
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.takeFirst().first().toBool(), false);
        QVERIFY(check.releaseNotes().isEmpty());
    }

    void aServerThatNeverAnswersEndsAtTheTimeLimit() {
        TextServer server;
        server.stayQuiet();
        UpdateCheck check;
        check.setTimeLimit(300);
        QSignalSpy finished(&check, &UpdateCheck::finished);
        check.start(server.url("/update"), "4.5");
        QVERIFY(check.isRunning());
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(server.requests.size(), 1);
        QVERIFY(!check.isRunning());

        check.start("http://127.0.0.1:9/update", "4.5");
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.last().first().toBool(), false);
    }
};

TV_TEST_MAIN(ThemeTest)
#include "tst_theme.moc"

// The two themes: every image of both sets draws, crisp at the screen's pixel ratio; the
// colour schemes recolour the windows; broken theme files give their error numbers.
#include "ImageStore.h"
#include "TestEnv.h"
#include "Theme.h"
#include "ThemeLoader.h"

#include <QApplication>
#include <QImage>

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

class ThemeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
};

TV_TEST_MAIN(ThemeTest)
#include "tst_theme.moc"

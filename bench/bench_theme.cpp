// Theme costs: loading a theme (scheme and every image of the set), drawing the whole set from
// its SVG at pixel ratios 1 and 2, and, for comparison, reading the build's raster files.
// Prints figures and ratios only.
#include "ImageStore.h"
#include "Theme.h"
#include "ThemeLoader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QPixmap>
#include <cstdio>

using namespace tv;

namespace {

// Milliseconds that work takes, the best of a few rounds.
template <class Work> double BestOf(int rounds, Work work) {
    double best = 1e12;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList files = ThemeImageFiles() + ThemeIconFiles();
    std::printf("theme images: %lld per set\n", static_cast<long long>(files.size()));
    for (int themeNo : {1, 2}) {
        const double load = BestOf(5, [&]() { LoadTheme(themeNo); });
        std::printf("%-5s load (scheme, skin, every image read): %7.2f ms\n", qPrintable(ThemeName(themeNo)),
                    load);
    }
    LoadTheme(1);
    for (const qreal ratio : {1.0, 2.0}) {
        const int size = 24;
        const double draw = BestOf(3, [&]() {
            SetThemeFolder(SkinFolder() + "Light"); // drawn anew, not taken from the store's cache
            for (const QString &file : files)
                ThemeIcon(file).pixmap(QSize(size, size), ratio);
        });
        std::printf("draw the set from SVG at 24 px, ratio %.0f:      %7.2f ms (%.3f ms an image)\n", ratio,
                    draw, draw / files.size());
    }
    const QString folder = ThemeFolder();
    const double raster = BestOf(3, [&]() {
        for (const QString &file : files)
            QPixmap(folder + file);
    });
    const double svg = BestOf(3, [&]() {
        SetThemeFolder(SkinFolder() + "Light");
        for (const QString &file : files)
            ThemePixmap(file);
    });
    std::printf("read the raster files instead:                  %7.2f ms\n", raster);
    std::printf("draw at own size from SVG / read raster:        %7.2f\n", raster > 0 ? svg / raster : 0.0);
    return 0;
}

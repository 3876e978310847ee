// Build-time tool: renders one SVG source into the raster image the program loads, at the
// drawing's own size or, for the desktop's icon folders, at a given square size.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[]) {
    // Rendering needs no screen; the offscreen platform keeps the build headless.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: tunevane-skin-render SOURCE.svg OUTPUT [SIZE]\n");
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    const bool opaque =
        out.endsWith(".jpg", Qt::CaseInsensitive) || out.endsWith(".bmp", Qt::CaseInsensitive);
    const int side = argc == 4 ? QString::fromLocal8Bit(argv[3]).toInt() : 0;
    const QSize size = side > 0 ? QSize(side, side) : renderer.defaultSize();
    QImage image(size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::white : Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    if (!image.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

#include "ImageStore.h"

#include "Config.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <memory>

namespace tv {

namespace {

Q_LOGGING_CATEGORY(lcImages, "tunevane.images")

// One image of the theme: its vector drawing, or the raster file where there is none.
struct ImageSource {
    std::shared_ptr<QSvgRenderer> svg;
    QImage raster;
    int error = 0;
    QSize size() const { return svg ? svg->defaultSize() : raster.size(); }
};

// Everything below belongs to the UI thread.
QString gThemeFolder;
int gGeneration = 0;
QHash<QString, ImageSource> gSources;
QHash<QString, QPixmap> gPixmaps; // drawn pictures by name, device size and mode

QString FindSkinRoot() {
    const QByteArray over = qgetenv("TUNEVANE_SKIN_DIR");
    if (!over.isEmpty())
        return WithTrailingSlash(QString::fromLocal8Bit(over));
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString app = QCoreApplication::applicationDirPath();
        candidates << app + "/Skin" << app + "/../share/tunevane/Skin";
    }
    candidates << QStringLiteral(TUNEVANE_BUILD_DIR "/Skin");
    for (const QString &c : candidates) {
        if (QFileInfo(c).isDir())
            return WithTrailingSlash(QDir::cleanPath(c));
    }
    return QString();
}

void ForgetImages() {
    gSources.clear();
    gPixmaps.clear();
    ++gGeneration;
}

// Reads a file whole; the error number says why it could not be read.
int ReadWhole(const QString &path, QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.error() == QFileDevice::PermissionsError ? 70 : 53;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? 0 : 70;
}

ImageSource ReadSource(const QString &fileName) {
    ImageSource source;
    const QString path = ThemeFolder() + fileName;
    QByteArray bytes;
    if (QFileInfo::exists(path + QStringLiteral(".svg"))) {
        source.error = ReadWhole(path + QStringLiteral(".svg"), bytes);
        if (source.error == 0) {
            source.svg = std::make_shared<QSvgRenderer>(bytes);
            if (!source.svg->isValid() || source.svg->defaultSize().isEmpty()) {
                source.svg.reset();
                source.error = 481;
            }
        }
        return source;
    }
    if (!QFileInfo::exists(path)) {
        source.error = 53;
        return source;
    }
    source.error = ReadWhole(path, bytes);
    if (source.error == 0 && !source.raster.loadFromData(bytes))
        source.error = 481;
    return source;
}

const ImageSource &SourceOf(const QString &fileName) {
    auto it = gSources.constFind(fileName);
    if (it == gSources.constEnd()) {
        it = gSources.insert(fileName, ReadSource(fileName));
        if (it->error != 0)
            qCWarning(lcImages) << "cannot draw" << ThemeFolder() + fileName << "error" << it->error;
    }
    return *it;
}

// The size the image takes inside a box, keeping its proportions.
QSize FittedSize(const ImageSource &source, const QSize &box) {
    QSize size = source.size();
    if (size.isEmpty() || box.isEmpty())
        return box;
    size.scale(box, Qt::KeepAspectRatio);
    return size.expandedTo(QSize(1, 1));
}

QPixmap Draw(const ImageSource &source, const QSize &pixels) {
    if (source.svg) {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        source.svg->render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
        painter.end();
        return QPixmap::fromImage(image);
    }
    if (source.raster.isNull())
        return QPixmap();
    if (source.raster.size() == pixels)
        return QPixmap::fromImage(source.raster);
    return QPixmap::fromImage(source.raster.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

// The image drawn at a size in device pixels for a pixel ratio, kept until the theme changes.
QPixmap CachedPixmap(const QString &fileName, const QSize &pixels, QIcon::Mode mode, qreal ratio = 1.0) {
    const ImageSource &source = SourceOf(fileName);
    if (source.error != 0 || pixels.isEmpty())
        return QPixmap();
    const QString key = QStringLiteral("%1|%2x%3|%4|%5")
                            .arg(fileName)
                            .arg(pixels.width())
                            .arg(pixels.height())
                            .arg(int(mode))
                            .arg(ratio);
    auto it = gPixmaps.constFind(key);
    if (it != gPixmaps.constEnd())
        return *it;
    QPixmap pixmap = Draw(source, pixels);
    if (mode == QIcon::Disabled && qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QStyleOption option;
        option.palette = QApplication::palette();
        pixmap = QApplication::style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
    }
    pixmap.setDevicePixelRatio(ratio);
    gPixmaps.insert(key, pixmap);
    return pixmap;
}

qreal ScreenPixelRatio() {
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? qApp->devicePixelRatio() : 1.0;
}

// Draws the image of the current theme each time it is asked, so a theme switch needs
// nothing more than a repaint of the windows.
class ThemeIconEngine : public QIconEngine {
public:
    explicit ThemeIconEngine(const QString &fileName) : m_fileName(fileName) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        const QSize logical = actualSize(rect.size(), mode, state);
        const QPixmap pixmap = CachedPixmap(m_fileName, logical * ratio, mode, ratio);
        const QPoint at(rect.x() + (rect.width() - logical.width()) / 2,
                        rect.y() + (rect.height() - logical.height()) / 2);
        painter->drawPixmap(QRect(at, logical), pixmap);
    }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override {
        return FittedSize(SourceOf(m_fileName), size);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return CachedPixmap(m_fileName, actualSize(size, mode, state), mode);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {SourceOf(m_fileName).size()}; }
    QString key() const override { return QStringLiteral("tunevane-theme"); }
    QString iconName() override { return m_fileName; }
    bool isNull() override { return SourceOf(m_fileName).error != 0; }
    QIconEngine *clone() const override { return new ThemeIconEngine(m_fileName); }

private:
    QString m_fileName;
};

} // namespace

QString SkinFolder() {
    return FindSkinRoot();
}

QString ThemeFolder() {
    if (gThemeFolder.isEmpty()) {
        const QString root = FindSkinRoot();
        if (!root.isEmpty())
            gThemeFolder = root + QStringLiteral("Light/"); // until a theme is loaded
    }
    return gThemeFolder;
}

void SetThemeFolder(const QString &folder) {
    gThemeFolder = WithTrailingSlash(folder);
    ForgetImages();
}

int ThemeGeneration() {
    return gGeneration;
}

QPixmap ThemePixmap(const QString &fileName) {
    return ThemePixmap(fileName, SourceOf(fileName).size());
}

QPixmap ThemePixmap(const QString &fileName, const QSize &size) {
    const qreal ratio = ScreenPixelRatio();
    const QSize logical = FittedSize(SourceOf(fileName), size);
    return CachedPixmap(fileName, logical * ratio, QIcon::Normal, ratio);
}

QIcon ThemeIcon(const QString &fileName) {
    return QIcon(new ThemeIconEngine(fileName));
}

int LoadThemeImage(const QString &fileName) {
    return SourceOf(fileName).error;
}

} // namespace tv

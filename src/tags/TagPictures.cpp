#include "TagPictures.h"

#include "Config.h"
#include "PresetIdentifier.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace tv {

namespace {

constexpr qint64 kMaxPictureFileBytes = 64 * 1024 * 1024;

// Decodes a picture no larger than maxSide pixels on its longer side (0: as it is).
QImage DecodePicture(const QByteArray &data, int maxSide) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (maxSide > 0 && size.isValid() && std::max(size.width(), size.height()) > maxSide)
        reader.setScaledSize(size.scaled(maxSide, maxSide, Qt::KeepAspectRatio));
    return reader.read();
}

QByteArray Encode(const QImage &image, const char *format, int quality = -1) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        return QByteArray();
    return out;
}

} // namespace

PictureKind PictureKindOf(const QByteArray &data) {
    if (data.size() < 4)
        return PictureKind::None;
    if (data.startsWith("\xFF\xD8\xFF"))
        return PictureKind::Jpeg;
    if (data.startsWith("\x89PNG\r\n\x1A\n"))
        return PictureKind::Png;
    if (data.startsWith("BM"))
        return PictureKind::Bmp;
    if (data.startsWith("GIF8"))
        return PictureKind::Gif;
    return PictureKind::Other;
}

QString PictureMimeType(PictureKind kind) {
    switch (kind) {
    case PictureKind::Jpeg:
        return QStringLiteral("image/jpeg");
    case PictureKind::Png:
        return QStringLiteral("image/png");
    case PictureKind::Bmp:
        return QStringLiteral("image/bmp");
    case PictureKind::Gif:
        return QStringLiteral("image/gif");
    default:
        return QString();
    }
}

QByteArray ReadPictureFile(const QString &path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxPictureFileBytes)
        return QByteArray();
    return file.readAll();
}

QByteArray PreparePictureForTag(const QByteArray &data) {
    const PictureKind kind = PictureKindOf(data);
    if (kind == PictureKind::None)
        return QByteArray();
    if ((kind == PictureKind::Jpeg || kind == PictureKind::Png) && data.size() <= kMaxTagPictureBytes) {
        // Trusted as they are, but only when a decoder agrees they are a picture at all.
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        return QImageReader(&buffer).canRead() ? data : QByteArray();
    }
    if (data.size() <= kMaxTagPictureBytes) {
        const QImage image = DecodePicture(data, 0);
        if (image.isNull())
            return QByteArray();
        const QByteArray png = Encode(image, "png");
        if (!png.isEmpty() && png.size() <= kMaxTagPictureBytes)
            return png;
    }
    // Too big for a tag: a smaller JPEG, halved until it fits.
    for (int side = 3000; side >= 250; side /= 2) {
        const QImage image = DecodePicture(data, side);
        if (image.isNull())
            return QByteArray();
        const QByteArray jpeg = Encode(image.convertToFormat(QImage::Format_RGB888), "jpeg", 90);
        if (!jpeg.isEmpty() && jpeg.size() <= kMaxTagPictureBytes)
            return jpeg;
    }
    return QByteArray();
}

bool SavePictureAsJpeg(const QByteArray &data, const QString &path) {
    if (data.isEmpty())
        return false;
    QByteArray bytes = data;
    if (PictureKindOf(data) != PictureKind::Jpeg) {
        const QImage image = DecodePicture(data, 0);
        if (!image.isNull()) {
            const QByteArray jpeg = Encode(image.convertToFormat(QImage::Format_RGB888), "jpeg", 95);
            if (!jpeg.isEmpty())
                bytes = jpeg;
        }
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString StoreCoverCopy(const QString &picturePath, const QString &tempFolder) {
    QFile source(picturePath);
    if (picturePath.isEmpty() || !source.open(QIODevice::ReadOnly))
        return QString();
    QString folder = !tempFolder.isEmpty() ? tempFolder : Paths().tempFolder;
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QString suffix = QFileInfo(picturePath).suffix();
    const QString target = WithTrailingSlash(folder) + QStringLiteral("tagimg_") + NewPresetID() +
                           (suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix);
    QDir().mkpath(folder);
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly))
        return QString();
    while (!source.atEnd()) {
        const QByteArray block = source.read(1024 * 1024);
        if (block.isEmpty() || copy.write(block) != block.size()) {
            copy.cancelWriting();
            return QString();
        }
    }
    return copy.commit() ? target : QString();
}

bool ConvertPictureFile(const QString &source, const QString &target, int filterIndex) {
    static const char *const kFormats[] = {"jpeg", "png", "bmp"};
    if (filterIndex < 1 || filterIndex > 3)
        return false;
    QImageReader reader(source);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, kFormats[filterIndex - 1]);
    const QImage out = filterIndex == 1 ? image.convertToFormat(QImage::Format_RGB888) : image;
    if (!writer.write(out)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tv

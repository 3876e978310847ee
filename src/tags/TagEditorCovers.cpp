#include "TagEditorCovers.h"

#include "Config.h"
#include "FileListModel.h"
#include "MediaItem.h"
#include "MediaItemTags.h"
#include "PresetIdentifier.h"
#include "TagPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <unistd.h>

namespace tv {

namespace {

QString TempFolder() {
    const QString folder = Paths().tempFolder;
    return WithTrailingSlash(folder.isEmpty() ? QDir::tempPath() : folder);
}

} // namespace

QString ItemCoverPath(const MediaItem &item) {
    return TagRecordOfItem(item).picturePath;
}

bool IsOwnPictureFile(const QString &path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!name.startsWith(QLatin1String("tagimg_")) && !name.startsWith(QLatin1String("thumbnail_")))
        return false;
    return WithTrailingSlash(QDir::cleanPath(info.absolutePath())) ==
           WithTrailingSlash(QDir::cleanPath(QFileInfo(TempFolder()).absoluteFilePath()));
}

QString StoreItemCover(const QString &picturePath) {
    if (picturePath.isEmpty() || !QFileInfo(picturePath).isFile())
        return QString();
    if (IsOwnPictureFile(picturePath)) {
        // Our own files are never changed once written, so a second name for the same bytes is
        // as good as a copy: removing one row's file leaves the others' in place.
        const QString suffix = QFileInfo(picturePath).suffix();
        const QString target = TempFolder() + QStringLiteral("tagimg_") + NewPresetID() +
                               (suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix);
        if (::link(QFile::encodeName(picturePath).constData(), QFile::encodeName(target).constData()) == 0)
            return target;
    }
    return StoreCoverCopy(picturePath, TempFolder());
}

void ReleaseCoverFile(const QString &path, const FileListModel &list) {
    if (!IsOwnPictureFile(path))
        return;
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.item(row, Item::Thumbnail) == path)
            return;
    }
    QFile::remove(path);
}

bool IsReadablePicture(const QString &path) {
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QImageReader reader(path);
    return reader.canRead();
}

CoverPreview LoadCoverPreview(const QString &path, const QSize &box) {
    CoverPreview preview;
    if (path.isEmpty())
        return preview;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (size.isValid() && reader.transformation().testFlag(QImageIOHandler::TransformationRotate90))
        size.transpose();
    if (size.isValid() && box.isValid() && (size.width() > box.width() || size.height() > box.height())) {
        QSize scaled = size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        // The reader scales before it turns the picture upright.
        if (reader.transformation().testFlag(QImageIOHandler::TransformationRotate90))
            scaled.transpose();
        reader.setScaledSize(scaled);
    }
    preview.image = reader.read();
    if (preview.image.isNull())
        return CoverPreview();
    preview.size = size.isValid() ? size : preview.image.size();
    if (box.isValid() && (preview.image.width() > box.width() || preview.image.height() > box.height()))
        preview.image = preview.image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return preview;
}

QString ImageSizeText(const QSize &size) {
    return QStringLiteral("Image Size : %1 x %2").arg(size.width()).arg(size.height());
}

PictureTarget SaveAsTarget(const QString &chosenPath, int filterIndex) {
    static const char *const kExtensions[] = {"jpg", "png", "bmp"};
    PictureTarget target{chosenPath, 0};
    if (chosenPath.isEmpty())
        return target;
    const QString suffix = QFileInfo(chosenPath).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        target.format = 1;
    else if (suffix == QLatin1String("png"))
        target.format = 2;
    else if (suffix == QLatin1String("bmp"))
        target.format = 3;
    else if (filterIndex >= 1 && filterIndex <= 3) {
        target.format = filterIndex;
        target.path = chosenPath + QStringLiteral(".") + QLatin1String(kExtensions[filterIndex - 1]);
    }
    return target;
}

} // namespace tv

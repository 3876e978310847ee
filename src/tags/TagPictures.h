#pragma once
// Cover pictures between tags and files: what kind of picture some bytes are, making them fit
// into a tag, and saving a tag's picture as a file.

#include <QByteArray>
#include <QString>

namespace tv {

// Largest picture put into a tag. A FLAC metadata block cannot hold 16 MiB, and players choke
// on covers much bigger than that anyway.
inline constexpr qsizetype kMaxTagPictureBytes = 16'000'000;

enum class PictureKind { None, Jpeg, Png, Bmp, Gif, Other };

// The kind of picture the bytes are, from their first bytes.
PictureKind PictureKindOf(const QByteArray &data);
QString PictureMimeType(PictureKind kind);

// Reads a picture file; empty when it cannot be read or is larger than a picture can sensibly be
// (64 MB).
QByteArray ReadPictureFile(const QString &path);

// Picture bytes ready for a tag: JPEG and PNG pictures as they are, other images converted to
// PNG, pictures over kMaxTagPictureBytes re-encoded as a smaller JPEG. Empty when the bytes are no
// picture that can be read.
QByteArray PreparePictureForTag(const QByteArray &data);

// Saves a tag's picture as a JPEG file (the file is replaced as a whole, never left half
// written): JPEG bytes as they are, other pictures converted; bytes that cannot be decoded are
// kept as they are, so no picture is lost.
bool SavePictureAsJpeg(const QByteArray &data, const QString &path);

// Copies a chosen cover into the temporary folder (the program's when tempFolder is empty) as
// "tagimg_" + a new identifier + "." + the picture's extension, replacing a file of that name, so
// that later conversions do not depend on where the picture came from. Answers the copy's path,
// or "" when the picture cannot be copied.
QString StoreCoverCopy(const QString &picturePath, const QString &tempFolder = QString());

// Saves a picture file in another image format, as the "Save As" of a cover offers them:
// filterIndex 1 writes JPEG, 2 PNG, 3 BMP; any other index writes nothing. False when nothing was
// written (also when the source is no readable picture or the target cannot be written).
bool ConvertPictureFile(const QString &source, const QString &target, int filterIndex);

} // namespace tv

#pragma once
// The cover pictures of the tag editor: which picture an item holds as its cover, the per-row
// cover files in the temporary folder, previews small enough to show at once, and the files
// "Save As" writes.

#include <QImage>
#include <QSize>
#include <QString>

namespace tv {

class FileListModel;
class MediaItem;

// The item's cover as its outputs get it (item 43, unless that is a video's thumbnail).
QString ItemCoverPath(const MediaItem &item);

// Whether a path is one of the program's own per-row picture files ("tagimg_", "thumbnail_")
// in its temporary folder.
bool IsOwnPictureFile(const QString &path);

// A new per-row cover file ("tagimg_" + identifier + the picture's extension in the temporary
// folder) holding the picture. The program's own files are hard-linked, which costs neither
// time nor space however many rows get the picture; other pictures are copied, so the row no
// longer depends on the drive they came from. "" when neither works.
QString StoreItemCover(const QString &picturePath);

// Deletes one of the program's own picture files once no row of the list refers to it any more.
void ReleaseCoverFile(const QString &path, const FileListModel &list);

// Whether the file is a picture that can be read (judged from its first bytes).
bool IsReadablePicture(const QString &path);

// A picture scaled down to fit a box, for showing, with its real size. Large pictures are
// decoded at the smaller size where the format allows, so a 30 MB cover costs little.
struct CoverPreview {
    QImage image; // null when the file is no picture that can be read
    QSize size;   // the picture's own width and height
};
CoverPreview LoadCoverPreview(const QString &path, const QSize &box);

// "Image Size : 600 x 600"
QString ImageSizeText(const QSize &size);

// Where "Save As" writes and in which format (1 JPEG, 2 PNG, 3 BMP, 0 nothing). A name that
// ends in one of the three picture extensions keeps it and gets that format, so name and content
// agree; any other name gets the chosen filter's format and its extension appended.
struct PictureTarget {
    QString path;
    int format = 0;
};
PictureTarget SaveAsTarget(const QString &chosenPath, int filterIndex);

} // namespace tv

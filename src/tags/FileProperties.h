#pragma once
// The texts of the tag editor's "Format" page: the file's size, dates and attributes, and the
// stream details of its media item.

#include <QDateTime>
#include <QList>
#include <QString>

class QFileInfo;

namespace tv {

class MediaItem;

// "1.18 MB (1,234,567 bytes)": the size text and the byte count with its digits grouped.
QString FileSizeText(qint64 bytes);

// "Tuesday, March 05, 2024, 02:07:09 PM"; "" for an invalid date.
QString FileDateText(const QDateTime &when);

// The attributes that are set, as "Hidden, Read-only" ("Normal" when none is). A name starting
// with "." is hidden; a file its owner may not write is read-only.
QString FileAttributesText(const QFileInfo &file);

struct PropertyLine {
    QString title;
    QString value; // "Not Available" when unknown
    bool available = false;
};

// The lines of the page for an item, read from its file and its fields.
QList<PropertyLine> FilePropertyLines(const MediaItem &item);

} // namespace tv

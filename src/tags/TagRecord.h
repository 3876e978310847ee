#pragma once
// The tag values of one media item, as the tag reader fills them and the tag writer stores them.

#include <QByteArray>
#include <QString>

namespace tv {

struct TagRecord {
    QString year;  // year or date text
    QString track; // track number text, taken as found ("3", "3/12")
    QString artist;
    QString title;
    QString album;
    QString genre; // free text; GenreNames() are the offered choices
    QString copyright;
    QString composer;
    QString commentLanguage;      // language of the first ID3v2 comment frame (three letters)
    QString commentDescription;   // description of the first ID3v2 comment frame
    qint16 commentFrameCount = 0; // number of ID3v2 comment frames found
    QString comment;
    qint16 pictureCount = 0; // number of pictures found in the tag

    // The cover: a picture file (exported from an input, or chosen in the tag editor), or the
    // picture's bytes themselves. The bytes win when both are given; neither means no cover.
    QString picturePath;
    QByteArray pictureData;

    bool HasPicture() const { return !pictureData.isEmpty() || !picturePath.isEmpty(); }
};

} // namespace tv

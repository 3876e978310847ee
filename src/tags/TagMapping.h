#pragma once
// Which tag blocks of a loaded file are read and written, and the mapping of the tag record's
// fields onto each of them.

#include "TagRecord.h"

#include <QByteArray>
#include <QString>

namespace tv {

class TagManager;

// The tag families of the file loaded in a TagManager. Read flags are the tag blocks present in
// the file; write flags are the blocks written for its file type. Both belong to one loaded file
// and are set together by DetectTagFamilies.
struct TagFamilies {
    int fileType = -1;
    QString typeName;
    int readFlags = 0;  // TagFamily bits
    int writeFlags = 0; // TagFamily bits

    void Clear() { *this = TagFamilies(); }
    bool Reads(int family) const { return (readFlags & family) != 0; }
    bool Writes(int family) const { return (writeFlags & family) != 0; }
};

// The type name of a file type code ("" for a code the table lacks); codes 5 and 20 take part of
// their name from the loaded file.
QString FileTypeName(int fileType, const TagManager &manager);
// The TagFamily bits written for a file type code.
int WriteFamiliesOf(int fileType);

// Sets the families of the loaded file; answers its type name.
QString DetectTagFamilies(const TagManager &manager, TagFamilies *families);

// Fills the record from every family whose read flag is set, in the order ID3v2, ID3v1, APE,
// FLAC, MP4, OGG Vorbis, WMA, RIFF INFO: a later family overwrites what an earlier one gave,
// empty values included. A field that cannot be read leaves the record's value.
void ReadTags(const TagManager &manager, const TagFamilies &families, TagRecord *record);

// Writes every field each write family maps (empty values included, which clears them) and
// commits the ID3v2 and RIFF INFO blocks. The other families are stored by TagManager::Save().
// Answers TagResultOk or the first failing commit's result.
int WriteTags(TagManager &manager, const TagFamilies &families, const TagRecord &record);

// Saves the file's picture (front cover first) from the first of ID3v2, FLAC, MP4, WMA whose read
// flag is set and that has one, as a JPEG file. False when there is none or it cannot be saved.
bool ExportCoverPicture(const TagManager &manager, const TagFamilies &families, const QString &path);

// Puts the picture in as front cover into each of ID3v2, MP4, WMA and FLAC whose read flag is
// set. The picture is a file, or bytes (PreparePictureForTag is applied to both). False when the
// picture cannot be read or no family took it.
bool WriteCoverPicture(TagManager &manager, const TagFamilies &families, const QString &picturePath);
// Whether any tag block of the file takes a cover.
bool TakesCover(const TagFamilies &families);
bool WriteCoverPicture(TagManager &manager, const TagFamilies &families, const QByteArray &picture);

} // namespace tv

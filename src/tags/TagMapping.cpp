#include "TagMapping.h"

#include "TagFields.h"
#include "TagManager.h"
#include "TagManagerPrivate.h"
#include "TagPictures.h"

#include <vector>

namespace tv {

namespace {

using namespace TagField;

// The cover families, in reading order; Vorbis comments carry covers in Opus files only.
constexpr int kCoverFamilies[] = {TagFamilyId3v2, TagFamilyFlac, TagFamilyMp4, TagFamilyWma,
                                  TagFamilyOggVorbis};

bool CarriesCover(const TagFamilies &families, int family) {
    return families.Reads(family) && (family != TagFamilyOggVorbis || families.fileType == FileTypeOpus);
}

// Sets *field when the read succeeded; a field that cannot be read keeps its value.
void Take(bool ok, const QString &value, QString *field) {
    if (ok)
        *field = value;
}

void ReadId3v2(const TagManager &m, TagRecord *r) {
    const struct {
        const char *frame;
        QString TagRecord::*field;
    } frames[] = {{"TYER", &TagRecord::year},      {"TRCK", &TagRecord::track},
                  {"TPE1", &TagRecord::artist},    {"TIT2", &TagRecord::title},
                  {"TALB", &TagRecord::album},     {"TCON", &TagRecord::genre},
                  {"TCOP", &TagRecord::copyright}, {"TCOM", &TagRecord::composer}};
    for (const auto &f : frames) {
        QString value;
        Take(m.GetId3v2Frame(QLatin1String(f.frame), &value), value, &(r->*f.field));
    }
    r->commentFrameCount = qint16(std::min(m.Id3v2FrameCount(QStringLiteral("COMM")), 32767));
    if (r->commentFrameCount > 0) {
        QString language, description, text;
        if (m.GetId3v2Comment(0, &language, &description, &text)) {
            r->commentLanguage = language;
            r->commentDescription = description;
            r->comment = text;
        }
    }
    r->pictureCount = qint16(std::min(m.Id3v2FrameCount(QStringLiteral("APIC")), 32767));
}

// An ID3v1 field that holds only the ID3v2 text cut short (its fields hold 30 bytes or fewer),
// with "?" or a plain letter for characters Latin-1 lacks, says nothing the ID3v2 text does not:
// it must not replace that text.
bool IsId3v1CopyOf(const QString &id3v1, const QString &id3v2) {
    const QString shortened = id3v1.trimmed();
    if (shortened.isEmpty() || id3v2.isEmpty() || shortened == id3v2)
        return false;
    const QString latin1 = ToLatin1Text(id3v2);
    if (shortened.size() > latin1.size())
        return false;
    for (qsizetype i = 0; i < shortened.size(); ++i) {
        if (shortened.at(i) != latin1.at(i) && shortened.at(i) != QLatin1Char('?'))
            return false;
    }
    return true;
}

// One field of a tag family: where it lives (a number or a name, as the family is addressed),
// and whether it is read, written or both. Each family's fields are listed once, in writing
// order (year, track, artist, title, album, genre, then the rest).
struct MappedField {
    QString TagRecord::*field;
    int number;                     // for families addressed by field number
    const char *name;               // for families addressed by name
    bool read = true;               // false: written only (ID3v1's composer)
    const char *fallback = nullptr; // read from this name when the first gives nothing (WMA)
};

struct FamilyMap {
    int family;
    bool byName;
    std::vector<MappedField> fields;
};

const std::vector<FamilyMap> &FamilyMaps() {
    using R = TagRecord;
    static const std::vector<FamilyMap> maps = {
        {TagFamilyId3v1,
         false,
         {{&R::year, Id3v1Year, nullptr},
          {&R::track, Id3v1Track, nullptr},
          {&R::artist, Id3v1Artist, nullptr},
          {&R::title, Id3v1Title, nullptr},
          {&R::album, Id3v1Album, nullptr},
          {&R::genre, Id3v1Genre, nullptr},
          {&R::composer, Id3v1Composer, nullptr, false},
          {&R::comment, Id3v1Comment, nullptr}}},
        {TagFamilyApe,
         false,
         {{&R::year, ApeYear, nullptr},
          {&R::track, ApeTrack, nullptr},
          {&R::artist, ApeArtist, nullptr},
          {&R::title, ApeTitle, nullptr},
          {&R::album, ApeAlbum, nullptr},
          {&R::genre, ApeGenre, nullptr},
          {&R::copyright, ApeCopyright, nullptr},
          {&R::composer, ApeComposer, nullptr},
          {&R::comment, ApeComment, nullptr}}},
        {TagFamilyFlac,
         true,
         {{&R::year, 0, "DATE"},
          {&R::track, 0, "TRACKNUMBER"},
          {&R::artist, 0, "ARTIST"},
          {&R::title, 0, "TITLE"},
          {&R::album, 0, "ALBUM"},
          {&R::genre, 0, "GENRE"},
          {&R::copyright, 0, "COPYRIGHT"},
          {&R::composer, 0, "COMPOSER"},
          {&R::comment, 0, "COMMENT"}}},
        {TagFamilyMp4,
         false,
         {{&R::year, Mp4Year, nullptr},
          {&R::track, Mp4Track, nullptr},
          {&R::artist, Mp4Artist, nullptr},
          {&R::title, Mp4Title, nullptr},
          {&R::album, Mp4Album, nullptr},
          {&R::genre, Mp4Genre, nullptr},
          {&R::copyright, Mp4Copyright, nullptr},
          {&R::composer, Mp4Composer, nullptr},
          {&R::comment, Mp4Comment, nullptr}}},
        {TagFamilyOggVorbis,
         false,
         {{&R::year, OggDate, nullptr},
          {&R::track, OggTrackNumber, nullptr},
          {&R::artist, OggArtist, nullptr},
          {&R::title, OggTitle, nullptr},
          {&R::album, OggAlbum, nullptr},
          {&R::genre, OggGenre, nullptr},
          {&R::copyright, OggCopyright, nullptr},
          {&R::comment, OggComment, nullptr}}},
        {TagFamilyWma,
         true,
         {{&R::year, 0, "WM/Year"},
          {&R::track, 0, "WM/TrackNumber", true, "WM/Track"},
          {&R::artist, 0, "Author"},
          {&R::title, 0, "Title"},
          {&R::album, 0, "WM/AlbumTitle"},
          {&R::genre, 0, "WM/Genre"},
          {&R::copyright, 0, "Copyright", true, "WM/Copyright"},
          {&R::composer, 0, "WM/Composer"},
          {&R::comment, 0, "Description"}}},
        {TagFamilyRiffInfo,
         true,
         {{&R::year, 0, "ICRD"},
          {&R::artist, 0, "IART"},
          {&R::title, 0, "INAM"},
          {&R::genre, 0, "IGNR"},
          {&R::copyright, 0, "ICOP"},
          {&R::comment, 0, "ICMT"}}},
    };
    return maps;
}

const FamilyMap &MapOf(int family) {
    for (const FamilyMap &map : FamilyMaps()) {
        if (map.family == family)
            return map;
    }
    Q_UNREACHABLE();
}

bool GetMapped(const TagManager &m, const FamilyMap &map, const char *name, int number, QString *value) {
    return map.byName ? m.GetNamedField(map.family, QLatin1String(name), value)
                      : m.GetField(map.family, number, value);
}

// Reads the family's readable fields into the record; a field that cannot be read keeps its value.
void ReadFamily(const TagManager &m, int family, TagRecord *r) {
    const FamilyMap &map = MapOf(family);
    for (const MappedField &f : map.fields) {
        if (!f.read)
            continue;
        QString value;
        if (!GetMapped(m, map, f.name, f.number, &value))
            continue;
        QString other;
        if (value.isEmpty() && f.fallback && GetMapped(m, map, f.fallback, 0, &other))
            value = other;
        r->*f.field = value;
    }
}

// Writes every field the family maps, empty values included; a field the block cannot hold is
// skipped.
void WriteFamily(TagManager &m, int family, const TagRecord &r) {
    const FamilyMap &map = MapOf(family);
    for (const MappedField &f : map.fields) {
        if (map.byName)
            m.SetNamedField(family, QLatin1String(f.name), r.*f.field);
        else
            m.SetField(family, f.number, r.*f.field);
    }
}

qint16 Count(int n) {
    return qint16(std::min(n, 32767));
}

// Many programs (ffmpeg among them) keep the comment of a Vorbis comment block under DESCRIPTION;
// it is taken when there is no COMMENT, so such comments are not lost on conversion.
void TakeDescriptionIfNoComment(const TagManager &m, int family, QString *comment) {
    if (!comment->isEmpty())
        return;
    QString description;
    const bool ok = family == TagFamilyFlac
                        ? m.GetNamedField(family, QStringLiteral("DESCRIPTION"), &description)
                        : m.GetField(family, OggDescription, &description);
    if (ok)
        *comment = description;
}

} // namespace

int WriteFamiliesOf(int fileType) {
    switch (fileType) {
    case FileTypeMp3:
    case FileTypeMp2:
    case FileTypeMp1:
    case FileTypeAac:
        return TagFamilyId3v2 | TagFamilyId3v1;
    case FileTypeWav:
    case FileTypeWavOther:
        return TagFamilyRiffInfo;
    case FileTypeOggVorbis:
    case FileTypeOpus:
        return TagFamilyOggVorbis;
    case FileTypeWma:
        return TagFamilyWma;
    case FileTypeFlac:
        return TagFamilyFlac;
    case FileTypeMp4:
        return TagFamilyMp4;
    case FileTypeApe:
        return TagFamilyApe;
    default:
        return 0;
    }
}

QString FileTypeName(int fileType, const TagManager &manager) {
    switch (fileType) {
    case FileTypeMp3:
        return QStringLiteral("MP3");
    case FileTypeWav:
        return QStringLiteral("WAV");
    case FileTypeMp2:
        return QStringLiteral("MP2");
    case FileTypeMp1:
        return QStringLiteral("MP1");
    case FileTypeOggVorbis:
        return QStringLiteral("OGG Vorbis");
    case FileTypeWma:
        return manager.InformationText(InfoCodec);
    case FileTypeMod:
        return QStringLiteral("MOD music");
    case FileTypeMtm:
        return QStringLiteral("MTM MOD music");
    case FileTypeS3m:
        return QStringLiteral("S3M MOD music");
    case FileTypeXm:
        return QStringLiteral("XM MOD music");
    case FileTypeIt:
        return QStringLiteral("IT MOD music");
    case FileTypeMo3:
        return QStringLiteral("MO3 MOD music");
    case FileTypeCdTrack:
        return QStringLiteral("CD Track");
    case FileTypeAiff:
        return QStringLiteral("AIFF");
    case FileTypeFlac:
        return QStringLiteral("FLAC");
    case FileTypeAac:
        return QStringLiteral("AAC");
    case FileTypeMp4:
        return QStringLiteral("MP4");
    case FileTypeAc3:
        return QStringLiteral("AC3");
    case FileTypeAlac:
        return QStringLiteral("ALAC");
    case FileTypeWavPack:
        return QStringLiteral("WavPack");
    case FileTypeWavOther:
        return QStringLiteral("WAV ") + manager.InformationText(InfoSampleFormat);
    case FileTypeAu:
        return QStringLiteral("AU");
    case FileTypePaf:
        return QStringLiteral("PAF");
    case FileTypeSvx:
        return QStringLiteral("SVX");
    case FileTypeNist:
        return QStringLiteral("NIST");
    case FileTypeVoc:
        return QStringLiteral("VOC");
    case FileTypeIrcam:
        return QStringLiteral("IRCAM");
    case FileTypeW64:
        return QStringLiteral("W64");
    case FileTypePvf:
        return QStringLiteral("PVF");
    case FileTypeCaf:
        return QStringLiteral("CAF");
    case FileTypeApe:
        return QStringLiteral("Monkey's audio (APE)");
    case FileTypeMusePack:
        return QStringLiteral("MusePack");
    case FileTypeOpus:
        return QStringLiteral("Opus");
    case FileTypeSpeex:
        return QStringLiteral("Speex");
    default:
        return QString();
    }
}

QString DetectTagFamilies(const TagManager &manager, TagFamilies *families) {
    families->Clear();
    if (!manager.IsLoaded())
        return QString();
    families->fileType = manager.FileTypeCode();
    families->typeName = FileTypeName(families->fileType, manager);
    families->writeFlags = families->typeName.isEmpty() ? 0 : WriteFamiliesOf(families->fileType);
    families->readFlags = manager.TagBlockMask();
    return families->typeName;
}

void ReadTags(const TagManager &m, const TagFamilies &families, TagRecord *r) {
    if (families.Reads(TagFamilyId3v2))
        ReadId3v2(m, r);
    if (families.Reads(TagFamilyId3v1)) {
        TagRecord read = *r;
        ReadFamily(m, TagFamilyId3v1, &read);
        for (const MappedField &f : MapOf(TagFamilyId3v1).fields) {
            if (!IsId3v1CopyOf(read.*f.field, r->*f.field))
                r->*f.field = read.*f.field;
        }
    }
    if (families.Reads(TagFamilyApe))
        ReadFamily(m, TagFamilyApe, r);
    if (families.Reads(TagFamilyFlac)) {
        ReadFamily(m, TagFamilyFlac, r);
        TakeDescriptionIfNoComment(m, TagFamilyFlac, &r->comment);
        r->pictureCount = Count(m.PictureCount(TagFamilyFlac));
    }
    if (families.Reads(TagFamilyMp4)) {
        ReadFamily(m, TagFamilyMp4, r);
        r->pictureCount = Count(m.PictureCount(TagFamilyMp4));
    }
    if (families.Reads(TagFamilyOggVorbis)) {
        ReadFamily(m, TagFamilyOggVorbis, r);
        TakeDescriptionIfNoComment(m, TagFamilyOggVorbis, &r->comment);
        if (CarriesCover(families, TagFamilyOggVorbis))
            r->pictureCount = Count(m.PictureCount(TagFamilyOggVorbis));
    }
    if (families.Reads(TagFamilyWma)) {
        ReadFamily(m, TagFamilyWma, r);
        r->pictureCount = Count(m.PictureCount(TagFamilyWma));
    }
    if (families.Reads(TagFamilyRiffInfo))
        ReadFamily(m, TagFamilyRiffInfo, r);
}

int WriteTags(TagManager &m, const TagFamilies &families, const TagRecord &r) {
    if (!m.IsLoaded())
        return TagResultNotLoaded;
    int result = TagResultOk;
    const auto keep = [&result](int code) {
        if (result == TagResultOk && code != TagResultOk)
            result = code;
    };
    if (families.Writes(TagFamilyId3v2)) {
        m.SetId3v2Frame(QStringLiteral("TYER"), r.year);
        m.SetId3v2Frame(QStringLiteral("TRCK"), r.track);
        m.SetId3v2Frame(QStringLiteral("TPE1"), r.artist);
        m.SetId3v2Frame(QStringLiteral("TIT2"), r.title);
        m.SetId3v2Frame(QStringLiteral("TALB"), r.album);
        m.SetId3v2Frame(QStringLiteral("TCON"), r.genre);
        m.SetId3v2Frame(QStringLiteral("TCOP"), r.copyright);
        m.SetId3v2Frame(QStringLiteral("TCOM"), r.composer);
        m.SetId3v2Comment(r.commentLanguage, r.commentDescription, r.comment);
        keep(m.CommitId3v2());
    }
    for (const int family : {TagFamilyId3v1, TagFamilyApe, TagFamilyFlac, TagFamilyMp4, TagFamilyOggVorbis,
                             TagFamilyWma, TagFamilyRiffInfo}) {
        if (families.Writes(family))
            WriteFamily(m, family, r);
    }
    if (families.Writes(TagFamilyRiffInfo))
        keep(m.CommitRiffInfo());
    return result;
}

bool ExportCoverPicture(const TagManager &manager, const TagFamilies &families, const QString &path) {
    for (const int family : kCoverFamilies) {
        if (!CarriesCover(families, family))
            continue;
        const QByteArray picture = manager.PictureData(family, 0);
        if (!picture.isEmpty())
            return SavePictureAsJpeg(picture, path);
    }
    return false;
}

bool WriteCoverPicture(TagManager &manager, const TagFamilies &families, const QByteArray &picture) {
    const QByteArray prepared = PreparePictureForTag(picture);
    if (prepared.isEmpty())
        return false;
    bool any = false;
    for (const int family : kCoverFamilies) {
        if (CarriesCover(families, family))
            any = manager.SetFrontCover(family, prepared) || any;
    }
    return any;
}

bool TakesCover(const TagFamilies &families) {
    for (const int family : kCoverFamilies) {
        if (CarriesCover(families, family))
            return true;
    }
    return false;
}

bool WriteCoverPicture(TagManager &manager, const TagFamilies &families, const QString &picturePath) {
    return WriteCoverPicture(manager, families, ReadPictureFile(picturePath));
}

} // namespace tv

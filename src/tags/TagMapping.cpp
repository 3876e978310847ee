#include "TagMapping.h"

#include "TagFields.h"
#include "TagManager.h"
#include "TagManagerPrivate.h"
#include "TagPictures.h"

namespace tv {

namespace {

using namespace TagField;

// The cover families, in reading order.
constexpr int kCoverFamilies[] = {TagFamilyId3v2, TagFamilyFlac, TagFamilyMp4, TagFamilyWma};

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

struct NumberedField {
    int number;
    QString TagRecord::*field;
};

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

void ReadNumbered(const TagManager &m, int family, std::initializer_list<NumberedField> fields,
                  TagRecord *r) {
    for (const NumberedField &f : fields) {
        QString value;
        Take(m.GetField(family, f.number, &value), value, &(r->*f.field));
    }
}

void WriteNumbered(TagManager &m, int family, std::initializer_list<NumberedField> fields,
                   const TagRecord &r) {
    for (const NumberedField &f : fields)
        m.SetField(family, f.number, r.*f.field); // a field the block cannot hold is skipped
}

struct NamedField {
    const char *name;
    QString TagRecord::*field;
};

void ReadNamed(const TagManager &m, int family, std::initializer_list<NamedField> fields, TagRecord *r) {
    for (const NamedField &f : fields) {
        QString value;
        Take(m.GetNamedField(family, QLatin1String(f.name), &value), value, &(r->*f.field));
    }
}

void WriteNamed(TagManager &m, int family, std::initializer_list<NamedField> fields, const TagRecord &r) {
    for (const NamedField &f : fields)
        m.SetNamedField(family, QLatin1String(f.name), r.*f.field);
}

// A named WMA field that falls back to a second name when the first gives nothing.
void ReadWmaWithFallback(const TagManager &m, const char *name, const char *fallback, QString *field) {
    QString value;
    if (!m.GetNamedField(TagFamilyWma, QLatin1String(name), &value))
        return;
    if (value.isEmpty()) {
        QString other;
        if (m.GetNamedField(TagFamilyWma, QLatin1String(fallback), &other))
            value = other;
    }
    *field = value;
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
        const std::initializer_list<NumberedField> id3v1 = {
            {Id3v1Year, &TagRecord::year},      {Id3v1Track, &TagRecord::track},
            {Id3v1Artist, &TagRecord::artist},  {Id3v1Title, &TagRecord::title},
            {Id3v1Album, &TagRecord::album},    {Id3v1Genre, &TagRecord::genre},
            {Id3v1Comment, &TagRecord::comment}};
        TagRecord read = *r;
        ReadNumbered(m, TagFamilyId3v1, id3v1, &read);
        for (const NumberedField &f : id3v1) {
            if (!IsId3v1CopyOf(read.*f.field, r->*f.field))
                r->*f.field = read.*f.field;
        }
    }
    if (families.Reads(TagFamilyApe))
        ReadNumbered(m, TagFamilyApe,
                     {{ApeYear, &TagRecord::year},
                      {ApeTrack, &TagRecord::track},
                      {ApeArtist, &TagRecord::artist},
                      {ApeTitle, &TagRecord::title},
                      {ApeAlbum, &TagRecord::album},
                      {ApeGenre, &TagRecord::genre},
                      {ApeCopyright, &TagRecord::copyright},
                      {ApeComposer, &TagRecord::composer},
                      {ApeComment, &TagRecord::comment}},
                     r);
    if (families.Reads(TagFamilyFlac)) {
        ReadNamed(m, TagFamilyFlac,
                  {{"DATE", &TagRecord::year},
                   {"TRACKNUMBER", &TagRecord::track},
                   {"ARTIST", &TagRecord::artist},
                   {"TITLE", &TagRecord::title},
                   {"ALBUM", &TagRecord::album},
                   {"GENRE", &TagRecord::genre},
                   {"COPYRIGHT", &TagRecord::copyright},
                   {"COMPOSER", &TagRecord::composer},
                   {"COMMENT", &TagRecord::comment}},
                  r);
        TakeDescriptionIfNoComment(m, TagFamilyFlac, &r->comment);
        r->pictureCount = Count(m.PictureCount(TagFamilyFlac));
    }
    if (families.Reads(TagFamilyMp4)) {
        ReadNumbered(m, TagFamilyMp4,
                     {{Mp4Year, &TagRecord::year},
                      {Mp4Track, &TagRecord::track},
                      {Mp4Artist, &TagRecord::artist},
                      {Mp4Title, &TagRecord::title},
                      {Mp4Album, &TagRecord::album},
                      {Mp4Genre, &TagRecord::genre},
                      {Mp4Copyright, &TagRecord::copyright},
                      {Mp4Composer, &TagRecord::composer},
                      {Mp4Comment, &TagRecord::comment}},
                     r);
        r->pictureCount = Count(m.PictureCount(TagFamilyMp4));
    }
    if (families.Reads(TagFamilyOggVorbis))
        ReadNumbered(m, TagFamilyOggVorbis,
                     {{OggDate, &TagRecord::year},
                      {OggTrackNumber, &TagRecord::track},
                      {OggArtist, &TagRecord::artist},
                      {OggTitle, &TagRecord::title},
                      {OggAlbum, &TagRecord::album},
                      {OggGenre, &TagRecord::genre},
                      {OggCopyright, &TagRecord::copyright},
                      {OggComment, &TagRecord::comment}},
                     r);
    if (families.Reads(TagFamilyOggVorbis))
        TakeDescriptionIfNoComment(m, TagFamilyOggVorbis, &r->comment);
    if (families.Reads(TagFamilyWma)) {
        ReadNamed(m, TagFamilyWma, {{"WM/Year", &TagRecord::year}}, r);
        ReadWmaWithFallback(m, "WM/TrackNumber", "WM/Track", &r->track);
        ReadNamed(m, TagFamilyWma,
                  {{"Author", &TagRecord::artist},
                   {"Title", &TagRecord::title},
                   {"WM/AlbumTitle", &TagRecord::album},
                   {"WM/Genre", &TagRecord::genre}},
                  r);
        ReadWmaWithFallback(m, "Copyright", "WM/Copyright", &r->copyright);
        ReadNamed(m, TagFamilyWma,
                  {{"WM/Composer", &TagRecord::composer}, {"Description", &TagRecord::comment}}, r);
        r->pictureCount = Count(m.PictureCount(TagFamilyWma));
    }
    if (families.Reads(TagFamilyRiffInfo))
        ReadNamed(m, TagFamilyRiffInfo,
                  {{"ICRD", &TagRecord::year},
                   {"IART", &TagRecord::artist},
                   {"INAM", &TagRecord::title},
                   {"IGNR", &TagRecord::genre},
                   {"ICOP", &TagRecord::copyright},
                   {"ICMT", &TagRecord::comment}},
                  r);
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
    if (families.Writes(TagFamilyId3v1))
        WriteNumbered(m, TagFamilyId3v1,
                      {{Id3v1Year, &TagRecord::year},
                       {Id3v1Track, &TagRecord::track},
                       {Id3v1Artist, &TagRecord::artist},
                       {Id3v1Title, &TagRecord::title},
                       {Id3v1Album, &TagRecord::album},
                       {Id3v1Genre, &TagRecord::genre},
                       {Id3v1Composer, &TagRecord::composer},
                       {Id3v1Comment, &TagRecord::comment}},
                      r);
    if (families.Writes(TagFamilyApe))
        WriteNumbered(m, TagFamilyApe,
                      {{ApeYear, &TagRecord::year},
                       {ApeTrack, &TagRecord::track},
                       {ApeArtist, &TagRecord::artist},
                       {ApeTitle, &TagRecord::title},
                       {ApeAlbum, &TagRecord::album},
                       {ApeGenre, &TagRecord::genre},
                       {ApeCopyright, &TagRecord::copyright},
                       {ApeComposer, &TagRecord::composer},
                       {ApeComment, &TagRecord::comment}},
                      r);
    if (families.Writes(TagFamilyFlac))
        WriteNamed(m, TagFamilyFlac,
                   {{"DATE", &TagRecord::year},
                    {"TRACKNUMBER", &TagRecord::track},
                    {"ARTIST", &TagRecord::artist},
                    {"TITLE", &TagRecord::title},
                    {"ALBUM", &TagRecord::album},
                    {"GENRE", &TagRecord::genre},
                    {"COPYRIGHT", &TagRecord::copyright},
                    {"COMPOSER", &TagRecord::composer},
                    {"COMMENT", &TagRecord::comment}},
                   r);
    if (families.Writes(TagFamilyMp4))
        WriteNumbered(m, TagFamilyMp4,
                      {{Mp4Year, &TagRecord::year},
                       {Mp4Track, &TagRecord::track},
                       {Mp4Artist, &TagRecord::artist},
                       {Mp4Title, &TagRecord::title},
                       {Mp4Album, &TagRecord::album},
                       {Mp4Genre, &TagRecord::genre},
                       {Mp4Copyright, &TagRecord::copyright},
                       {Mp4Composer, &TagRecord::composer},
                       {Mp4Comment, &TagRecord::comment}},
                      r);
    if (families.Writes(TagFamilyOggVorbis))
        WriteNumbered(m, TagFamilyOggVorbis,
                      {{OggDate, &TagRecord::year},
                       {OggTrackNumber, &TagRecord::track},
                       {OggArtist, &TagRecord::artist},
                       {OggTitle, &TagRecord::title},
                       {OggAlbum, &TagRecord::album},
                       {OggGenre, &TagRecord::genre},
                       {OggCopyright, &TagRecord::copyright},
                       {OggComment, &TagRecord::comment}},
                      r);
    if (families.Writes(TagFamilyWma))
        WriteNamed(m, TagFamilyWma,
                   {{"WM/Year", &TagRecord::year},
                    {"WM/TrackNumber", &TagRecord::track},
                    {"Author", &TagRecord::artist},
                    {"Title", &TagRecord::title},
                    {"WM/AlbumTitle", &TagRecord::album},
                    {"WM/Genre", &TagRecord::genre},
                    {"Copyright", &TagRecord::copyright},
                    {"WM/Composer", &TagRecord::composer},
                    {"Description", &TagRecord::comment}},
                   r);
    if (families.Writes(TagFamilyRiffInfo)) {
        WriteNamed(m, TagFamilyRiffInfo,
                   {{"ICRD", &TagRecord::year},
                    {"IART", &TagRecord::artist},
                    {"INAM", &TagRecord::title},
                    {"IGNR", &TagRecord::genre},
                    {"ICOP", &TagRecord::copyright},
                    {"ICMT", &TagRecord::comment}},
                   r);
        keep(m.CommitRiffInfo());
    }
    return result;
}

bool ExportCoverPicture(const TagManager &manager, const TagFamilies &families, const QString &path) {
    for (const int family : kCoverFamilies) {
        if (!families.Reads(family))
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
        if (families.Reads(family))
            any = manager.SetFrontCover(family, prepared) || any;
    }
    return any;
}

bool WriteCoverPicture(TagManager &manager, const TagFamilies &families, const QString &picturePath) {
    return WriteCoverPicture(manager, families, ReadPictureFile(picturePath));
}

} // namespace tv

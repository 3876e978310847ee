#pragma once
// The tag manager: one media file loaded at a time, its file type, the tag blocks it holds, and
// field-by-field access to them (by ID3v2 frame name, by field number, by field name), pictures,
// and saving. It works on TagLib.
//
// A TagManager belongs to the thread that made it; several managers may work at the same time on
// different threads (nothing is shared between them).

#include <QByteArray>
#include <QString>

#include <memory>

namespace tv {

struct MediaSignature;

// Tag blocks ("families"), as the bits of the tag-block mask.
enum TagFamily : int {
    TagFamilyId3v1 = 1,
    TagFamilyId3v2 = 2,
    TagFamilyOggVorbis = 8,
    TagFamilyWma = 16,
    TagFamilyMp4 = 32,
    TagFamilyApe = 64,
    TagFamilyFlac = 256,
    TagFamilyRiffInfo = 1024,
};

// File type codes of a loaded file.
enum FileTypeCode : int {
    FileTypeNone = -1,
    FileTypeMp3 = 0,
    FileTypeWav = 1,
    FileTypeMp2 = 2,
    FileTypeMp1 = 3,
    FileTypeOggVorbis = 4,
    FileTypeWma = 5,
    FileTypeMod = 6,
    FileTypeMtm = 7,
    FileTypeS3m = 8,
    FileTypeXm = 9,
    FileTypeIt = 10,
    FileTypeMo3 = 11,
    FileTypeCdTrack = 12,
    FileTypeAiff = 13,
    FileTypeFlac = 14,
    FileTypeAac = 15,
    FileTypeMp4 = 16,
    FileTypeAc3 = 17,
    FileTypeAlac = 18,
    FileTypeWavPack = 19,
    FileTypeWavOther = 20, // a WAVE file whose samples are not plain PCM
    FileTypeAu = 21,
    FileTypePaf = 22,
    FileTypeSvx = 23,
    FileTypeNist = 24,
    FileTypeVoc = 25,
    FileTypeIrcam = 26,
    FileTypeW64 = 27,
    FileTypePvf = 28,
    FileTypeCaf = 29,
    FileTypeApe = 31,
    FileTypeMusePack = 32,
    FileTypeSpeex = 33,
    FileTypeOpus = 40, // beyond the classic codes: Opus outputs are tagged like Ogg Vorbis ones
};

// Information texts of a loaded file.
enum InformationText : int {
    InfoCodec = 1,        // "MPEG-1 Layer 3", "Windows Media Audio 9.1", "PCM", ...
    InfoContainer = 2,    // "MPEG audio", "ASF", "RIFF WAVE", ...
    InfoSampleFormat = 3, // WAVE sample coding ("PCM", "IEEE float", "A-law"); "16 bit" elsewhere
    InfoBitrate = 4,      // "128 kbps"
    InfoSampling = 5,     // "44100 Hz, 2 channels"
};

// Sound information queries of a loaded file.
enum SoundInformation : int {
    SoundSampleRate = 1, // Hz
    SoundChannels = 2,
    SoundBitsPerSample = 3, // the stored sample width; 16 for formats that decode to 16-bit samples
    SoundBitrate = 4,       // kbit/s
    SoundDurationMs = 5,
};

// Results of the save operations.
enum TagResult : int {
    TagResultOk = 0,
    TagResultNotLoaded = -1,
    TagResultReadOnly = -2,
    TagResultSaveFailed = -3,
    TagResultNoSuchTag = -4,
};

class TagManager {
public:
    enum class OpenMode { ReadOnly, ReadWrite };

    TagManager();
    ~TagManager();
    TagManager(const TagManager &) = delete;
    TagManager &operator=(const TagManager &) = delete;

    // Loads a file; any file loaded before is closed first. False when the file cannot be opened
    // or is no media file this manager knows (LastError() says why). A file of a known type whose
    // tags cannot be handled (e.g. CAF) loads with HasTagAccess() false and no tag blocks.
    bool Load(const QString &path, OpenMode mode = OpenMode::ReadOnly);
    void Close();
    bool IsLoaded() const;
    bool HasTagAccess() const;
    QString FilePath() const;
    QString LastError() const;

    int FileTypeCode() const;
    QString InformationText(int which) const;
    int SoundInformation(int query) const;
    // The bits of TagFamily for every tag block present in the file.
    int TagBlockMask() const;

    // ID3v2: a text frame by its four-letter name ("TIT2", "TYER", ...). Multiple values are
    // joined with " / "; genre numbers become names; "TYER" gives the whole recording date where
    // the tag has one. Setting an empty text removes the frame. False when the file has no ID3v2
    // block (get) or cannot hold one (set).
    bool GetId3v2Frame(const QString &frameId, QString *text) const;
    bool SetId3v2Frame(const QString &frameId, const QString &text);
    int Id3v2FrameCount(const QString &frameId) const;
    // The comment frame number index (from 0).
    bool GetId3v2Comment(int index, QString *language, QString *description, QString *text) const;
    // Replaces the plain comment frame (no description) and the one of the same description by
    // one (by none when text is empty); comments of other descriptions stay. A language that is
    // not three letters becomes "XXX" (unknown).
    bool SetId3v2Comment(const QString &language, const QString &description, const QString &text);

    // Numbered fields of ID3v1, APE, MP4 and OGG Vorbis comments (field numbers: TagFields.h).
    bool GetField(int family, int number, QString *text) const;
    bool SetField(int family, int number, const QString &text);

    // Named fields: FLAC Vorbis comment names, WMA attribute names, RIFF INFO chunk ids.
    bool GetNamedField(int family, const QString &name, QString *text) const;
    bool SetNamedField(int family, const QString &name, const QString &text);

    // Free-form texts by name: ID3v2 TXXX frames (by description), Vorbis comments of OGG and
    // FLAC, MP4 freeform atoms ("----:com.apple.iTunes:name"), APE items, WMA attributes.
    // Setting an empty text removes it. False when the family is absent (get) or cannot hold one.
    bool GetUserText(int family, const QString &name, QString *text) const;
    bool SetUserText(int family, const QString &name, const QString &text);

    // Pictures of the ID3v2, MP4, WMA and FLAC families.
    int PictureCount(int family) const;
    // The bytes of picture number index (the front cover first when there is one).
    QByteArray PictureData(int family, int index) const;
    // Puts the picture in as the front cover, replacing earlier front covers. The bytes must be a
    // JPEG or PNG picture (see PreparePictureForTag).
    bool SetFrontCover(int family, const QByteArray &picture);

    // Writes the ID3v2 block (saved as ID3v2.3) / the RIFF INFO block into the file now.
    int CommitId3v2();
    int CommitRiffInfo();
    // Writes every tag block into the file.
    int Save();

    struct Private; // defined inside the tags library only

private:
    std::unique_ptr<Private> d;
};

} // namespace tv

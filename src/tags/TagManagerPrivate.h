#pragma once
// Inside of TagManager, shared by its source files (loading, fields, pictures).

#include "MediaSignature.h"
#include "TagManager.h"

#include <QString>

#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpcfile.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/tfilestream.h>
#include <taglib/trueaudiofile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include <memory>

namespace tv {

struct TagManager::Private {
    QString path;
    QString error;
    MediaSignature signature;
    AdtsSound adts; // measured for raw AAC files only
    int fileType = FileTypeNone;
    bool loaded = false;
    bool writable = false;

    // The stream outlives the file that reads from it (members are destroyed in reverse order).
    std::unique_ptr<TagLib::FileStream> stream;
    std::unique_ptr<TagLib::File> file;

    // Typed views of file; at most one is set.
    TagLib::MPEG::File *mpeg = nullptr;
    TagLib::FLAC::File *flac = nullptr;
    TagLib::Ogg::FLAC::File *oggFlac = nullptr;
    TagLib::Ogg::XiphComment *oggComment = nullptr; // Vorbis, Opus and Speex streams
    TagLib::RIFF::WAV::File *wav = nullptr;
    TagLib::RIFF::AIFF::File *aiff = nullptr;
    TagLib::MP4::File *mp4 = nullptr;
    TagLib::ASF::File *asf = nullptr;
    TagLib::APE::File *ape = nullptr;
    TagLib::WavPack::File *wavPack = nullptr;
    TagLib::MPC::File *mpc = nullptr;
    TagLib::TrueAudio::File *trueAudio = nullptr;

    void Reset();

    // The blocks of each family; null when the file has none (create false) or cannot hold one.
    TagLib::ID3v2::Tag *Id3v2(bool create) const;
    TagLib::ID3v1::Tag *Id3v1(bool create) const;
    TagLib::APE::Tag *Ape(bool create) const;
    TagLib::Ogg::XiphComment *Xiph(int family, bool create) const;
    TagLib::MP4::Tag *Mp4() const;
    TagLib::ASF::Tag *Asf() const;
    TagLib::RIFF::Info::Tag *RiffInfo() const;
};

// The file type code of what a file holds.
int FileTypeCodeOf(const MediaSignature &signature);

// Text between Qt and TagLib, always through UTF-8.
inline TagLib::String ToTagString(const QString &text) {
    return TagLib::String(text.toUtf8().toStdString(), TagLib::String::UTF8);
}
inline QString FromTagString(const TagLib::String &text) {
    return QString::fromStdString(text.to8Bit(true));
}

// Sets a Vorbis comment field to one value; an empty text removes the field.
inline void SetXiphField(TagLib::Ogg::XiphComment &tag, const QString &key, const QString &text) {
    if (text.isEmpty())
        tag.removeFields(ToTagString(key));
    else
        tag.addField(ToTagString(key), ToTagString(text), true);
}

// Values of a multi-valued field, joined for display.
QString JoinValues(const TagLib::StringList &values);

// A text that an ID3v1 tag (Latin-1 only) can hold: accented letters outside Latin-1 lose their
// accent, other characters become "?".
QString ToLatin1Text(const QString &text);

} // namespace tv

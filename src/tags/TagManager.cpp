// Loading, tag blocks and saving of TagManager.
#include "TagManager.h"
#include "TagManagerPrivate.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <taglib/itfile.h>
#include <taglib/modfile.h>
#include <taglib/mp4properties.h>
#include <taglib/opusfile.h>
#include <taglib/s3mfile.h>
#include <taglib/speexfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xmfile.h>

namespace tv {

namespace {

// RIFF INFO texts are written as UTF-8 (as most programs read them) and read as UTF-8, or as
// Latin-1 when the bytes are not valid UTF-8 (older files in a Western code page).
class RiffInfoText : public TagLib::RIFF::Info::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector &data) const override {
        QByteArray bytes(data.data(), int(data.size()));
        const int end = bytes.indexOf('\0');
        if (end >= 0)
            bytes.truncate(end);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(bytes);
        if (utf8.hasError())
            text = QString::fromLatin1(bytes);
        return ToTagString(text);
    }
    TagLib::ByteVector render(const TagLib::String &text) const override {
        return text.data(TagLib::String::UTF8);
    }
};

// TagLib keeps the INFO text handler in one place for the whole process. It is installed once,
// before the first file is read, and never changed afterwards, so managers on several threads
// only ever read it.
void InstallTextHandlers() {
    static const bool installed = [] {
        static const RiffInfoText riffInfoText;
        TagLib::RIFF::Info::Tag::setStringHandler(&riffInfoText);
        return true;
    }();
    (void)installed;
}

} // namespace

void TagManager::Private::Reset() {
    file.reset();
    stream.reset();
    mpeg = nullptr;
    flac = nullptr;
    oggFlac = nullptr;
    oggComment = nullptr;
    wav = nullptr;
    aiff = nullptr;
    mp4 = nullptr;
    asf = nullptr;
    ape = nullptr;
    wavPack = nullptr;
    mpc = nullptr;
    trueAudio = nullptr;
    loaded = false;
    writable = false;
    fileType = FileTypeNone;
    signature = MediaSignature();
    adts = AdtsSound();
}

TagLib::ID3v2::Tag *TagManager::Private::Id3v2(bool create) const {
    if (mpeg)
        return mpeg->ID3v2Tag(create);
    if (flac)
        return flac->ID3v2Tag(create);
    if (trueAudio)
        return trueAudio->ID3v2Tag(create);
    if (wav)
        return (create || wav->hasID3v2Tag()) ? wav->ID3v2Tag() : nullptr;
    if (aiff)
        return (create || aiff->hasID3v2Tag()) ? aiff->tag() : nullptr;
    return nullptr;
}

TagLib::ID3v1::Tag *TagManager::Private::Id3v1(bool create) const {
    if (mpeg)
        return mpeg->ID3v1Tag(create);
    if (flac)
        return flac->ID3v1Tag(create);
    if (ape)
        return ape->ID3v1Tag(create);
    if (wavPack)
        return wavPack->ID3v1Tag(create);
    if (mpc)
        return mpc->ID3v1Tag(create);
    if (trueAudio)
        return trueAudio->ID3v1Tag(create);
    return nullptr;
}

TagLib::APE::Tag *TagManager::Private::Ape(bool create) const {
    if (mpeg)
        return mpeg->APETag(create);
    if (ape)
        return ape->APETag(create);
    if (wavPack)
        return wavPack->APETag(create);
    if (mpc)
        return mpc->APETag(create);
    return nullptr;
}

TagLib::Ogg::XiphComment *TagManager::Private::Xiph(int family, bool create) const {
    if (family == TagFamilyOggVorbis)
        return oggComment;
    if (family == TagFamilyFlac) {
        if (flac)
            return flac->xiphComment(create);
        if (oggFlac)
            return oggFlac->tag();
    }
    return nullptr;
}

TagLib::MP4::Tag *TagManager::Private::Mp4() const {
    return mp4 ? mp4->tag() : nullptr;
}
TagLib::ASF::Tag *TagManager::Private::Asf() const {
    return asf ? asf->tag() : nullptr;
}
TagLib::RIFF::Info::Tag *TagManager::Private::RiffInfo() const {
    return wav ? wav->InfoTag() : nullptr;
}

TagManager::TagManager() : d(std::make_unique<Private>()) {
    InstallTextHandlers();
}

TagManager::~TagManager() = default;

bool TagManager::Load(const QString &path, OpenMode mode) {
    Close();
    d->path = path;
    d->error.clear();
    const QFileInfo info(path);
    if (!info.isFile()) {
        d->error = QStringLiteral("The file does not exist.");
        return false;
    }
    d->signature = DetectMediaSignature(path);
    const MediaContainer container = d->signature.container;
    if (container == MediaContainer::Unknown || container == MediaContainer::OggOther ||
        container == MediaContainer::Matroska) {
        d->error = QStringLiteral("The tags of this kind of file cannot be read.");
        return false;
    }
    d->fileType = FileTypeCodeOf(d->signature);

    const bool tagLibKnowsIt =
        container == MediaContainer::MpegAudio || container == MediaContainer::Adts ||
        container == MediaContainer::OggVorbis || container == MediaContainer::OggOpus ||
        container == MediaContainer::OggSpeex || container == MediaContainer::OggFlac ||
        container == MediaContainer::Flac || container == MediaContainer::Wave ||
        container == MediaContainer::Aiff || container == MediaContainer::Mp4 ||
        container == MediaContainer::Asf || container == MediaContainer::MonkeysAudio ||
        container == MediaContainer::WavPack || container == MediaContainer::MusePack ||
        container == MediaContainer::TrueAudio || container == MediaContainer::Mod ||
        container == MediaContainer::S3m || container == MediaContainer::Xm ||
        container == MediaContainer::It;
    if (!tagLibKnowsIt) {
        // Known, but holding no tag block this manager can handle: loaded, with no families.
        d->loaded = true;
        return true;
    }

    const QByteArray name = QFile::encodeName(path);
    const bool readOnly = mode == OpenMode::ReadOnly;
    try {
        d->stream = std::make_unique<TagLib::FileStream>(name.constData(), readOnly);
        if (!d->stream->isOpen()) {
            const QString error = QStringLiteral("The file cannot be opened.");
            Close();
            d->error = error;
            return false;
        }
        if (!readOnly && d->stream->readOnly()) {
            Close();
            d->error = QStringLiteral("The file cannot be written.");
            return false;
        }
        TagLib::IOStream *s = d->stream.get();
        const auto style = TagLib::AudioProperties::Average;
        switch (container) {
        case MediaContainer::MpegAudio:
        case MediaContainer::Adts: {
            // TagLib has no reader for ADTS frames: its tags are handled, its sound is not measured.
            auto *f = new TagLib::MPEG::File(s, TagLib::ID3v2::FrameFactory::instance(),
                                             container == MediaContainer::MpegAudio, style);
            d->file.reset(f);
            d->mpeg = f;
            break;
        }
        case MediaContainer::OggVorbis: {
            auto *f = new TagLib::Ogg::Vorbis::File(s, true, style);
            d->file.reset(f);
            d->oggComment = f->tag();
            break;
        }
        case MediaContainer::OggOpus: {
            auto *f = new TagLib::Ogg::Opus::File(s, true, style);
            d->file.reset(f);
            d->oggComment = f->tag();
            break;
        }
        case MediaContainer::OggSpeex: {
            auto *f = new TagLib::Ogg::Speex::File(s, true, style);
            d->file.reset(f);
            d->oggComment = f->tag();
            break;
        }
        case MediaContainer::OggFlac: {
            auto *f = new TagLib::Ogg::FLAC::File(s, true, style);
            d->file.reset(f);
            d->oggFlac = f;
            break;
        }
        case MediaContainer::Flac: {
            auto *f = new TagLib::FLAC::File(s, TagLib::ID3v2::FrameFactory::instance(), true, style);
            d->file.reset(f);
            d->flac = f;
            break;
        }
        case MediaContainer::Wave: {
            auto *f = new TagLib::RIFF::WAV::File(s, true, style);
            d->file.reset(f);
            d->wav = f;
            break;
        }
        case MediaContainer::Aiff: {
            auto *f = new TagLib::RIFF::AIFF::File(s, true, style);
            d->file.reset(f);
            d->aiff = f;
            break;
        }
        case MediaContainer::Mp4: {
            auto *f = new TagLib::MP4::File(s, true, style);
            d->file.reset(f);
            d->mp4 = f;
            break;
        }
        case MediaContainer::Asf: {
            auto *f = new TagLib::ASF::File(s, true, style);
            d->file.reset(f);
            d->asf = f;
            break;
        }
        case MediaContainer::MonkeysAudio: {
            auto *f = new TagLib::APE::File(s, true, style);
            d->file.reset(f);
            d->ape = f;
            break;
        }
        case MediaContainer::WavPack: {
            auto *f = new TagLib::WavPack::File(s, true, style);
            d->file.reset(f);
            d->wavPack = f;
            break;
        }
        case MediaContainer::MusePack: {
            auto *f = new TagLib::MPC::File(s, true, style);
            d->file.reset(f);
            d->mpc = f;
            break;
        }
        case MediaContainer::TrueAudio: {
            auto *f = new TagLib::TrueAudio::File(s, true, style);
            d->file.reset(f);
            d->trueAudio = f;
            break;
        }
        case MediaContainer::Mod:
            d->file.reset(new TagLib::Mod::File(s, true, style));
            break;
        case MediaContainer::S3m:
            d->file.reset(new TagLib::S3M::File(s, true, style));
            break;
        case MediaContainer::Xm:
            d->file.reset(new TagLib::XM::File(s, true, style));
            break;
        case MediaContainer::It:
            d->file.reset(new TagLib::IT::File(s, true, style));
            break;
        default:
            break;
        }
    } catch (...) {
        Close();
        d->error = QStringLiteral("The file's tags cannot be read.");
        return false;
    }
    if (!d->file || !d->file->isValid()) {
        Close();
        d->error = QStringLiteral("The file's tags cannot be read.");
        return false;
    }
    if (container == MediaContainer::Adts)
        d->adts = MeasureAdts(path, d->signature.leadingId3v2Bytes);
    if (d->mp4 && d->mp4->audioProperties() &&
        d->mp4->audioProperties()->codec() == TagLib::MP4::Properties::ALAC)
        d->fileType = FileTypeAlac;
    d->loaded = true;
    d->writable = !readOnly;
    return true;
}

void TagManager::Close() {
    const QString path = d->path;
    d->Reset();
    d->path = path;
}

bool TagManager::IsLoaded() const {
    return d->loaded;
}
bool TagManager::HasTagAccess() const {
    return d->loaded && d->file != nullptr;
}
QString TagManager::FilePath() const {
    return d->path;
}
QString TagManager::LastError() const {
    return d->error;
}
int TagManager::FileTypeCode() const {
    return d->loaded ? d->fileType : FileTypeNone;
}

int TagManager::TagBlockMask() const {
    int mask = 0;
    if (d->mpeg) {
        mask |= d->mpeg->hasID3v1Tag() ? TagFamilyId3v1 : 0;
        mask |= d->mpeg->hasID3v2Tag() ? TagFamilyId3v2 : 0;
        mask |= d->mpeg->hasAPETag() ? TagFamilyApe : 0;
    } else if (d->flac) {
        mask |= d->flac->hasID3v1Tag() ? TagFamilyId3v1 : 0;
        mask |= d->flac->hasID3v2Tag() ? TagFamilyId3v2 : 0;
        mask |= d->flac->hasXiphComment() ? TagFamilyFlac : 0;
    } else if (d->oggFlac) {
        mask |= d->oggFlac->hasXiphComment() ? TagFamilyFlac : 0;
    } else if (d->oggComment) {
        mask |= TagFamilyOggVorbis; // every Ogg Vorbis, Opus and Speex stream has its comment header
    } else if (d->wav) {
        mask |= d->wav->hasID3v2Tag() ? TagFamilyId3v2 : 0;
        mask |= d->wav->hasInfoTag() ? TagFamilyRiffInfo : 0;
    } else if (d->aiff) {
        mask |= d->aiff->hasID3v2Tag() ? TagFamilyId3v2 : 0;
    } else if (d->mp4) {
        mask |= d->mp4->hasMP4Tag() ? TagFamilyMp4 : 0;
    } else if (d->asf) {
        mask |= TagFamilyWma; // the attributes live in the header every ASF file has
    } else if (d->ape) {
        mask |= d->ape->hasID3v1Tag() ? TagFamilyId3v1 : 0;
        mask |= d->ape->hasAPETag() ? TagFamilyApe : 0;
    } else if (d->wavPack) {
        mask |= d->wavPack->hasID3v1Tag() ? TagFamilyId3v1 : 0;
        mask |= d->wavPack->hasAPETag() ? TagFamilyApe : 0;
    } else if (d->mpc) {
        mask |= d->mpc->hasID3v1Tag() ? TagFamilyId3v1 : 0;
        mask |= d->mpc->hasAPETag() ? TagFamilyApe : 0;
    } else if (d->trueAudio) {
        mask |= d->trueAudio->hasID3v1Tag() ? TagFamilyId3v1 : 0;
        mask |= d->trueAudio->hasID3v2Tag() ? TagFamilyId3v2 : 0;
    }
    return mask;
}

int TagManager::CommitId3v2() {
    if (!d->loaded)
        return TagResultNotLoaded;
    if (!d->Id3v2(false))
        return TagResultNoSuchTag;
    if (!d->writable)
        return TagResultReadOnly;
    bool ok = false;
    try {
        if (d->mpeg)
            ok = d->mpeg->save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                               TagLib::File::DoNotDuplicate);
        else if (d->wav)
            ok = d->wav->save(TagLib::RIFF::WAV::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3);
        else if (d->aiff)
            ok = d->aiff->save(TagLib::ID3v2::v3);
        else
            ok = d->file->save();
    } catch (...) {
        ok = false;
    }
    return ok ? TagResultOk : TagResultSaveFailed;
}

int TagManager::CommitRiffInfo() {
    if (!d->loaded)
        return TagResultNotLoaded;
    if (!d->wav)
        return TagResultNoSuchTag;
    if (!d->writable)
        return TagResultReadOnly;
    bool ok = false;
    try {
        ok = d->wav->save(TagLib::RIFF::WAV::File::Info, TagLib::File::StripNone, TagLib::ID3v2::v3);
    } catch (...) {
        ok = false;
    }
    return ok ? TagResultOk : TagResultSaveFailed;
}

int TagManager::Save() {
    if (!d->loaded)
        return TagResultNotLoaded;
    if (!d->file)
        return TagResultOk; // nothing this manager could have changed
    if (!d->writable)
        return TagResultReadOnly;
    bool ok = false;
    try {
        if (d->mpeg) {
            // Both ID3 blocks as set (never one copied into the other); an APE block stays.
            int blocks = TagLib::MPEG::File::ID3v1 | TagLib::MPEG::File::ID3v2;
            if (d->mpeg->APETag(false))
                blocks |= TagLib::MPEG::File::APE;
            ok = d->mpeg->save(blocks, TagLib::File::StripNone, TagLib::ID3v2::v3,
                               TagLib::File::DoNotDuplicate);
        } else if (d->wav) {
            ok = d->wav->save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripNone, TagLib::ID3v2::v3);
        } else if (d->aiff) {
            ok = d->aiff->save(TagLib::ID3v2::v3);
        } else {
            ok = d->file->save();
        }
    } catch (...) {
        ok = false;
    }
    return ok ? TagResultOk : TagResultSaveFailed;
}

} // namespace tv

#include "TagManager.h"
#include "TagManagerPrivate.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <taglib/aiffproperties.h>
#include <taglib/apeproperties.h>
#include <taglib/asfproperties.h>
#include <taglib/flacproperties.h>
#include <taglib/itfile.h>
#include <taglib/modfile.h>
#include <taglib/mp4properties.h>
#include <taglib/mpegproperties.h>
#include <taglib/opusfile.h>
#include <taglib/s3mfile.h>
#include <taglib/speexfile.h>
#include <taglib/trueaudioproperties.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavpackproperties.h>
#include <taglib/wavproperties.h>
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

int TypeCodeOf(const MediaSignature &s) {
    switch (s.container) {
    case MediaContainer::MpegAudio:
        return s.mpegLayer == 1 ? FileTypeMp1 : (s.mpegLayer == 2 ? FileTypeMp2 : FileTypeMp3);
    case MediaContainer::Adts:
        return FileTypeAac;
    case MediaContainer::Ac3:
        return FileTypeAc3;
    case MediaContainer::OggVorbis:
        return FileTypeOggVorbis;
    case MediaContainer::OggSpeex:
        return FileTypeSpeex;
    case MediaContainer::OggFlac:
    case MediaContainer::Flac:
        return FileTypeFlac;
    case MediaContainer::Wave:
    case MediaContainer::Rf64:
        return s.waveFormatTag == 1 ? FileTypeWav : FileTypeWavOther;
    case MediaContainer::Wave64:
        return FileTypeW64;
    case MediaContainer::CdTrack:
        return FileTypeCdTrack;
    case MediaContainer::Aiff:
        return FileTypeAiff;
    case MediaContainer::Mp4:
        return FileTypeMp4;
    case MediaContainer::Asf:
        return FileTypeWma;
    case MediaContainer::MonkeysAudio:
        return FileTypeApe;
    case MediaContainer::WavPack:
        return FileTypeWavPack;
    case MediaContainer::MusePack:
        return FileTypeMusePack;
    case MediaContainer::Mod:
        return FileTypeMod;
    case MediaContainer::Mtm:
        return FileTypeMtm;
    case MediaContainer::S3m:
        return FileTypeS3m;
    case MediaContainer::Xm:
        return FileTypeXm;
    case MediaContainer::It:
        return FileTypeIt;
    case MediaContainer::Mo3:
        return FileTypeMo3;
    case MediaContainer::Au:
        return FileTypeAu;
    case MediaContainer::Paf:
        return FileTypePaf;
    case MediaContainer::Svx:
        return FileTypeSvx;
    case MediaContainer::Nist:
        return FileTypeNist;
    case MediaContainer::Voc:
        return FileTypeVoc;
    case MediaContainer::Ircam:
        return FileTypeIrcam;
    case MediaContainer::Pvf:
        return FileTypePvf;
    case MediaContainer::Caf:
        return FileTypeCaf;
    case MediaContainer::OggOpus: // no code of its own, but its comments are readable
    case MediaContainer::TrueAudio:
    case MediaContainer::OggOther:
    case MediaContainer::Matroska:
    case MediaContainer::Unknown:
        break;
    }
    return FileTypeNone;
}

QString WaveFormatName(int tag) {
    switch (tag) {
    case 0x0001:
        return QStringLiteral("PCM");
    case 0x0002:
        return QStringLiteral("Microsoft ADPCM");
    case 0x0003:
        return QStringLiteral("IEEE float");
    case 0x0006:
        return QStringLiteral("A-law");
    case 0x0007:
        return QStringLiteral("u-law");
    case 0x0011:
        return QStringLiteral("IMA ADPCM");
    case 0x0031:
        return QStringLiteral("GSM 6.10");
    case 0x0050:
        return QStringLiteral("MPEG");
    case 0x0055:
        return QStringLiteral("MPEG Layer 3");
    case 0x2000:
        return QStringLiteral("AC-3");
    case 0x0000:
        return QStringLiteral("unknown format");
    default:
        return QStringLiteral("format 0x%1").arg(QString::number(tag, 16).toUpper().rightJustified(4, u'0'));
    }
}

QString ContainerName(MediaContainer c) {
    switch (c) {
    case MediaContainer::MpegAudio:
        return QStringLiteral("MPEG audio");
    case MediaContainer::Adts:
        return QStringLiteral("ADTS");
    case MediaContainer::Ac3:
        return QStringLiteral("AC-3");
    case MediaContainer::OggVorbis:
    case MediaContainer::OggOpus:
    case MediaContainer::OggSpeex:
    case MediaContainer::OggFlac:
    case MediaContainer::OggOther:
        return QStringLiteral("Ogg");
    case MediaContainer::Flac:
        return QStringLiteral("FLAC");
    case MediaContainer::Wave:
        return QStringLiteral("RIFF WAVE");
    case MediaContainer::Rf64:
        return QStringLiteral("RF64");
    case MediaContainer::Wave64:
        return QStringLiteral("Wave64");
    case MediaContainer::CdTrack:
        return QStringLiteral("CD Track");
    case MediaContainer::Aiff:
        return QStringLiteral("AIFF");
    case MediaContainer::Mp4:
        return QStringLiteral("MP4");
    case MediaContainer::Asf:
        return QStringLiteral("ASF");
    case MediaContainer::MonkeysAudio:
        return QStringLiteral("Monkey's Audio");
    case MediaContainer::WavPack:
        return QStringLiteral("WavPack");
    case MediaContainer::MusePack:
        return QStringLiteral("Musepack");
    case MediaContainer::TrueAudio:
        return QStringLiteral("True Audio");
    case MediaContainer::Mod:
        return QStringLiteral("MOD");
    case MediaContainer::Mtm:
        return QStringLiteral("MTM");
    case MediaContainer::S3m:
        return QStringLiteral("S3M");
    case MediaContainer::Xm:
        return QStringLiteral("XM");
    case MediaContainer::It:
        return QStringLiteral("IT");
    case MediaContainer::Mo3:
        return QStringLiteral("MO3");
    case MediaContainer::Au:
        return QStringLiteral("AU");
    case MediaContainer::Paf:
        return QStringLiteral("PAF");
    case MediaContainer::Svx:
        return QStringLiteral("8SVX");
    case MediaContainer::Nist:
        return QStringLiteral("NIST SPHERE");
    case MediaContainer::Voc:
        return QStringLiteral("VOC");
    case MediaContainer::Ircam:
        return QStringLiteral("IRCAM");
    case MediaContainer::Pvf:
        return QStringLiteral("PVF");
    case MediaContainer::Caf:
        return QStringLiteral("CAF");
    case MediaContainer::Matroska:
        return QStringLiteral("Matroska");
    case MediaContainer::Unknown:
        break;
    }
    return QString();
}

} // namespace

QString JoinValues(const TagLib::StringList &values) {
    QStringList parts;
    for (const TagLib::String &value : values) {
        const QString text = FromTagString(value);
        if (!text.isEmpty())
            parts << text;
    }
    return parts.join(QStringLiteral(" / "));
}

QString ToLatin1Text(const QString &text) {
    QString out;
    for (const char32_t code : text.toUcs4()) {
        if (code < 0x100) {
            out += QChar(code);
            continue;
        }
        const QString decomposed = QString::fromUcs4(&code, 1).normalized(QString::NormalizationForm_KD);
        const QChar base = decomposed.isEmpty() ? QChar() : decomposed.front();
        out += (!base.isNull() && base.unicode() < 0x100 && base.unicode() >= 0x20) ? base : QChar(u'?');
    }
    return out;
}

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
    d->fileType = TypeCodeOf(d->signature);

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

int TagManager::SoundInformation(int query) const {
    const TagLib::AudioProperties *p = d->file ? d->file->audioProperties() : nullptr;
    if (d->signature.container == MediaContainer::Adts) {
        switch (query) {
        case SoundSampleRate:
            return d->adts.sampleRate;
        case SoundChannels:
            return d->adts.channels;
        case SoundDurationMs:
            return d->adts.DurationMs();
        case SoundBitsPerSample:
            return 16;
        case SoundBitrate: {
            const qint64 ms = d->adts.DurationMs();
            return ms > 0 ? int(QFileInfo(d->path).size() * 8 / ms) : 0;
        }
        default:
            return 0;
        }
    }
    switch (query) {
    case SoundSampleRate:
        return p ? p->sampleRate() : 0;
    case SoundChannels:
        return p ? p->channels() : 0;
    case SoundBitrate:
        return p ? p->bitrate() : 0;
    case SoundDurationMs:
        return p ? p->lengthInMilliseconds() : 0;
    case SoundBitsPerSample: {
        int bits = 0;
        if (const auto *x = dynamic_cast<const TagLib::FLAC::Properties *>(p))
            bits = x->bitsPerSample();
        else if (const auto *x = dynamic_cast<const TagLib::RIFF::WAV::Properties *>(p))
            bits = x->bitsPerSample();
        else if (const auto *x = dynamic_cast<const TagLib::RIFF::AIFF::Properties *>(p))
            bits = x->bitsPerSample();
        else if (const auto *x = dynamic_cast<const TagLib::APE::Properties *>(p))
            bits = x->bitsPerSample();
        else if (const auto *x = dynamic_cast<const TagLib::WavPack::Properties *>(p))
            bits = x->bitsPerSample();
        else if (const auto *x = dynamic_cast<const TagLib::TrueAudio::Properties *>(p))
            bits = x->bitsPerSample();
        else if (const auto *x = dynamic_cast<const TagLib::MP4::Properties *>(p))
            bits = x->bitsPerSample();
        else if (const auto *x = dynamic_cast<const TagLib::ASF::Properties *>(p))
            bits = x->bitsPerSample();
        // Lossy formats store no sample width; they are decoded to 16-bit samples.
        return bits > 0 ? bits : 16;
    }
    default:
        return 0;
    }
}

QString TagManager::InformationText(int which) const {
    if (!d->loaded)
        return QString();
    const MediaContainer c = d->signature.container;
    switch (which) {
    case InfoCodec:
        switch (c) {
        case MediaContainer::MpegAudio: {
            const TagLib::MPEG::Properties *p = d->mpeg ? d->mpeg->audioProperties() : nullptr;
            const int version = p ? int(p->version()) : 0;
            static const char *const kVersions[] = {"1", "2", "2.5"};
            return QStringLiteral("MPEG-%1 Layer %2")
                .arg(QLatin1String(kVersions[std::clamp(version, 0, 2)]))
                .arg(d->signature.mpegLayer);
        }
        case MediaContainer::Adts:
            return QStringLiteral("AAC");
        case MediaContainer::Ac3:
            return QStringLiteral("AC-3");
        case MediaContainer::OggVorbis:
            return QStringLiteral("Vorbis");
        case MediaContainer::OggOpus:
            return QStringLiteral("Opus");
        case MediaContainer::OggSpeex:
            return QStringLiteral("Speex");
        case MediaContainer::OggFlac:
        case MediaContainer::Flac:
            return QStringLiteral("FLAC");
        case MediaContainer::Wave:
        case MediaContainer::Rf64:
            return WaveFormatName(d->signature.waveFormatTag);
        case MediaContainer::Aiff: {
            const TagLib::RIFF::AIFF::Properties *p = d->aiff ? d->aiff->audioProperties() : nullptr;
            if (p && p->isAiffC() && !p->compressionName().isEmpty())
                return FromTagString(p->compressionName());
            return QStringLiteral("PCM");
        }
        case MediaContainer::Mp4: {
            const TagLib::MP4::Properties *p = d->mp4 ? d->mp4->audioProperties() : nullptr;
            if (p && p->codec() == TagLib::MP4::Properties::AAC)
                return QStringLiteral("AAC");
            if (p && p->codec() == TagLib::MP4::Properties::ALAC)
                return QStringLiteral("ALAC");
            return QStringLiteral("MPEG-4 audio");
        }
        case MediaContainer::Asf: {
            const TagLib::ASF::Properties *p = d->asf ? d->asf->audioProperties() : nullptr;
            if (p && !p->codecName().isEmpty())
                return FromTagString(p->codecName()).trimmed();
            if (p && p->codec() == TagLib::ASF::Properties::WMA9Lossless)
                return QStringLiteral("Windows Media Audio Lossless");
            if (p && p->codec() == TagLib::ASF::Properties::WMA9Pro)
                return QStringLiteral("Windows Media Audio Professional");
            return QStringLiteral("Windows Media Audio");
        }
        default:
            return ContainerName(c);
        }
    case InfoContainer:
        return ContainerName(c);
    case InfoSampleFormat:
        if (c == MediaContainer::Wave || c == MediaContainer::Rf64)
            return WaveFormatName(d->signature.waveFormatTag);
        return QStringLiteral("%1 bit").arg(SoundInformation(SoundBitsPerSample));
    case InfoBitrate:
        return QStringLiteral("%1 kbps").arg(SoundInformation(SoundBitrate));
    case InfoSampling:
        return QStringLiteral("%1 Hz, %2 channels")
            .arg(SoundInformation(SoundSampleRate))
            .arg(SoundInformation(SoundChannels));
    default:
        return QString();
    }
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

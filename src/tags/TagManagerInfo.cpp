// What TagManager tells about a loaded file besides its tags: type code, information texts and
// sound information.
#include "TagManager.h"
#include "TagManagerPrivate.h"

#include <QFileInfo>

#include <taglib/aiffproperties.h>
#include <taglib/apeproperties.h>
#include <taglib/asfproperties.h>
#include <taglib/flacproperties.h>
#include <taglib/mp4properties.h>
#include <taglib/mpegproperties.h>
#include <taglib/trueaudioproperties.h>
#include <taglib/wavpackproperties.h>
#include <taglib/wavproperties.h>

namespace tv {

namespace {

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

int FileTypeCodeOf(const MediaSignature &s) {
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
    case MediaContainer::OggOpus:
        return FileTypeOpus;
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
    case MediaContainer::TrueAudio:
    case MediaContainer::OggOther:
    case MediaContainer::Matroska:
    case MediaContainer::Unknown:
        break;
    }
    return FileTypeNone;
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

} // namespace tv

#include "MediaSignature.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>

namespace tv {

namespace {

constexpr qint64 kHeadBytes = 64 * 1024;
// MPEG audio may follow some junk (padding, a broken tag); frames further in are not looked for.
constexpr int kMpegSearchBytes = 8 * 1024;

quint32 U32LE(const QByteArray &b, int at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}
quint16 U16LE(const QByteArray &b, int at) {
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

bool At(const QByteArray &b, int at, const char *magic, int length) {
    return at >= 0 && b.size() >= at + length && memcmp(b.constData() + at, magic, size_t(length)) == 0;
}
bool At(const QByteArray &b, int at, const char *magic) {
    return At(b, at, magic, int(strlen(magic)));
}

// Size of an ID3v2 tag starting at the buffer's start (header, body and footer), or 0.
qint64 Id3v2TagSize(const QByteArray &b) {
    if (b.size() < 10 || !At(b, 0, "ID3") || quint8(b[3]) == 0xFF || quint8(b[4]) == 0xFF)
        return 0;
    qint64 size = 0;
    for (int i = 6; i < 10; ++i) {
        if (quint8(b[i]) & 0x80)
            return 0;
        size = (size << 7) | quint8(b[i]);
    }
    return size + 10 + ((quint8(b[5]) & 0x10) ? 10 : 0);
}

struct MpegFrame {
    int version = 0; // 0 = MPEG-1, 1 = MPEG-2, 2 = MPEG-2.5
    int layer = 0;
    int sampleRate = 0;
    int length = 0;
};

bool ParseMpegFrame(const QByteArray &b, int at, MpegFrame *frame) {
    if (at < 0 || at + 4 > b.size())
        return false;
    const quint8 b1 = quint8(b[at + 1]), b2 = quint8(b[at + 2]);
    if (quint8(b[at]) != 0xFF || (b1 & 0xE0) != 0xE0)
        return false;
    const int versionBits = (b1 >> 3) & 3; // 0 = 2.5, 1 = reserved, 2 = 2, 3 = 1
    const int layerBits = (b1 >> 1) & 3;   // 1 = III, 2 = II, 3 = I
    const int bitrateIndex = b2 >> 4;
    const int rateIndex = (b2 >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    static const int kBitrates[2][3][15] = {
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    static const int kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    frame->version = versionBits == 3 ? 0 : (versionBits == 2 ? 1 : 2);
    frame->layer = 4 - layerBits;
    frame->sampleRate = kRates[frame->version][rateIndex];
    const int bitrate = kBitrates[frame->version == 0 ? 0 : 1][frame->layer - 1][bitrateIndex] * 1000;
    const int padding = (b2 >> 1) & 1;
    if (frame->layer == 1)
        frame->length = (12 * bitrate / frame->sampleRate + padding) * 4;
    else if (frame->layer == 3 && frame->version != 0)
        frame->length = 72 * bitrate / frame->sampleRate + padding;
    else
        frame->length = 144 * bitrate / frame->sampleRate + padding;
    return frame->length > 4;
}

// An MPEG audio frame counts only when another one of the same kind follows it (or the file
// ends there): two matching headers in a row do not happen by chance in other data.
int FindMpegLayer(const QByteArray &b, qint64 bytesToEnd) {
    const int last = std::min<int>(kMpegSearchBytes, int(b.size()) - 4);
    for (int at = 0; at <= last; ++at) {
        MpegFrame first;
        if (!ParseMpegFrame(b, at, &first))
            continue;
        const qint64 next = at + first.length;
        if (next == bytesToEnd)
            return first.layer;
        MpegFrame second;
        if (ParseMpegFrame(b, int(next), &second) && second.version == first.version &&
            second.layer == first.layer && second.sampleRate == first.sampleRate)
            return first.layer;
    }
    return 0;
}

int AdtsFrameLength(const QByteArray &b, int at) {
    if (at < 0 || at + 7 > b.size())
        return 0;
    if (quint8(b[at]) != 0xFF || (quint8(b[at + 1]) & 0xF6) != 0xF0 || ((quint8(b[at + 2]) >> 2) & 0xF) >= 13)
        return 0;
    const int length = ((quint8(b[at + 3]) & 3) << 11) | (quint8(b[at + 4]) << 3) | (quint8(b[at + 5]) >> 5);
    return length >= 7 ? length : 0;
}

bool IsAdts(const QByteArray &b, qint64 bytesToEnd) {
    const int length = AdtsFrameLength(b, 0);
    return length > 0 && (length == bytesToEnd || AdtsFrameLength(b, length) > 0);
}

MediaContainer OggKind(const QByteArray &b) {
    if (b.size() < 28)
        return MediaContainer::OggOther;
    const int segments = quint8(b[26]);
    const int packet = 27 + segments;
    if (At(b, packet, "\x01vorbis", 7))
        return MediaContainer::OggVorbis;
    if (At(b, packet, "OpusHead"))
        return MediaContainer::OggOpus;
    if (At(b, packet, "Speex   "))
        return MediaContainer::OggSpeex;
    if (At(b, packet,
           "\x7F"
           "FLAC",
           5) ||
        At(b, packet, "fLaC"))
        return MediaContainer::OggFlac;
    return MediaContainer::OggOther;
}

// The format tag of a RIFF WAVE "fmt " chunk, resolving WAVE_FORMAT_EXTENSIBLE to its sub-format.
int WaveFormatTag(const QByteArray &b) {
    int at = 12;
    while (at + 8 <= b.size()) {
        const quint32 size = U32LE(b, at + 4);
        if (At(b, at, "fmt ")) {
            if (at + 8 + 2 > b.size() || size < 2)
                return 0;
            int tag = U16LE(b, at + 8);
            if (tag == 0xFFFE && size >= 26 && at + 8 + 26 <= b.size())
                tag = U16LE(b, at + 8 + 24);
            return tag;
        }
        at += 8 + int(std::min<quint32>(size, quint32(b.size()))) + (size & 1);
    }
    return 0;
}

bool IsModSignature(const QByteArray &b) {
    if (b.size() < 1084)
        return false;
    const QByteArray id = b.mid(1080, 4);
    static const char *const kIds[] = {"M.K.", "M!K!", "M&K!", "N.T.", "FLT4",
                                       "FLT8", "CD81", "OKTA", "OCTA"};
    for (const char *known : kIds) {
        if (id == known)
            return true;
    }
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return (digit(id[0]) && id.mid(1) == "CHN") ||
           (digit(id[0]) && digit(id[1]) && (id.mid(2) == "CH" || id.mid(2) == "CN"));
}

MediaContainer ContainerOf(const QByteArray &b, qint64 bytesToEnd, MediaSignature *signature) {
    if (At(b, 0, "fLaC"))
        return MediaContainer::Flac;
    if (At(b, 0, "OggS"))
        return OggKind(b);
    if (At(b, 0, "RIFF") && At(b, 8, "WAVE")) {
        signature->waveFormatTag = WaveFormatTag(b);
        return MediaContainer::Wave;
    }
    if (At(b, 0, "RIFF") && At(b, 8, "CDDA"))
        return MediaContainer::CdTrack;
    if ((At(b, 0, "RF64") || At(b, 0, "BW64")) && At(b, 8, "WAVE")) {
        signature->waveFormatTag = WaveFormatTag(b);
        return MediaContainer::Rf64;
    }
    if (At(b, 0, "riff\x2E\x91\xCF\x11", 8))
        return MediaContainer::Wave64;
    if (At(b, 0, "FORM") && (At(b, 8, "AIFF") || At(b, 8, "AIFC")))
        return MediaContainer::Aiff;
    if (At(b, 0, "FORM") && (At(b, 8, "8SVX") || At(b, 8, "16SV")))
        return MediaContainer::Svx;
    if (At(b, 4, "ftyp") || At(b, 4, "moov"))
        return MediaContainer::Mp4;
    if (At(b, 0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16))
        return MediaContainer::Asf;
    if (At(b, 0, "MAC "))
        return MediaContainer::MonkeysAudio;
    if (At(b, 0, "wvpk"))
        return MediaContainer::WavPack;
    if (At(b, 0, "MPCK") || At(b, 0, "MP+"))
        return MediaContainer::MusePack;
    if (At(b, 0, "TTA1"))
        return MediaContainer::TrueAudio;
    if (At(b, 0, "Extended Module: "))
        return MediaContainer::Xm;
    if (At(b, 0, "IMPM"))
        return MediaContainer::It;
    if (At(b, 0, "MTM"))
        return MediaContainer::Mtm;
    if (At(b, 0, "MO3"))
        return MediaContainer::Mo3;
    if (At(b, 44, "SCRM"))
        return MediaContainer::S3m;
    if (At(b, 0, ".snd"))
        return MediaContainer::Au;
    if (At(b, 0, " paf") || At(b, 0, "fap "))
        return MediaContainer::Paf;
    if (At(b, 0, "NIST_1A"))
        return MediaContainer::Nist;
    if (At(b, 0, "Creative Voice File\x1A"))
        return MediaContainer::Voc;
    if (At(b, 0, "\x64\xA3\x01\x00", 4) || At(b, 0, "\x00\x01\xA3\x64", 4) ||
        At(b, 0, "\x64\xA3\x02\x00", 4) || At(b, 0, "\x00\x02\xA3\x64", 4) ||
        At(b, 0, "\x64\xA3\x03\x00", 4) || At(b, 0, "\x00\x03\xA3\x64", 4) ||
        At(b, 0, "\x64\xA3\x04\x00", 4) || At(b, 0, "\x00\x04\xA3\x64", 4))
        return MediaContainer::Ircam;
    if (At(b, 0, "PVF1\n") || At(b, 0, "PVF2\n"))
        return MediaContainer::Pvf;
    if (At(b, 0, "caff"))
        return MediaContainer::Caf;
    if (At(b, 0, "\x1A\x45\xDF\xA3", 4))
        return MediaContainer::Matroska;
    if (IsModSignature(b))
        return MediaContainer::Mod;
    if (At(b, 0, "\x0B\x77", 2) && b.size() > 4 && (quint8(b[4]) >> 6) != 3)
        return MediaContainer::Ac3;
    if (IsAdts(b, bytesToEnd))
        return MediaContainer::Adts;
    if (const int layer = FindMpegLayer(b, bytesToEnd)) {
        signature->mpegLayer = layer;
        return MediaContainer::MpegAudio;
    }
    return MediaContainer::Unknown;
}

} // namespace

MediaSignature DetectMediaSignature(QIODevice &device) {
    MediaSignature signature;
    if (!device.isOpen() || device.isSequential())
        return signature;
    const qint64 start = device.pos();
    const qint64 size = device.size();

    // Leading ID3v2 tags (sometimes more than one) say nothing about the audio behind them.
    qint64 offset = 0;
    QByteArray head;
    for (int tags = 0; tags < 8; ++tags) {
        if (!device.seek(offset))
            break;
        head = device.read(kHeadBytes);
        const qint64 tagSize = Id3v2TagSize(head);
        if (tagSize == 0 || offset + tagSize >= size)
            break;
        offset += tagSize;
    }
    signature.leadingId3v2Bytes = offset;
    if (!head.isEmpty())
        signature.container = ContainerOf(head, size - offset, &signature);
    // Behind an ID3v2 tag there is MPEG audio in practice, even when its frames are damaged or
    // missing (tag-only files): such a file is read and written as MPEG audio.
    if (signature.container == MediaContainer::Unknown && (offset > 0 || Id3v2TagSize(head) > 0)) {
        signature.container = MediaContainer::MpegAudio;
        signature.mpegLayer = 3;
    }
    device.seek(start);
    return signature;
}

AdtsSound MeasureAdts(const QString &path, qint64 offset) {
    AdtsSound sound;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return sound;
    static const int kRates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                   22050, 16000, 12000, 11025, 8000,  7350};
    qint64 at = offset;
    while (file.seek(at)) {
        const QByteArray header = file.read(7);
        const int length = AdtsFrameLength(header, 0);
        if (length == 0)
            break; // the end, or an ID3v1/APE tag after the last frame
        if (sound.frames == 0) {
            sound.sampleRate = kRates[(quint8(header[2]) >> 2) & 0xF];
            sound.channels = ((quint8(header[2]) & 1) << 2) | (quint8(header[3]) >> 6);
        }
        // Raw data blocks per frame beyond the first are rare; each carries 1024 samples.
        sound.frames += 1 + (quint8(header[6]) & 3);
        at += length;
    }
    return sound;
}

MediaSignature DetectMediaSignature(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return MediaSignature();
    return DetectMediaSignature(file);
}

} // namespace tv

#pragma once
// What a media file is, told from its bytes rather than from its name: a file renamed to the
// wrong extension is still recognised, and never handed to the wrong tag writer.

#include <QString>

class QIODevice;

namespace tv {

enum class MediaContainer {
    Unknown,
    MpegAudio, // MPEG-1/2/2.5 audio frames (layer in MediaSignature::mpegLayer)
    Adts,      // raw AAC in ADTS frames
    Ac3,
    OggVorbis,
    OggOpus,
    OggSpeex,
    OggFlac,
    OggOther, // an Ogg stream whose first stream is none of the above (video, multiplexed)
    Flac,
    Wave, // RIFF WAVE (format tag in MediaSignature::waveFormatTag)
    Rf64,
    Wave64,
    CdTrack, // RIFF CDDA
    Aiff,    // AIFF and AIFF-C
    Mp4,     // ISO base media (MP4, M4A, M4B, M4R, 3GP, MOV)
    Asf,
    MonkeysAudio,
    WavPack,
    MusePack,
    TrueAudio,
    Mod,
    Mtm,
    S3m,
    Xm,
    It,
    Mo3,
    Au,
    Paf,
    Svx,
    Nist,
    Voc,
    Ircam,
    Pvf,
    Caf,
    Matroska,
};

struct MediaSignature {
    MediaContainer container = MediaContainer::Unknown;
    int mpegLayer = 0;            // 1, 2 or 3 for MpegAudio
    int waveFormatTag = 0;        // the "fmt " format tag; an extensible header gives its sub-format's
    qint64 leadingId3v2Bytes = 0; // bytes of ID3v2 tags in front of the audio
};

// Reads the start of the device (its position is restored) and tells what it holds.
MediaSignature DetectMediaSignature(QIODevice &device);
MediaSignature DetectMediaSignature(const QString &path);

// The sound of a raw AAC (ADTS) file, measured by walking its frame headers from the given offset
// (TagLib does not read ADTS). Zero values when no frame is found.
struct AdtsSound {
    int sampleRate = 0;
    int channels = 0;
    qint64 frames = 0;
    int DurationMs() const { return sampleRate > 0 ? int(frames * 1024 * 1000 / sampleRate) : 0; }
};
AdtsSound MeasureAdts(const QString &path, qint64 offset);

} // namespace tv

#pragma once
// The encoders a job can write with: any encoder of the FFmpeg libraries, and AMR-NB through
// opencore-amrnb, which the Debian libraries lack.

#include "MediaLibs.h"

#include <QString>
#include <deque>
#include <memory>

namespace tv {

// What the job asks of the encoder; unset values follow the input.
struct EncoderRequest {
    int sampleRate = 0;
    int channels = 0;
    qint64 bitRate = 0;
    AVSampleFormat inputFormat = AV_SAMPLE_FMT_NONE;
    bool globalHeader = false;
};

class AudioEncoder {
public:
    virtual ~AudioEncoder();

    // Opens the encoder; "" on success, otherwise the reason. Afterwards the fields below say
    // what the encoder takes.
    virtual QString open(const EncoderRequest &request) = 0;
    // A frame of frameSize samples (the last one may be shorter), or nullptr to drain.
    virtual int sendFrame(const AVFrame *frame) = 0;
    // AVERROR(EAGAIN) when it needs more input, AVERROR_EOF when drained.
    virtual int receivePacket(AVPacket *packet) = 0;
    // Describes the encoded stream for the muxer.
    virtual int fillStream(AVStream *stream) const = 0;

    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_NONE;
    int sampleRate = 0;
    AVChannelLayout layout{};
    int frameSize = 0; // samples per frame the encoder takes
    AVRational timeBase{1, 1};
};

// The encoder for a name as the option text writes it ("libmp3lame", "libfaac" …), or nullptr
// with the reason in *error.
std::unique_ptr<AudioEncoder> CreateAudioEncoder(const QString &name, QString *error);

// True when the name is an encoder the engine can run.
bool EncoderAvailable(const QString &name);

// The codec id an encoder name produces (for the container check), AV_CODEC_ID_NONE if unknown.
AVCodecID EncoderCodecId(const QString &name);

} // namespace tv

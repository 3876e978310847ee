#pragma once
// The FFmpeg libraries with owning handles, shared by the engine's source files.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <QString>
#include <memory>

namespace tv {

// The library's own wording of an error code ("No space left on device").
inline QString AvErrorText(int error) {
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, buffer, sizeof buffer);
    return QString::fromUtf8(buffer);
}

// The channel layout of a decoded frame; one the container left unspecified becomes the default
// layout of its channel count (or of the decoder's, when the frame gives none).
inline void FrameChannelLayout(const AVFrame *frame, const AVCodecContext *decoder, AVChannelLayout *layout) {
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels == 0)
        av_channel_layout_default(layout, frame->ch_layout.nb_channels > 0 ? frame->ch_layout.nb_channels
                                                                           : decoder->ch_layout.nb_channels);
    else
        av_channel_layout_copy(layout, &frame->ch_layout);
}

struct InputContextDeleter {
    void operator()(AVFormatContext *c) const { avformat_close_input(&c); }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame *f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct SwrDeleter {
    void operator()(SwrContext *s) const { swr_free(&s); }
};
struct FifoDeleter {
    void operator()(AVAudioFifo *f) const { av_audio_fifo_free(f); }
};

using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>;
using FifoPtr = std::unique_ptr<AVAudioFifo, FifoDeleter>;

} // namespace tv

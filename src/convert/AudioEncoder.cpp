#include "AudioEncoder.h"

#include <opencore-amrnb/interf_enc.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace tv {

AudioEncoder::~AudioEncoder() {
    av_channel_layout_uninit(&layout);
}

namespace {

// Names the option text may carry that the libraries know by another name.
QString LibraryEncoderName(const QString &name) {
    if (name == QLatin1String("libfaac"))
        return QStringLiteral("aac");
    return name;
}

bool IsAmrNb(const QString &name) {
    return name == QLatin1String("libopencore_amrnb");
}

int NearestRate(const int *rates, int wanted) {
    if (!rates || !rates[0])
        return wanted;
    int best = rates[0];
    for (const int *r = rates; *r; ++r) {
        if (*r == wanted)
            return wanted;
        if (std::abs(*r - wanted) < std::abs(best - wanted))
            best = *r;
    }
    return best;
}

// The largest channel count the encoder takes that is not above the wanted one.
int FittingChannels(const AVChannelLayout *layouts, int wanted) {
    if (!layouts || !layouts[0].nb_channels)
        return wanted;
    int best = 0;
    int smallest = std::numeric_limits<int>::max();
    for (const AVChannelLayout *l = layouts; l->nb_channels; ++l) {
        smallest = std::min(smallest, l->nb_channels);
        if (l->nb_channels <= wanted)
            best = std::max(best, l->nb_channels);
    }
    return best ? best : smallest;
}

AVSampleFormat FittingFormat(const AVSampleFormat *formats, AVSampleFormat input) {
    if (!formats || formats[0] == AV_SAMPLE_FMT_NONE)
        return input == AV_SAMPLE_FMT_NONE ? AV_SAMPLE_FMT_S16 : input;
    // The input's own format (packed or planar) avoids a conversion; same width comes next.
    for (const AVSampleFormat *f = formats; *f != AV_SAMPLE_FMT_NONE; ++f) {
        if (*f == input)
            return *f;
    }
    for (const AVSampleFormat *f = formats; *f != AV_SAMPLE_FMT_NONE; ++f) {
        if (av_get_packed_sample_fmt(*f) == av_get_packed_sample_fmt(input))
            return *f;
    }
    return formats[0];
}

class LibraryEncoder final : public AudioEncoder {
public:
    explicit LibraryEncoder(const AVCodec *codec) : m_codec(codec) {}

    QString open(const EncoderRequest &request) override {
        m_context.reset(avcodec_alloc_context3(m_codec));
        if (!m_context)
            return AvErrorText(AVERROR(ENOMEM));
        AVCodecContext *c = m_context.get();
        c->sample_rate = NearestRate(m_codec->supported_samplerates, request.sampleRate);
        av_channel_layout_default(&c->ch_layout, FittingChannels(m_codec->ch_layouts, request.channels));
        c->sample_fmt = FittingFormat(m_codec->sample_fmts, request.inputFormat);
        if (request.bitRate > 0)
            c->bit_rate = request.bitRate;
        c->time_base = AVRational{1, c->sample_rate};
        if (request.globalHeader)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        // The native AAC encoder is production quality; no strictness switch is needed for it.
        const int error = avcodec_open2(c, m_codec, nullptr);
        if (error < 0)
            return QStringLiteral("Error while opening encoder for output stream #0:0 - maybe incorrect "
                                  "parameters such as bit_rate, rate, width or height (%1)")
                .arg(AvErrorText(error));
        sampleFormat = c->sample_fmt;
        sampleRate = c->sample_rate;
        av_channel_layout_copy(&layout, &c->ch_layout);
        const bool variable = m_codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
        frameSize = c->frame_size > 0 && !variable ? c->frame_size : 4096;
        timeBase = c->time_base;
        return QString();
    }

    int sendFrame(const AVFrame *frame) override { return avcodec_send_frame(m_context.get(), frame); }
    int receivePacket(AVPacket *packet) override { return avcodec_receive_packet(m_context.get(), packet); }
    int fillStream(AVStream *stream) const override {
        stream->time_base = timeBase;
        return avcodec_parameters_from_context(stream->codecpar, m_context.get());
    }

private:
    const AVCodec *m_codec;
    CodecContextPtr m_context;
};

// AMR-NB: 8 kHz mono, 160 samples per frame, one packet per frame in storage format.
class AmrNbEncoder final : public AudioEncoder {
public:
    ~AmrNbEncoder() override {
        if (m_state)
            Encoder_Interface_exit(m_state);
    }

    QString open(const EncoderRequest &request) override {
        static constexpr std::array<int, 8> kRates{4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};
        const qint64 wanted = request.bitRate > 0 ? request.bitRate : 12200;
        int best = 0;
        for (int i = 1; i < static_cast<int>(kRates.size()); ++i) {
            if (std::llabs(kRates[i] - wanted) < std::llabs(kRates[best] - wanted))
                best = i;
        }
        m_mode = best;
        m_bitRate = kRates[best];
        m_state = Encoder_Interface_init(0);
        if (!m_state)
            return QStringLiteral("Error while opening encoder for output stream #0:0 (AMR-NB)");
        sampleFormat = AV_SAMPLE_FMT_S16;
        sampleRate = 8000;
        av_channel_layout_default(&layout, 1);
        frameSize = 160;
        timeBase = AVRational{1, 8000};
        return QString();
    }

    int sendFrame(const AVFrame *frame) override {
        if (!frame) {
            m_draining = true;
            return 0;
        }
        // Frames are exactly 160 samples except the last, which is padded with silence.
        std::array<short, 160> speech{};
        const int n = std::min(frame->nb_samples, 160);
        std::memcpy(speech.data(), frame->data[0], static_cast<size_t>(n) * sizeof(short));
        unsigned char out[64];
        const int bytes = Encoder_Interface_Encode(m_state, static_cast<Mode>(m_mode), speech.data(), out, 0);
        if (bytes <= 0)
            return AVERROR_EXTERNAL;
        PacketPtr packet(av_packet_alloc());
        if (!packet || av_new_packet(packet.get(), bytes) < 0)
            return AVERROR(ENOMEM);
        std::memcpy(packet->data, out, static_cast<size_t>(bytes));
        packet->pts = packet->dts = frame->pts;
        packet->duration = 160;
        m_pending.push_back(std::move(packet));
        return 0;
    }

    int receivePacket(AVPacket *packet) override {
        if (m_pending.empty())
            return m_draining ? AVERROR_EOF : AVERROR(EAGAIN);
        av_packet_move_ref(packet, m_pending.front().get());
        m_pending.pop_front();
        return 0;
    }

    int fillStream(AVStream *stream) const override {
        AVCodecParameters *p = stream->codecpar;
        p->codec_type = AVMEDIA_TYPE_AUDIO;
        p->codec_id = AV_CODEC_ID_AMR_NB;
        p->sample_rate = 8000;
        p->frame_size = 160;
        p->bit_rate = m_bitRate;
        av_channel_layout_default(&p->ch_layout, 1);
        stream->time_base = timeBase;
        return 0;
    }

private:
    void *m_state = nullptr;
    int m_mode = 7;
    int m_bitRate = 12200;
    bool m_draining = false;
    std::deque<PacketPtr> m_pending;
};

} // namespace

std::unique_ptr<AudioEncoder> CreateAudioEncoder(const QString &name, QString *error) {
    if (IsAmrNb(name))
        return std::make_unique<AmrNbEncoder>();
    const AVCodec *codec = avcodec_find_encoder_by_name(LibraryEncoderName(name).toUtf8().constData());
    if (!codec || codec->type != AVMEDIA_TYPE_AUDIO) {
        if (error)
            *error = QStringLiteral("Unknown encoder '%1'").arg(name);
        return nullptr;
    }
    return std::make_unique<LibraryEncoder>(codec);
}

bool EncoderAvailable(const QString &name) {
    return EncoderCodecId(name) != AV_CODEC_ID_NONE;
}

AVCodecID EncoderCodecId(const QString &name) {
    if (IsAmrNb(name))
        return AV_CODEC_ID_AMR_NB;
    const AVCodec *codec = avcodec_find_encoder_by_name(LibraryEncoderName(name).toUtf8().constData());
    return codec && codec->type == AVMEDIA_TYPE_AUDIO ? codec->id : AV_CODEC_ID_NONE;
}

} // namespace tv

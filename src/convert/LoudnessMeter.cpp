#include "LoudnessMeter.h"

#include "AudioEncoder.h"
#include "MediaLibs.h"
#include "Task.h"
#include "Transcode.h"
#include "TruePeak.h"

#include "LoudnessMeterState.h"

#include <QFile>

#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

namespace tv {

namespace {

// The rate, channel count and sample format the job's encoder would take for this input.
bool EncoderShape(const LoudnessRequest &request, const AVCodecContext *decoder, int *rate, int *channels,
                  AVSampleFormat *format) {
    EncoderRequest wanted;
    wanted.sampleRate =
        request.output.sampleRate.value_or(decoder->sample_rate > 0 ? decoder->sample_rate : 44100);
    wanted.channels = request.output.channels.value_or(
        decoder->ch_layout.nb_channels > 0 ? decoder->ch_layout.nb_channels : 2);
    wanted.bitRate = request.output.bitRate.value_or(0);
    wanted.inputFormat = decoder->sample_fmt;
    *rate = wanted.sampleRate;
    *channels = wanted.channels;
    *format = AV_SAMPLE_FMT_FLT;
    QString error;
    std::unique_ptr<AudioEncoder> encoder =
        CreateAudioEncoder(OutputEncoderName(request.outputPath, request.output), &error);
    if (!encoder || !encoder->open(wanted).isEmpty())
        return true; // the job will say what is wrong; the input's own shape is measured meanwhile
    *rate = encoder->sampleRate;
    *channels = encoder->layout.nb_channels;
    *format = encoder->sampleFormat;
    return true;
}

} // namespace

LoudnessMeasurement MeasureLoudness(const LoudnessRequest &request, TaskControl &control,
                                    const std::function<void(qint64, qint64)> &progress) {
    LoudnessMeasurement result;
    auto fail = [&result](const QString &message) {
        result.message = message;
        return result;
    };
    AVFormatContext *rawInput = nullptr;
    int error =
        avformat_open_input(&rawInput, QFile::encodeName(request.inputPath).constData(), nullptr, nullptr);
    if (error < 0)
        return fail(request.inputPath + QStringLiteral(": ") + AvErrorText(error));
    InputContextPtr input(rawInput);
    if ((error = avformat_find_stream_info(input.get(), nullptr)) < 0)
        return fail(request.inputPath + QStringLiteral(": ") + AvErrorText(error));
    const AVCodec *codec = nullptr;
    const int audioIndex = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (audioIndex < 0 || !codec)
        return fail(QStringLiteral("Output file #0 does not contain any stream"));
    for (unsigned i = 0; i < input->nb_streams; ++i)
        input->streams[i]->discard = static_cast<int>(i) == audioIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    AVStream *stream = input->streams[audioIndex];
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder)
        return fail(AvErrorText(AVERROR(ENOMEM)));
    avcodec_parameters_to_context(decoder.get(), stream->codecpar);
    decoder->pkt_timebase = stream->time_base;
    decoder->thread_count = 1;
    if ((error = avcodec_open2(decoder.get(), codec, nullptr)) < 0)
        return fail(AvErrorText(error));

    int rate = 0;
    int channels = 0;
    AVSampleFormat encoderFormat = AV_SAMPLE_FMT_FLT;
    EncoderShape(request, decoder.get(), &rate, &channels, &encoderFormat);
    // A mix-down is scaled to stay within full scale when the encoder takes whole-number samples
    // (the conversion's resampler does so), not when it takes floating-point ones.
    const bool integerEncoder = av_get_packed_sample_fmt(encoderFormat) < AV_SAMPLE_FMT_FLT;
    ebur128_state *rawMeter = ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate),
                                           EBUR128_MODE_I | EBUR128_MODE_HISTOGRAM);
    if (!rawMeter)
        return fail(QStringLiteral("The loudness of %1 cannot be measured").arg(request.inputPath));
    auto state = std::make_shared<LoudnessMeterState>(rawMeter);
    // A mono output plays on both speakers: it counts twice, as its listeners hear it.
    if (channels == 1)
        ebur128_set_channel(rawMeter, 0, EBUR128_DUAL_MONO);
    ebur128_state *meter = state->meter;
    // The true peak is ours: it skips what cannot raise it, at a fraction of the library's cost.
    TruePeakMeter truePeak(channels, rate);
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, channels);

    // The part the job converts: from the start time, at most the length.
    const qint64 startUs = request.input.startMicroseconds;
    const qint64 baseUs = input->start_time != AV_NOPTS_VALUE ? input->start_time : 0;
    bool seeked = false;
    if (startUs > 0) {
        const int64_t target = baseUs + startUs;
        seeked = avformat_seek_file(input.get(), -1, INT64_MIN, target, target, 0) >= 0;
    }
    const qint64 limitSamples =
        request.output.durationMicroseconds && *request.output.durationMicroseconds > 0
            ? av_rescale(*request.output.durationMicroseconds, rate, 1000000)
            : -1;
    qint64 totalUs = input->duration > 0 ? std::max<qint64>(0, input->duration - startUs) : 0;
    if (limitSamples >= 0)
        totalUs = totalUs > 0 ? std::min(totalUs, *request.output.durationMicroseconds)
                              : *request.output.durationMicroseconds;

    SwrPtr resampler;
    AVChannelLayout inLayout{};
    int inRate = 0;
    int inFormat = -1;
    std::vector<float> samples;
    qint64 skip = -1;
    qint64 measured = 0;
    bool done = false;
    auto lastReport = std::chrono::steady_clock::now();

    auto feed = [&](const AVFrame *frame) -> bool {
        if (frame) {
            AVChannelLayout layout{};
            FrameChannelLayout(frame, decoder.get(), &layout);
            if (!resampler || inRate != frame->sample_rate || inFormat != frame->format ||
                av_channel_layout_compare(&inLayout, &layout) != 0) {
                SwrContext *raw = nullptr;
                if (swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_FLT, rate, &layout,
                                        static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                        nullptr) < 0 ||
                    av_opt_set_double(raw, "rematrix_maxval", integerEncoder ? 1.0 : 0.0, 0) < 0 ||
                    swr_init(raw) < 0) {
                    swr_free(&raw);
                    av_channel_layout_uninit(&layout);
                    return false;
                }
                resampler.reset(raw);
                av_channel_layout_uninit(&inLayout);
                av_channel_layout_copy(&inLayout, &layout);
                inRate = frame->sample_rate;
                inFormat = frame->format;
            }
            av_channel_layout_uninit(&layout);
            if (skip < 0) {
                skip = 0;
                if (startUs > 0) {
                    qint64 frameUs = seeked ? startUs : 0;
                    if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
                        frameUs = av_rescale_q(frame->best_effort_timestamp, stream->time_base,
                                               AVRational{1, 1000000}) -
                                  baseUs;
                    if (frameUs < startUs)
                        skip = av_rescale(startUs - frameUs, rate, 1000000);
                }
            }
        }
        if (!resampler)
            return true;
        const int room = swr_get_out_samples(resampler.get(), frame ? frame->nb_samples : 0);
        if (room <= 0)
            return true;
        samples.resize(static_cast<size_t>(room) * channels);
        uint8_t *out[] = {reinterpret_cast<uint8_t *>(samples.data())};
        int count = swr_convert(resampler.get(), out, room,
                                frame ? const_cast<const uint8_t **>(frame->extended_data) : nullptr,
                                frame ? frame->nb_samples : 0);
        if (count <= 0)
            return count == 0;
        int offset = 0;
        if (skip > 0) {
            offset = static_cast<int>(std::min<qint64>(skip, count));
            skip -= offset;
        }
        count -= offset;
        if (limitSamples >= 0 && measured + count >= limitSamples) {
            count = static_cast<int>(limitSamples - measured);
            done = true;
        }
        if (count > 0) {
            const float *part = samples.data() + static_cast<size_t>(offset) * channels;
            ebur128_add_frames_float(meter, part, static_cast<size_t>(count));
            truePeak.add(part, static_cast<size_t>(count));
            measured += count;
        }
        return true;
    };

    FramePtr frame(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    auto drain = [&]() -> bool {
        while (!done) {
            const int received = avcodec_receive_frame(decoder.get(), frame.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return true;
            if (received < 0)
                continue; // a damaged frame is skipped, as the conversion does
            const bool ok = feed(frame.get());
            av_frame_unref(frame.get());
            if (!ok)
                return false;
        }
        return true;
    };
    bool ok = true;
    while (ok && !done) {
        if (!control.proceed())
            return fail(QString());
        const int read = av_read_frame(input.get(), packet.get());
        if (read < 0)
            break;
        if (packet->stream_index == audioIndex) {
            avcodec_send_packet(decoder.get(), packet.get());
            ok = drain();
        }
        av_packet_unref(packet.get());
        const auto now = std::chrono::steady_clock::now();
        if (progress && now - lastReport >= std::chrono::milliseconds(100)) {
            lastReport = now;
            progress(av_rescale(measured, 1000000, rate), totalUs);
        }
    }
    if (ok && !done) {
        avcodec_send_packet(decoder.get(), nullptr);
        ok = drain();
    }
    if (ok && !done)
        ok = feed(nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (!ok)
        return fail(QStringLiteral("Error while converting the audio of the input"));

    double integrated = 0.0;
    if (ebur128_loudness_global(meter, &integrated) != EBUR128_SUCCESS)
        integrated = -std::numeric_limits<double>::infinity();
    const double peak = truePeak.peak();
    result.measured = true;
    result.integrated = integrated;
    result.truePeakDb = peak > 0.0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
    result.state = std::move(state);
    return result;
}

} // namespace tv

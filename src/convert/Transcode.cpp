#include "Transcode.h"

#include "AudioEncoder.h"
#include "ErrorTexts.h"
#include "Loudness.h"
#include "MediaLibs.h"
#include "OutputNaming.h"
#include "Task.h"
#include "WorkFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace tv {

namespace {

// Extensions whose muxer the libraries do not guess from the name alone.
const AVOutputFormat *OutputFormatFor(const QString &outputPath) {
    const QString extension = QFileInfo(outputPath).suffix().toLower();
    static const struct {
        const char *extension;
        const char *muxer;
    } kExtra[] = {{"m4r", "ipod"},     {"m4b", "ipod"}, {"m4a", "ipod"}, {"ra", "rm"},   {"wma", "asf"},
                  {"mka", "matroska"}, {"aac", "adts"}, {"aif", "aiff"}, {"mpg", "mpeg"}};
    for (const auto &e : kExtra) {
        if (extension == QLatin1String(e.extension))
            return av_guess_format(e.muxer, nullptr, nullptr);
    }
    return av_guess_format(nullptr, ("x." + extension).toUtf8().constData(), nullptr);
}

// The encoder a container writes when the option text names none.
QString DefaultEncoderFor(const AVOutputFormat *format) {
    if (!format || format->audio_codec == AV_CODEC_ID_NONE)
        return QString();
    if (format->audio_codec == AV_CODEC_ID_AMR_NB)
        return QStringLiteral("libopencore_amrnb");
    const AVCodec *codec = avcodec_find_encoder(format->audio_codec);
    return codec ? QString::fromLatin1(codec->name) : QString();
}

// Shares of the input's length an output must reach: any output, and one whose input had
// frames that could not be decoded.
constexpr double kLeastShare = 0.5;
constexpr double kLeastShareWithErrors = 0.9;

QString NoStreamText() {
    return QStringLiteral("Output file #0 does not contain any stream");
}

QString ContainerRefusal(const AVOutputFormat *format, const QString &encoder) {
    const AVCodecID id = EncoderCodecId(encoder);
    if (id == AV_CODEC_ID_NONE || id == format->audio_codec)
        return QString();
    // 1 = the container takes the codec; 0 = it does not; negative = it only knows its own.
    if (avformat_query_codec(format, id, FF_COMPLIANCE_NORMAL) > 0)
        return QString();
    return QStringLiteral("Could not write header for output file #0 (incorrect codec parameters ?): "
                          "%1 is not supported in the %2 container")
        .arg(QString::fromLatin1(avcodec_get_name(id)), QString::fromLatin1(format->name));
}

// Owns the output while it is written; anything not finished is removed again.
class OutputFile {
public:
    ~OutputFile() {
        if (m_context) {
            if (m_context->pb)
                avio_closep(&m_context->pb);
            avformat_free_context(m_context);
        }
        if (!m_kept && !m_path.isEmpty())
            QFile::remove(m_path);
    }
    void track(AVFormatContext *c, const QString &path) {
        m_context = c;
        m_path = path;
    }
    // Closes the file; answers the first write error seen, or 0.
    int close() {
        int error = m_context->pb ? m_context->pb->error : 0;
        if (m_context->pb) {
            avio_flush(m_context->pb);
            if (!error)
                error = m_context->pb->error;
            const int closed = avio_closep(&m_context->pb);
            if (!error)
                error = closed;
        }
        return error;
    }
    void keep() { m_kept = true; }

private:
    AVFormatContext *m_context = nullptr;
    QString m_path;
    bool m_kept = false;
};

qint64 ToMicroseconds(int64_t value, AVRational timeBase) {
    return av_rescale_q(value, timeBase, AVRational{1, 1000000});
}

} // namespace

QString CheckOutputSettings(const QString &outputPath, const OutputOptions &output) {
    const AVOutputFormat *format = OutputFormatFor(outputPath);
    if (!format)
        return QStringLiteral("Unable to find a suitable output format for '%1'").arg(outputPath);
    if (output.noAudio)
        return NoStreamText();
    const QString encoder = output.encoder.isEmpty() ? DefaultEncoderFor(format) : output.encoder;
    if (encoder.isEmpty())
        return NoStreamText();
    if (!EncoderAvailable(encoder))
        return QStringLiteral("Unknown encoder '%1'").arg(encoder);
    return ContainerRefusal(format, encoder);
}

QString OutputEncoderName(const QString &outputPath, const OutputOptions &output) {
    return output.encoder.isEmpty() ? DefaultEncoderFor(OutputFormatFor(outputPath)) : output.encoder;
}

TranscodeResult Transcode(const TranscodeRequest &request, TaskControl &control,
                          const ProgressCallback &progress) {
    TranscodeResult result;
    auto fail = [&result](const QString &message) {
        result.message = message;
        return result;
    };

    const QString refusal = CheckOutputSettings(request.outputPath, request.output);
    if (!refusal.isEmpty())
        return fail(refusal);
    const AVOutputFormat *format = OutputFormatFor(request.outputPath);

    // Input and its decoder.
    AVFormatContext *rawInput = nullptr;
    int error =
        avformat_open_input(&rawInput, QFile::encodeName(request.inputPath).constData(), nullptr, nullptr);
    if (error < 0)
        return fail(request.inputPath + QStringLiteral(": ") + AvErrorText(error));
    InputContextPtr input(rawInput);
    error = avformat_find_stream_info(input.get(), nullptr);
    if (error < 0)
        return fail(request.inputPath + QStringLiteral(": ") + AvErrorText(error));
    const AVCodec *decoderCodec = nullptr;
    const int audioIndex = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoderCodec, 0);
    if (audioIndex < 0 || !decoderCodec)
        return fail(
            audioIndex == AVERROR_DECODER_NOT_FOUND
                ? QStringLiteral("Decoder not found for the audio stream of %1").arg(request.inputPath)
                : NoStreamText());
    for (unsigned i = 0; i < input->nb_streams; ++i)
        input->streams[i]->discard = static_cast<int>(i) == audioIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    AVStream *inStream = input->streams[audioIndex];
    CodecContextPtr decoder(avcodec_alloc_context3(decoderCodec));
    if (!decoder)
        return fail(AvErrorText(AVERROR(ENOMEM)));
    avcodec_parameters_to_context(decoder.get(), inStream->codecpar);
    decoder->pkt_timebase = inStream->time_base;
    decoder->thread_count = 1; // jobs run side by side; one thread each keeps the cores evenly busy
    error = avcodec_open2(decoder.get(), decoderCodec, nullptr);
    if (error < 0)
        return fail(QStringLiteral("Error while opening decoder for input stream #0:%1 : %2")
                        .arg(audioIndex)
                        .arg(AvErrorText(error)));

    // Encoder.
    const QString encoderName =
        request.output.encoder.isEmpty() ? DefaultEncoderFor(format) : request.output.encoder;
    QString encoderError;
    std::unique_ptr<AudioEncoder> encoder = CreateAudioEncoder(encoderName, &encoderError);
    if (!encoder)
        return fail(encoderError);
    EncoderRequest wanted;
    wanted.sampleRate =
        request.output.sampleRate.value_or(decoder->sample_rate > 0 ? decoder->sample_rate : 44100);
    wanted.channels = request.output.channels.value_or(
        decoder->ch_layout.nb_channels > 0 ? decoder->ch_layout.nb_channels : 2);
    wanted.bitRate = request.output.bitRate.value_or(0);
    wanted.inputFormat = decoder->sample_fmt;
    wanted.globalHeader = format->flags & AVFMT_GLOBALHEADER;
    encoderError = encoder->open(wanted);
    if (!encoderError.isEmpty())
        return fail(encoderError);

    // Output, under its work name until it is complete.
    const QString workPath = WorkFilePath(request.outputPath);
    OutputFile output;
    AVFormatContext *rawOutput = nullptr;
    error =
        avformat_alloc_output_context2(&rawOutput, format, nullptr, QFile::encodeName(workPath).constData());
    if (error < 0 || !rawOutput)
        return fail(request.outputPath + QStringLiteral(": ") + AvErrorText(error));
    output.track(rawOutput, QString());
    AVStream *outStream = avformat_new_stream(rawOutput, nullptr);
    if (!outStream || encoder->fillStream(outStream) < 0)
        return fail(AvErrorText(AVERROR(ENOMEM)));
    // The row's tags, never the input's own container tags: a field the user edited or cleared
    // must not come back from the input.
    // Some muxers read the container's tags, others (Ogg) the stream's: both get them.
    for (const auto &[key, value] : request.containerTags) {
        av_dict_set(&rawOutput->metadata, key.toUtf8().constData(), value.toUtf8().constData(), 0);
        av_dict_set(&outStream->metadata, key.toUtf8().constData(), value.toUtf8().constData(), 0);
    }
    error = avio_open(&rawOutput->pb, QFile::encodeName(workPath).constData(), AVIO_FLAG_WRITE);
    if (error < 0)
        return fail(request.outputPath + QStringLiteral(": ") + AvErrorText(error));
    output.track(rawOutput, workPath);
    error = avformat_write_header(rawOutput, nullptr);
    if (error < 0)
        return fail(
            QStringLiteral("Could not write header for output file #0 (incorrect codec parameters ?): ") +
            AvErrorText(error));
    const AVRational outTimeBase = outStream->time_base;

    // Trim range in output samples.
    const int outRate = encoder->sampleRate;
    const qint64 startUs = request.input.startMicroseconds;
    const qint64 baseUs = input->start_time != AV_NOPTS_VALUE ? input->start_time : 0;
    bool seeked = false;
    if (startUs > 0) {
        const int64_t target = baseUs + startUs;
        seeked = avformat_seek_file(input.get(), -1, INT64_MIN, target, target, 0) >= 0;
    }
    qint64 limitSamples = -1;
    // Lengths are written in whole milliseconds, rounded down: one that reaches to within a
    // millisecond of the input's real end means the end itself, so no sample of it is lost.
    const bool reachesEnd = request.output.durationMicroseconds && input->duration > 0 &&
                            input->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE &&
                            startUs + *request.output.durationMicroseconds >= input->duration - 1000;
    if (request.output.durationMicroseconds && *request.output.durationMicroseconds > 0 && !reachesEnd)
        limitSamples = av_rescale(*request.output.durationMicroseconds, outRate, 1000000);
    qint64 totalUs = 0;
    if (input->duration > 0)
        totalUs = std::max<qint64>(0, input->duration - startUs);
    if (limitSamples >= 0)
        totalUs = totalUs > 0 ? std::min(totalUs, *request.output.durationMicroseconds)
                              : *request.output.durationMicroseconds;

    FifoPtr fifo(
        av_audio_fifo_alloc(encoder->sampleFormat, encoder->layout.nb_channels, encoder->frameSize * 4));
    FramePtr decoded(av_frame_alloc());
    FramePtr chunk(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    PacketPtr encodedPacket(av_packet_alloc());
    if (!fifo || !decoded || !chunk || !packet || !encodedPacket)
        return fail(AvErrorText(AVERROR(ENOMEM)));

    SwrPtr resampler;
    AVChannelLayout resamplerLayout{};
    int resamplerRate = 0;
    int resamplerFormat = -1;
    uint8_t **converted = nullptr;
    int convertedCapacity = 0;
    auto freeConverted = [&]() {
        if (converted) {
            av_freep(&converted[0]);
            av_freep(&converted);
        }
        convertedCapacity = 0;
    };

    qint64 skipSamples = -1; // output samples to drop for the start position; -1 until known
    qint64 sentSamples = 0;
    qint64 decodedSamples = 0;
    int decodeErrors = 0;
    bool limitReached = false;
    QString writeError;
    auto lastReport = std::chrono::steady_clock::now() - std::chrono::seconds(1);

    auto writePackets = [&]() -> bool {
        while (true) {
            const int received = encoder->receivePacket(encodedPacket.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return true;
            if (received < 0) {
                writeError = QStringLiteral("Error while encoding audio: ") + AvErrorText(received);
                return false;
            }
            encodedPacket->stream_index = outStream->index;
            av_packet_rescale_ts(encodedPacket.get(), encoder->timeBase, outTimeBase);
            const int written = av_interleaved_write_frame(rawOutput, encodedPacket.get());
            if (written < 0) {
                writeError = AvErrorText(written);
                return false;
            }
        }
    };

    // Feeds whole frames from the FIFO to the encoder (and the last partial one when flushing).
    auto encodeFromFifo = [&](bool flush) -> bool {
        while (!limitReached) {
            int available = av_audio_fifo_size(fifo.get());
            if (available <= 0 || (available < encoder->frameSize && !flush))
                return true;
            int n = std::min(available, encoder->frameSize);
            if (limitSamples >= 0 && sentSamples + n >= limitSamples) {
                n = static_cast<int>(limitSamples - sentSamples);
                limitReached = true;
                if (n <= 0)
                    return true;
            }
            av_frame_unref(chunk.get());
            chunk->nb_samples = n;
            chunk->format = encoder->sampleFormat;
            chunk->sample_rate = outRate;
            av_channel_layout_copy(&chunk->ch_layout, &encoder->layout);
            if (av_frame_get_buffer(chunk.get(), 0) < 0) {
                writeError = AvErrorText(AVERROR(ENOMEM));
                return false;
            }
            av_audio_fifo_read(fifo.get(), reinterpret_cast<void **>(chunk->data), n);
            chunk->pts = sentSamples;
            sentSamples += n;
            const int sent = encoder->sendFrame(chunk.get());
            if (sent < 0) {
                writeError = QStringLiteral("Error while encoding audio: ") + AvErrorText(sent);
                return false;
            }
            if (!writePackets())
                return false;
        }
        return true;
    };

    auto report = [&](bool force) {
        if (!progress)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (!force && now - lastReport < std::chrono::milliseconds(100))
            return;
        lastReport = now;
        progress(av_rescale(sentSamples, 1000000, outRate), totalUs);
    };

    // Converts one decoded frame (or the resampler's tail when frame is null) into the FIFO.
    auto convertFrame = [&](const AVFrame *frame) -> bool {
        if (frame) {
            AVChannelLayout inLayout{};
            FrameChannelLayout(frame, decoder.get(), &inLayout);
            const bool changed = !resampler || resamplerRate != frame->sample_rate ||
                                 resamplerFormat != frame->format ||
                                 av_channel_layout_compare(&resamplerLayout, &inLayout) != 0;
            if (changed) {
                SwrContext *raw = nullptr;
                if (swr_alloc_set_opts2(&raw, &encoder->layout, encoder->sampleFormat, outRate, &inLayout,
                                        static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                        nullptr) < 0 ||
                    swr_init(raw) < 0) {
                    swr_free(&raw);
                    av_channel_layout_uninit(&inLayout);
                    writeError = QStringLiteral("Error while converting the audio of the input");
                    return false;
                }
                resampler.reset(raw);
                av_channel_layout_uninit(&resamplerLayout);
                av_channel_layout_copy(&resamplerLayout, &inLayout);
                resamplerRate = frame->sample_rate;
                resamplerFormat = frame->format;
            }
            av_channel_layout_uninit(&inLayout);
        }
        if (!resampler)
            return true;
        const int needed = swr_get_out_samples(resampler.get(), frame ? frame->nb_samples : 0);
        if (needed <= 0)
            return true;
        if (needed > convertedCapacity) {
            freeConverted();
            if (av_samples_alloc_array_and_samples(&converted, nullptr, encoder->layout.nb_channels, needed,
                                                   encoder->sampleFormat, 0) < 0) {
                writeError = AvErrorText(AVERROR(ENOMEM));
                return false;
            }
            convertedCapacity = needed;
        }
        const int count = swr_convert(resampler.get(), converted, convertedCapacity,
                                      frame ? const_cast<const uint8_t **>(frame->extended_data) : nullptr,
                                      frame ? frame->nb_samples : 0);
        if (count < 0) {
            writeError = QStringLiteral("Error while converting the audio of the input");
            return false;
        }
        ApplyGain(converted, encoder->sampleFormat, encoder->layout.nb_channels, count, request.gainDb);
        int offset = 0;
        if (skipSamples > 0) {
            offset = static_cast<int>(std::min<qint64>(skipSamples, count));
            skipSamples -= offset;
        }
        if (count > offset) {
            // Planar data needs each plane advanced by the dropped samples.
            uint8_t *planes[AV_NUM_DATA_POINTERS] = {};
            const int bytes = av_get_bytes_per_sample(encoder->sampleFormat);
            const bool planar = av_sample_fmt_is_planar(encoder->sampleFormat);
            const int planeCount = planar ? encoder->layout.nb_channels : 1;
            const int step = planar ? bytes : bytes * encoder->layout.nb_channels;
            for (int p = 0; p < planeCount && p < AV_NUM_DATA_POINTERS; ++p)
                planes[p] = converted[p] + static_cast<ptrdiff_t>(offset) * step;
            if (av_audio_fifo_write(fifo.get(), reinterpret_cast<void **>(planes), count - offset) <
                count - offset) {
                writeError = AvErrorText(AVERROR(ENOMEM));
                return false;
            }
        }
        return encodeFromFifo(false);
    };

    auto handleFrame = [&](AVFrame *frame) -> bool {
        decodedSamples += frame->nb_samples;
        if (skipSamples < 0) {
            skipSamples = 0;
            if (startUs > 0) {
                const int64_t pts = frame->best_effort_timestamp;
                qint64 frameUs = seeked ? startUs : 0;
                if (pts != AV_NOPTS_VALUE)
                    frameUs = ToMicroseconds(pts, inStream->time_base) - baseUs;
                if (frameUs < startUs)
                    skipSamples = av_rescale(startUs - frameUs, outRate, 1000000);
            }
        }
        return convertFrame(frame);
    };

    auto drainDecoder = [&]() -> bool {
        while (true) {
            const int received = avcodec_receive_frame(decoder.get(), decoded.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return true;
            if (received < 0) {
                ++decodeErrors; // a damaged frame is skipped, as the command-line tool does
                continue;
            }
            const bool ok = handleFrame(decoded.get());
            av_frame_unref(decoded.get());
            if (!ok)
                return false;
            if (limitReached)
                return true;
        }
    };

    QString readError;
    bool ok = true;
    while (ok && !limitReached) {
        if (!control.proceed()) {
            result.stopped = true;
            break;
        }
        const int read = av_read_frame(input.get(), packet.get());
        if (read == AVERROR_EOF)
            break;
        if (read < 0) {
            readError = request.inputPath + QStringLiteral(": ") + AvErrorText(read);
            break;
        }
        if (packet->stream_index == audioIndex) {
            const int sent = avcodec_send_packet(decoder.get(), packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN))
                ++decodeErrors;
            ok = drainDecoder();
        }
        av_packet_unref(packet.get());
        report(false);
    }

    if (result.stopped || control.cancelled()) {
        freeConverted();
        av_channel_layout_uninit(&resamplerLayout);
        result.stopped = true;
        return result;
    }
    if (ok && !limitReached) {
        avcodec_send_packet(decoder.get(), nullptr);
        ok = drainDecoder();
    }
    if (ok && !limitReached)
        ok = convertFrame(nullptr);
    if (ok)
        ok = encodeFromFifo(true);
    freeConverted();
    av_channel_layout_uninit(&resamplerLayout);
    if (!ok)
        return fail(writeError);
    // An output must hold the input's sound: none at all, or far less than the input lasts
    // (its frames could not be decoded), is a failure, never a "Done" file the user cannot play.
    const bool troubled = decodeErrors > 0 || !readError.isEmpty();
    // A length guessed from the bit rate can be far off; a real one is trusted.
    const bool lengthKnown = input->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
    if (sentSamples == 0)
        return fail(troubled || (lengthKnown && totalUs > 0) ? DamagedAudioText() : NoAudioText());
    const qint64 producedUs = av_rescale(sentSamples, 1000000, outRate);
    if (totalUs > 0 && (lengthKnown || troubled)) {
        const double share = static_cast<double>(producedUs) / static_cast<double>(totalUs);
        if (share < kLeastShare || (troubled && share < kLeastShareWithErrors))
            return fail(DamagedAudioText());
    }

    if (encoder->sendFrame(nullptr) < 0 || !writePackets())
        return fail(writeError.isEmpty() ? QStringLiteral("Error while flushing the encoder") : writeError);
    error = av_write_trailer(rawOutput);
    const int closeError = output.close();
    if (error >= 0)
        error = closeError;
    if (error < 0)
        return fail(AvErrorText(error));
    report(true);

    if (request.finishOutput)
        request.finishOutput(workPath);
    if (request.deferPlacing) {
        output.keep();
        result.succeeded = true;
        result.placeFrom = workPath;
        return result;
    }
    if (const QString problem = PlaceFinishedOutput(workPath, request.outputPath, request.replaceExisting);
        !problem.isEmpty())
        return fail(problem);
    output.keep();
    result.succeeded = true;
    return result;
}

QString PlaceFinishedOutput(const QString &workPath, const QString &outputPath, bool replaceExisting) {
    if (PlaceFile(workPath, outputPath, replaceExisting))
        return QString();
    const int error = errno;
    QFile::remove(workPath);
    if (error == EEXIST)
        return outputPath +
               QStringLiteral(": a file of this name appeared during the conversion and was kept");
    return outputPath + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

} // namespace tv

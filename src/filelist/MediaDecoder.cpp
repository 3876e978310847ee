#include "MediaDecoder.h"

#include "LibavLogOwner.h"
#include "MediaDuration.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <cerrno>
#include <cstring>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace tv {

namespace {

Q_LOGGING_CATEGORY(lcLibav, "tunevane.libav", QtCriticalMsg)

void QuietLog(void *avcl, int level, const char *format, va_list args) {
    if (level > AV_LOG_WARNING || !lcLibav().isDebugEnabled())
        return;
    char line[1024];
    int prefix = 1;
    av_log_format_line2(avcl, level, format, args, line, sizeof line, &prefix);
    qCDebug(lcLibav).noquote() << QString::fromUtf8(line).trimmed();
}

// How many frames of the picture stream are decoded at most to reach the wanted position.
constexpr int kMaxFramesToPosition = 120;
// How many packets are read at most while looking for one picture.
constexpr int kMaxPacketsForPicture = 4000;

QString ErrorText(int error) {
    if (error == AVERROR_INVALIDDATA)
        return QStringLiteral("Not a media file that can be read, or the file is damaged.");
    if (error == AVERROR_EOF)
        return QStringLiteral("The file ends before its media data begins (it is empty or cut short).");
    if (error == AVERROR_EXIT)
        return QStringLiteral("Reading the file took too long and was stopped.");
    if (error == AVERROR_DECODER_NOT_FOUND || error == AVERROR_DEMUXER_NOT_FOUND)
        return QStringLiteral("The file's format is not supported.");
    // The libraries' own word for a container without readable streams ("Invalid argument")
    // would not tell the user anything.
    if (error == AVERROR(EINVAL) || error == AVERROR(ENOSYS))
        return QStringLiteral("No audio or video data could be read from the file.");
    if (error == AVERROR_PATCHWELCOME)
        return QStringLiteral("The file uses a variant of its format that cannot be read.");
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromUtf8(text);
}

bool IsPictureOnly(const AVStream *stream) {
    return (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
}

bool IsVideo(const AVStream *stream) {
    return stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !IsPictureOnly(stream);
}

bool IsType(const AVStream *stream, AVMediaType type) {
    return type == AVMEDIA_TYPE_VIDEO ? IsVideo(stream) : stream->codecpar->codec_type == type;
}

QString CodecName(const AVCodecParameters *par) {
    const char *name = avcodec_get_name(par->codec_id);
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(par->codec_id);
    QString text = QString::fromUtf8(name ? name : "");
    if (descriptor && descriptor->long_name)
        text += QStringLiteral(" (") + QString::fromUtf8(descriptor->long_name) + QLatin1Char(')');
    return text;
}

QString MetaValue(const AVDictionary *metadata, const char *key) {
    const AVDictionaryEntry *entry = av_dict_get(metadata, key, nullptr, 0);
    return entry && entry->value ? QString::fromUtf8(entry->value) : QString();
}

QString LanguageOf(const AVStream *stream) {
    if (!stream)
        return QStringLiteral("0");
    const QString language = MetaValue(stream->metadata, "language");
    return language.isEmpty() ? QStringLiteral("0") : language;
}

} // namespace

void InstallQuietLibavLog() {
    static std::once_flag once;
    std::call_once(once, []() {
        // The engine's logger keeps the libraries' lines when it is there.
        if (ClaimLibavLog(false))
            av_log_set_callback(QuietLog);
    });
}

struct MediaDecoder::State {
    AVFormatContext *format = nullptr;
    AVCodecContext *picture = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    int videoIndex = -1;   // stream the video reads use
    int audioIndex = -1;   // stream the audio reads use
    int pictureIndex = -1; // stream the picture is taken from
    bool frameReady = false;
    qint64 target = 0; // wanted picture position, microseconds
    QString error;

    const std::atomic_bool *cancel = nullptr;
    int timeLimitMs = 30000;
    QElapsedTimer clock;

    static int Interrupt(void *opaque) {
        auto *s = static_cast<State *>(opaque);
        if (s->cancel && s->cancel->load(std::memory_order_relaxed))
            return 1;
        return s->clock.isValid() && s->clock.elapsed() > s->timeLimitMs ? 1 : 0;
    }

    const AVStream *stream(int index) const {
        if (!format || index < 0 || index >= static_cast<int>(format->nb_streams))
            return nullptr;
        return format->streams[index];
    }

    int count(AVMediaType type) const {
        int n = 0;
        for (unsigned i = 0; format && i < format->nb_streams; ++i)
            n += IsType(format->streams[i], type) ? 1 : 0;
        return n;
    }

    int best(AVMediaType type) const {
        if (!format)
            return -1;
        const int found = av_find_best_stream(format, type, -1, -1, nullptr, 0);
        if (found >= 0 && IsType(format->streams[found], type))
            return found;
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            if (IsType(format->streams[i], type))
                return static_cast<int>(i);
        }
        return -1;
    }

    bool choose(int &index, AVMediaType type, int &chosen) {
        const AVStream *s = stream(index);
        if (!s || !IsType(s, type)) {
            chosen = -1;
            return false;
        }
        chosen = index;
        return true;
    }

    void closePicture() {
        avcodec_free_context(&picture);
        av_frame_free(&frame);
        av_packet_free(&packet);
        frameReady = false;
    }
};

MediaDecoder::MediaDecoder() : d(std::make_unique<State>()) {
    InstallQuietLibavLog();
}

MediaDecoder::~MediaDecoder() {
    CloseMedia();
}

void MediaDecoder::setCancelFlag(const std::atomic_bool *cancel) {
    d->cancel = cancel;
}

void MediaDecoder::setTimeLimit(int milliseconds) {
    d->timeLimitMs = milliseconds;
}

bool MediaDecoder::OpenMedia(const QString &path, const QString &options) {
    CloseMedia();
    d->error.clear();
    d->clock.start();

    AVDictionary *dict = nullptr;
    // Streams whose codec the container leaves open (PCM in WAV might be S/PDIF) are sniffed
    // from their first packets: a few show what they are, and the sniffing over dozens of
    // packets costs more than the rest of the probe. The engine sniffs fully when it converts.
    av_dict_set(&dict, "max_probe_packets", "4", 0);
    if (!options.trimmed().isEmpty())
        av_dict_parse_string(&dict, options.toUtf8().constData(), "=", " ", 0);

    d->format = avformat_alloc_context();
    if (!d->format) {
        av_dict_free(&dict);
        d->error = ErrorText(AVERROR(ENOMEM));
        return false;
    }
    d->format->interrupt_callback = {&State::Interrupt, d.get()};
    // The "file:" protocol keeps names that look like addresses or hold "|" from being read as such.
    const QByteArray url = "file:" + QFile::encodeName(path);
    int result = avformat_open_input(&d->format, url.constData(), nullptr, &dict);
    av_dict_free(&dict);
    if (result < 0) {
        d->format = nullptr; // freed by the failed open
        d->error = ErrorText(result);
        return false;
    }
    result = avformat_find_stream_info(d->format, nullptr);
    if (result < 0) {
        d->error = ErrorText(result);
        CloseMedia();
        return false;
    }
    if (d->count(AVMEDIA_TYPE_AUDIO) == 0 && d->count(AVMEDIA_TYPE_VIDEO) == 0) {
        d->error = QStringLiteral("The file holds no audio or video stream.");
        CloseMedia();
        return false;
    }
    d->clock.invalidate();
    return true;
}

QString MediaDecoder::MediaErrorText() const {
    return d->error;
}

qint32 MediaDecoder::DurationLow() const {
    return SplitDuration(d->format ? d->format->duration : kUnknownDuration).low;
}

qint32 MediaDecoder::DurationHigh() const {
    return SplitDuration(d->format ? d->format->duration : kUnknownDuration).high;
}

int MediaDecoder::DefaultVideoStream() const {
    return d->best(AVMEDIA_TYPE_VIDEO);
}
int MediaDecoder::DefaultAudioStream() const {
    return d->best(AVMEDIA_TYPE_AUDIO);
}
int MediaDecoder::DefaultSubtitleStream() const {
    return d->best(AVMEDIA_TYPE_SUBTITLE);
}

bool MediaDecoder::VideoStream(int &index) {
    return d->choose(index, AVMEDIA_TYPE_VIDEO, d->videoIndex);
}
bool MediaDecoder::AudioStream(int &index) {
    return d->choose(index, AVMEDIA_TYPE_AUDIO, d->audioIndex);
}
bool MediaDecoder::SubtitleStream(int &index) {
    int unused = -1;
    return d->choose(index, AVMEDIA_TYPE_SUBTITLE, unused);
}

int MediaDecoder::SubtitleCount() const {
    return d->count(AVMEDIA_TYPE_SUBTITLE);
}
int MediaDecoder::VideoStreamCount() const {
    return d->count(AVMEDIA_TYPE_VIDEO);
}
int MediaDecoder::AudioStreamCount() const {
    return d->count(AVMEDIA_TYPE_AUDIO);
}

QString MediaDecoder::VideoCodecName() const {
    const AVStream *s = d->stream(d->videoIndex);
    return s ? CodecName(s->codecpar) : QString();
}

int MediaDecoder::VideoWidth() const {
    const AVStream *s = d->stream(d->videoIndex);
    return s ? s->codecpar->width : -1;
}

int MediaDecoder::VideoHeight() const {
    const AVStream *s = d->stream(d->videoIndex);
    return s ? s->codecpar->height : -1;
}

qint64 MediaDecoder::VideoBitRate() const {
    const AVStream *s = d->stream(d->videoIndex);
    return s ? s->codecpar->bit_rate : 0;
}

static AVRational FrameRate(const AVStream *s) {
    if (!s)
        return {0, 1};
    return s->avg_frame_rate.num != 0 ? s->avg_frame_rate : s->r_frame_rate;
}

int MediaDecoder::VideoFrameRateNumerator() const {
    return FrameRate(d->stream(d->videoIndex)).num;
}
int MediaDecoder::VideoFrameRateDenominator() const {
    return FrameRate(d->stream(d->videoIndex)).den;
}

static AVRational DisplayAspect(AVFormatContext *format, const AVStream *s) {
    if (!s || s->codecpar->width <= 0 || s->codecpar->height <= 0)
        return {0, 0};
    const AVRational sar = av_guess_sample_aspect_ratio(format, const_cast<AVStream *>(s), nullptr);
    if (sar.num <= 0 || sar.den <= 0)
        return {0, 0};
    AVRational dar{0, 0};
    av_reduce(&dar.num, &dar.den, static_cast<int64_t>(s->codecpar->width) * sar.num,
              static_cast<int64_t>(s->codecpar->height) * sar.den, 1024 * 1024);
    return dar;
}

int MediaDecoder::VideoAspectNumerator() const {
    return DisplayAspect(d->format, d->stream(d->videoIndex)).num;
}
int MediaDecoder::VideoAspectDenominator() const {
    return DisplayAspect(d->format, d->stream(d->videoIndex)).den;
}

double MediaDecoder::VideoAspectValue() const {
    const AVRational dar = DisplayAspect(d->format, d->stream(d->videoIndex));
    return dar.den > 0 ? static_cast<double>(dar.num) / dar.den : 0.0;
}

QString MediaDecoder::VideoLanguage() const {
    return LanguageOf(d->stream(d->videoIndex));
}

QString MediaDecoder::AudioCodecName() const {
    const AVStream *s = d->stream(d->audioIndex);
    return s ? CodecName(s->codecpar) : QString();
}

qint64 MediaDecoder::AudioBitRate() const {
    const AVStream *s = d->stream(d->audioIndex);
    if (!s)
        return 0;
    // Lossless and variable-rate formats name no stream rate; for a file of one stream the
    // container's average rate is that stream's.
    if (s->codecpar->bit_rate <= 0 && d->format->nb_streams == 1 && d->format->bit_rate > 0)
        return d->format->bit_rate;
    return s->codecpar->bit_rate;
}

int MediaDecoder::AudioSampleRate() const {
    const AVStream *s = d->stream(d->audioIndex);
    return s ? s->codecpar->sample_rate : 0;
}

int MediaDecoder::AudioChannels() const {
    const AVStream *s = d->stream(d->audioIndex);
    return s ? s->codecpar->ch_layout.nb_channels : 0;
}

qint32 MediaDecoder::AudioDurationLow() const {
    const AVStream *s = d->stream(d->audioIndex);
    if (!s)
        return 0;
    qint64 duration = kUnknownDuration;
    if (s->duration != AV_NOPTS_VALUE)
        duration = av_rescale_q(s->duration, s->time_base, AVRational{1, AV_TIME_BASE});
    else if (d->format->duration != AV_NOPTS_VALUE)
        duration = d->format->duration;
    return SplitDuration(duration).low;
}

QString MediaDecoder::AudioLanguage() const {
    return LanguageOf(d->stream(d->audioIndex));
}

QString MediaDecoder::Tag(const QString &name) const {
    if (!d->format)
        return QStringLiteral("0");
    QStringList keys{name};
    if (name == QLatin1String("year"))
        keys = {QStringLiteral("date"), QStringLiteral("year")};
    // Ogg and some other containers keep their comments on the audio stream.
    const AVStream *audio = d->stream(d->audioIndex >= 0 ? d->audioIndex : DefaultAudioStream());
    for (const QString &key : keys) {
        const QByteArray k = key.toUtf8();
        QString value = MetaValue(d->format->metadata, k.constData());
        if (value.isEmpty() && audio)
            value = MetaValue(audio->metadata, k.constData());
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("0");
}

bool MediaDecoder::SeekMedia(qint64 microseconds) {
    if (!d->format)
        return false;
    d->frameReady = false;
    d->target = microseconds;
    d->pictureIndex = d->videoIndex;
    if (d->pictureIndex < 0) {
        for (unsigned i = 0; i < d->format->nb_streams; ++i) {
            if (IsPictureOnly(d->format->streams[i])) {
                d->pictureIndex = static_cast<int>(i);
                break;
            }
        }
    }
    if (d->pictureIndex < 0)
        return false;
    if (IsPictureOnly(d->format->streams[d->pictureIndex]))
        return true; // a cover has one picture and no position
    d->clock.start();
    int64_t position = microseconds;
    if (d->format->start_time != AV_NOPTS_VALUE)
        position += d->format->start_time;
    if (av_seek_frame(d->format, -1, position, AVSEEK_FLAG_BACKWARD) < 0)
        av_seek_frame(d->format, -1, 0, AVSEEK_FLAG_BACKWARD);
    return true;
}

bool MediaDecoder::DecodeFrame() {
    d->frameReady = false;
    const AVStream *s = d->stream(d->pictureIndex);
    if (!s)
        return false;
    if (!d->picture) {
        const AVCodec *codec = avcodec_find_decoder(s->codecpar->codec_id);
        if (!codec)
            return false;
        d->picture = avcodec_alloc_context3(codec);
        d->frame = av_frame_alloc();
        d->packet = av_packet_alloc();
        if (!d->picture || !d->frame || !d->packet ||
            avcodec_parameters_to_context(d->picture, s->codecpar) < 0) {
            d->closePicture();
            return false;
        }
        d->picture->thread_count = 1; // probes already run side by side
        if (avcodec_open2(d->picture, codec, nullptr) < 0) {
            d->closePicture();
            return false;
        }
    }
    if (!d->clock.isValid())
        d->clock.start();

    if (IsPictureOnly(s)) {
        if (avcodec_send_packet(d->picture, &s->attached_pic) >= 0 &&
            avcodec_send_packet(d->picture, nullptr) >= 0 && avcodec_receive_frame(d->picture, d->frame) >= 0)
            d->frameReady = true;
        d->clock.invalidate();
        return d->frameReady;
    }

    int64_t wanted = av_rescale_q(d->target, AVRational{1, AV_TIME_BASE}, s->time_base);
    if (s->start_time != AV_NOPTS_VALUE)
        wanted += s->start_time;
    AVFrame *scratch = av_frame_alloc();
    if (!scratch)
        return false;
    int frames = 0;
    bool draining = false;
    bool done = false;
    for (int packets = 0; packets < kMaxPacketsForPicture && !done && !State::Interrupt(d.get());) {
        if (!draining) {
            const int read = av_read_frame(d->format, d->packet);
            if (read < 0) {
                draining = true;
                avcodec_send_packet(d->picture, nullptr);
            } else {
                ++packets;
                if (d->packet->stream_index == d->pictureIndex)
                    avcodec_send_packet(d->picture, d->packet);
                av_packet_unref(d->packet);
            }
        }
        while (!done) {
            if (avcodec_receive_frame(d->picture, scratch) < 0) {
                // At the end of the file the last picture before the position stands.
                done = draining;
                break;
            }
            ++frames;
            av_frame_unref(d->frame);
            av_frame_move_ref(d->frame, scratch);
            const int64_t pts = d->frame->best_effort_timestamp;
            done = pts == AV_NOPTS_VALUE || pts >= wanted || frames >= kMaxFramesToPosition;
        }
    }
    av_frame_free(&scratch);
    d->frameReady = frames > 0 && d->frame->width > 0 && d->frame->height > 0;
    d->clock.invalidate();
    return d->frameReady;
}

QImage MediaDecoder::DrawFrame(const QSize &box) const {
    if (!d->frameReady || box.isEmpty())
        return QImage();
    const AVFrame *f = d->frame;
    if (f->width <= 0 || f->height <= 0 || f->format < 0)
        return QImage();

    double aspect = static_cast<double>(f->width) / f->height;
    const AVStream *s = d->stream(d->pictureIndex);
    const AVRational sar = av_guess_sample_aspect_ratio(d->format, const_cast<AVStream *>(s), d->frame);
    if (sar.num > 0 && sar.den > 0)
        aspect *= static_cast<double>(sar.num) / sar.den;
    QSize fitted = box;
    if (aspect >= static_cast<double>(box.width()) / box.height())
        fitted.setHeight(qMax(1, static_cast<int>(box.width() / aspect + 0.5)));
    else
        fitted.setWidth(qMax(1, static_cast<int>(box.height() * aspect + 0.5)));

    SwsContext *sws =
        sws_getContext(f->width, f->height, static_cast<AVPixelFormat>(f->format), fitted.width(),
                       fitted.height(), AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws)
        return QImage();
    QImage picture(fitted, QImage::Format_RGB888);
    uint8_t *planes[4] = {picture.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {static_cast<int>(picture.bytesPerLine()), 0, 0, 0};
    const int rows = sws_scale(sws, f->data, f->linesize, 0, f->height, planes, strides);
    sws_freeContext(sws);
    if (rows <= 0)
        return QImage();

    // The picture sits centred on a black box of the requested size (copied row by row, so no
    // painter is needed on the worker thread).
    QImage canvas(box, QImage::Format_RGB888);
    canvas.fill(Qt::black);
    const int left = (box.width() - fitted.width()) / 2;
    const int top = (box.height() - fitted.height()) / 2;
    for (int y = 0; y < fitted.height(); ++y)
        std::memcpy(canvas.scanLine(top + y) + left * 3, picture.constScanLine(y),
                    static_cast<std::size_t>(fitted.width()) * 3);
    return canvas;
}

void MediaDecoder::CloseMedia() {
    d->closePicture();
    if (d->format)
        avformat_close_input(&d->format);
    d->videoIndex = -1;
    d->audioIndex = -1;
    d->pictureIndex = -1;
    d->clock.invalidate();
}

} // namespace tv

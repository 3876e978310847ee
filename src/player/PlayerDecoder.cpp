#include "PlayerDecoder.h"

#include "AudioOutput.h"
#include "MediaLibs.h"
#include "PlayerClock.h"
#include "Task.h"
#include "VideoPicture.h"

#include <QFile>
#include <algorithm>
#include <deque>
#include <limits>

namespace tv {

void Wakeup::notify() {
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_condition.notify_all();
}

void Wakeup::wait(qint64 microseconds) {
    std::unique_lock lock(m_mutex);
    m_condition.wait_for(lock, std::chrono::microseconds(std::max<qint64>(0, microseconds)),
                         [this] { return m_signalled; });
    m_signalled = false;
}

PlayerShared::PlayerShared() : clock(std::make_shared<PlayerClock>()), feed(std::make_shared<AudioFeed>()) {}

PlayerShared::~PlayerShared() {
    av_frame_free(&m_shown);
}

void PlayerShared::setBox(const QSize &box, int aspectMode) {
    std::lock_guard lock(m_mutex);
    m_box = box;
    m_aspectMode = aspectMode;
}

QSize PlayerShared::box(int *aspectMode) const {
    std::lock_guard lock(m_mutex);
    *aspectMode = m_aspectMode;
    return m_box;
}

void PlayerShared::setShownFrame(const AVFrame *frame) {
    AVFrame *copy = frame ? av_frame_clone(frame) : nullptr;
    QSize display;
    if (copy)
        display = DisplaySize(copy->width, copy->height, copy->sample_aspect_ratio.num,
                              copy->sample_aspect_ratio.den);
    std::lock_guard lock(m_mutex);
    av_frame_free(&m_shown);
    m_shown = copy;
    m_shownDisplay = display;
}

QImage PlayerShared::shownFrameImage() const {
    AVFrame *copy = nullptr;
    QSize display;
    {
        std::lock_guard lock(m_mutex);
        if (m_shown)
            copy = av_frame_clone(m_shown);
        display = m_shownDisplay;
    }
    if (!copy)
        return QImage();
    FrameScaler scaler;
    QImage image = scaler.scale(copy, display);
    av_frame_free(&copy);
    return image;
}

namespace {

constexpr qint64 kSoundAhead = 1000000;   // sound is decoded this far ahead of the clock
constexpr qint64 kSoundCeiling = 4000000; // and never further, whatever the pictures need
constexpr size_t kPicturesAhead = 4;
constexpr size_t kPictureCeiling = 12;
constexpr qint64 kPrebuffer = 100000; // sound in hand before the clock starts
constexpr qint64 kLongestWait = 20000;
constexpr qint64 kNever = std::numeric_limits<qint64>::max();

qint64 ToMicroseconds(int64_t value, AVRational base) {
    return av_rescale_q(value, base, AV_TIME_BASE_Q);
}

QString StreamText(const AVStream *stream, int number) {
    const AVDictionaryEntry *title = av_dict_get(stream->metadata, "title", nullptr, 0);
    const AVDictionaryEntry *language = av_dict_get(stream->metadata, "language", nullptr, 0);
    QString name = title && title->value         ? QString::fromUtf8(title->value)
                   : language && language->value ? QString::fromUtf8(language->value)
                                                 : QStringLiteral("Track");
    const AVCodecDescriptor *codec = avcodec_descriptor_get(stream->codecpar->codec_id);
    if (codec)
        name += QStringLiteral(" (") + QString::fromLatin1(codec->name) + QLatin1Char(')');
    return QStringLiteral("%1: %2").arg(number).arg(name);
}

struct QueuedPicture {
    FramePtr frame;
    qint64 position = 0;
    qint64 duration = 0;
};

class Decoder {
public:
    Decoder(const std::shared_ptr<PlayerShared> &shared, const PlayerOpenRequest &request,
            const DecoderEvents &events, TaskControl &control)
        : m_shared(shared), m_clock(*shared->clock), m_feed(*shared->feed), m_request(request),
          m_events(events), m_control(control) {}

    DecodeOutcome run();

private:
    static int Interrupt(void *self) { return static_cast<Decoder *>(self)->m_control.cancelled() ? 1 : 0; }
    QString open();
    CodecContextPtr openCodec(int index, bool threads) const;
    void openSound(int index);
    void openSubtitles(int index);
    void takeRequests();
    void seek(qint64 target);
    void readPacket();
    void decode(AVCodecContext *codec, const AVPacket *packet, bool sound);
    void soundFrame(AVFrame *frame);
    void videoFrame(AVFrame *frame);
    void subtitlePacket(AVPacket *packet);
    void show(QueuedPicture &picture);
    void showCover();
    bool prebuffered() const;
    bool wantsPackets(qint64 now) const;
    bool finished(qint64 now) const;
    qint64 mediaTime(int64_t value, const AVStream *stream) const {
        return ToMicroseconds(value, stream->time_base) - m_origin;
    }

    std::shared_ptr<PlayerShared> m_shared;
    PlayerClock &m_clock;
    AudioFeed &m_feed;
    PlayerOpenRequest m_request;
    const DecoderEvents &m_events;
    TaskControl &m_control;

    InputContextPtr m_format;
    CodecContextPtr m_sound, m_video, m_subtitle;
    SwrPtr m_resampler;
    int m_soundIndex = -1, m_videoIndex = -1, m_subtitleIndex = -1, m_coverIndex = -1;
    int m_resamplerRate = 0, m_resamplerFormat = -1;
    AVChannelLayout m_resamplerLayout{};
    QByteArray m_soundBuffer;
    FramePtr m_frame{av_frame_alloc()};
    PacketPtr m_packet{av_packet_alloc()};
    FrameScaler m_scaler;
    SubtitleTrack m_subtitles;
    std::deque<QueuedPicture> m_pictures;

    qint64 m_origin = 0; // the container's start time: media positions count from it
    qint64 m_frameLength = 40000;
    qint64 m_skipUntil = 0; // sound and pictures before this position are dropped (seeks)
    qint64 m_nextSound = 0;
    qint64 m_nextPicture = 0;
    qint64 m_lastPictureEnd = 0;
    int m_epoch = 0;
    bool m_started = false; // the first picture is shown and the clock may run
    bool m_ended = false;   // nothing more to read
    bool m_soundDone = false, m_videoDone = false;
    bool m_soundSeen = false;
    bool m_silent = true; // the decode thread starts the clock itself
};

CodecContextPtr Decoder::openCodec(int index, bool threads) const {
    const AVStream *stream = m_format->streams[index];
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return nullptr;
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0)
        return nullptr;
    context->pkt_timebase = stream->time_base;
    if (threads)
        context->thread_count = 0; // as many as the machine has
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return nullptr;
    return context;
}

QString Decoder::open() {
    AVFormatContext *format = avformat_alloc_context();
    format->interrupt_callback = {&Decoder::Interrupt, this};
    const QByteArray path = QFile::encodeName(m_request.path);
    int error = avformat_open_input(&format, path.constData(), nullptr, nullptr);
    if (error < 0)
        return AvErrorText(error); // the library frees the context on failure
    m_format.reset(format);
    if ((error = avformat_find_stream_info(format, nullptr)) < 0)
        return AvErrorText(error);
    m_origin = format->start_time != AV_NOPTS_VALUE ? format->start_time : 0;

    PlayerMedia media;
    media.length = format->duration != AV_NOPTS_VALUE ? format->duration : -1;
    int soundNumber = 0, subtitleNumber = 0;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream *stream = format->streams[i];
        stream->discard = AVDISCARD_ALL;
        const AVMediaType type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_AUDIO)
            media.audioStreams.append({int(i), StreamText(stream, ++soundNumber)});
        else if (type == AVMEDIA_TYPE_SUBTITLE)
            media.subtitleStreams.append({int(i), StreamText(stream, ++subtitleNumber)});
        else if (type == AVMEDIA_TYPE_VIDEO && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) &&
                 m_coverIndex < 0)
            m_coverIndex = int(i);
    }

    const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video >= 0 && !(format->streams[video]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
        m_video = openCodec(video, true);
        if (m_video) {
            m_videoIndex = video;
            AVStream *stream = format->streams[video];
            stream->discard = AVDISCARD_DEFAULT;
            const AVRational sar = av_guess_sample_aspect_ratio(format, stream, nullptr);
            media.videoSize =
                DisplaySize(stream->codecpar->width, stream->codecpar->height, sar.num, sar.den);
            const AVRational rate = av_guess_frame_rate(format, stream, nullptr);
            if (rate.num > 0 && rate.den > 0)
                m_frameLength = av_rescale(1000000, rate.den, rate.num);
        }
    }
    bool requested = false;
    for (const PlayerStream &s : std::as_const(media.audioStreams))
        requested = requested || s.index == m_request.audioStream;
    openSound(requested ? m_request.audioStream
                        : av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, m_videoIndex, nullptr, 0));
    if (!m_sound && !m_video)
        return m_format->nb_streams == 0 ? QStringLiteral("Invalid data found when processing input")
                                         : QStringLiteral("No sound or picture this player can decode");
    media.hasAudio = m_sound != nullptr;
    media.audioStream = m_soundIndex;
    openSubtitles(m_request.subtitleStream);
    if (m_events.opened)
        m_events.opened(media);
    return QString();
}

void Decoder::openSound(int index) {
    if (index < 0 || index >= int(m_format->nb_streams) ||
        m_format->streams[index]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
        return;
    CodecContextPtr codec = openCodec(index, false);
    if (!codec)
        return;
    if (m_soundIndex >= 0)
        m_format->streams[m_soundIndex]->discard = AVDISCARD_ALL;
    m_sound = std::move(codec);
    m_soundIndex = index;
    m_format->streams[index]->discard = AVDISCARD_DEFAULT;
    if (!m_shared->soundCard)
        m_feed.configure(m_sound->sample_rate, std::clamp(m_sound->ch_layout.nb_channels, 1, 2), false);
    m_resamplerRate = 0; // the resampler is made again for the new stream
}

void Decoder::openSubtitles(int index) {
    if (m_subtitleIndex >= 0)
        m_format->streams[m_subtitleIndex]->discard = AVDISCARD_ALL;
    m_subtitle.reset();
    m_subtitleIndex = -1;
    m_subtitles.clear();
    if (index < 0 || index >= int(m_format->nb_streams) ||
        m_format->streams[index]->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE)
        return;
    m_subtitle = openCodec(index, false);
    if (m_subtitle) {
        m_subtitleIndex = index;
        m_format->streams[index]->discard = AVDISCARD_DEFAULT;
    }
}

void Decoder::takeRequests() {
    const int sound = m_shared->audioRequest.exchange(-1);
    if (sound >= 0 && sound != m_soundIndex)
        openSound(sound);
    const int subtitle = m_shared->subtitleRequest.exchange(-2);
    if (subtitle != -2)
        openSubtitles(subtitle);
    if (m_shared->soundLost.load() && !m_silent) {
        m_silent = true;
        m_feed.configure(m_feed.sampleRate(), m_feed.channels(), false);
        if (m_started)
            m_clock.start(m_epoch);
    }
    const qint64 target = m_shared->seekTarget.exchange(-1);
    if (target >= 0)
        seek(target);
}

void Decoder::seek(qint64 target) {
    // Back to the key frame before the target, then decode forward and drop what lies before it.
    int error = av_seek_frame(m_format.get(), -1, target + m_origin, AVSEEK_FLAG_BACKWARD);
    if (error < 0)
        error = avformat_seek_file(m_format.get(), -1, std::numeric_limits<int64_t>::min(), target + m_origin,
                                   target + m_origin, 0);
    for (AVCodecContext *codec : {m_sound.get(), m_video.get(), m_subtitle.get()}) {
        if (codec)
            avcodec_flush_buffers(codec);
    }
    m_resamplerRate = 0;
    m_pictures.clear();
    m_subtitles.clear();
    m_skipUntil = target;
    m_nextSound = target;
    m_nextPicture = target;
    m_lastPictureEnd = target;
    m_ended = m_soundDone = m_videoDone = false;
    m_started = false;
    // The player cleared the feed and reset the clock when it asked for the seek.
    m_epoch = m_feed.epoch();
}

void Decoder::decode(AVCodecContext *codec, const AVPacket *packet, bool sound) {
    if (avcodec_send_packet(codec, packet) < 0 && packet)
        return;
    while (avcodec_receive_frame(codec, m_frame.get()) >= 0) {
        if (sound)
            soundFrame(m_frame.get());
        else
            videoFrame(m_frame.get());
        av_frame_unref(m_frame.get());
    }
}

void Decoder::readPacket() {
    const int error = av_read_frame(m_format.get(), m_packet.get());
    if (error == AVERROR(EAGAIN))
        return;
    if (error < 0) {
        // The end of the file (or a read error, which ends it as well): what the decoders hold
        // still plays.
        if (m_sound)
            decode(m_sound.get(), nullptr, true);
        if (m_video)
            decode(m_video.get(), nullptr, false);
        m_ended = true;
        return;
    }
    const int index = m_packet->stream_index;
    if (index == m_soundIndex && !m_soundDone)
        decode(m_sound.get(), m_packet.get(), true);
    else if (index == m_videoIndex && !m_videoDone)
        decode(m_video.get(), m_packet.get(), false);
    else if (index == m_subtitleIndex)
        subtitlePacket(m_packet.get());
    av_packet_unref(m_packet.get());
    if ((!m_sound || m_soundDone) && (!m_video || m_videoDone))
        m_ended = true; // the end of the asked range
}

void Decoder::soundFrame(AVFrame *frame) {
    const AVStream *stream = m_format->streams[m_soundIndex];
    qint64 position = frame->best_effort_timestamp != AV_NOPTS_VALUE
                          ? mediaTime(frame->best_effort_timestamp, stream)
                          : m_nextSound;
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&frame->ch_layout, frame->ch_layout.nb_channels);
    const int rate = m_feed.sampleRate();
    const int channels = m_feed.channels();
    if (!m_resampler || m_resamplerRate != frame->sample_rate || m_resamplerFormat != frame->format ||
        av_channel_layout_compare(&m_resamplerLayout, &frame->ch_layout) != 0) {
        AVChannelLayout out{};
        av_channel_layout_default(&out, channels);
        SwrContext *resampler = nullptr;
        if (swr_alloc_set_opts2(&resampler, &out, AV_SAMPLE_FMT_S16, rate, &frame->ch_layout,
                                static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                nullptr) < 0 ||
            swr_init(resampler) < 0) {
            swr_free(&resampler);
            return;
        }
        m_resampler.reset(resampler);
        m_resamplerRate = frame->sample_rate;
        m_resamplerFormat = frame->format;
        av_channel_layout_uninit(&m_resamplerLayout);
        av_channel_layout_copy(&m_resamplerLayout, &frame->ch_layout);
    }
    const int capacity = swr_get_out_samples(m_resampler.get(), frame->nb_samples);
    const int frameBytes = channels * 2;
    m_soundBuffer.resize(qMax(0, capacity) * frameBytes);
    auto *out = reinterpret_cast<uint8_t *>(m_soundBuffer.data());
    const int samples = swr_convert(m_resampler.get(), &out, capacity,
                                    const_cast<const uint8_t **>(frame->extended_data), frame->nb_samples);
    if (samples <= 0)
        return;
    qint64 bytes = qint64(samples) * frameBytes;
    const qint64 duration = qint64(samples) * 1000000 / rate;
    m_nextSound = position + duration;
    const char *data = m_soundBuffer.constData();
    if (position + duration <= m_skipUntil)
        return;
    if (position < m_skipUntil) {
        const qint64 cut = std::min(bytes, (m_skipUntil - position) * rate / 1000000 * frameBytes);
        data += cut;
        bytes -= cut;
        position = m_skipUntil;
    }
    if (m_request.end > 0) {
        if (position >= m_request.end) {
            m_soundDone = true;
            return;
        }
        bytes = std::min(bytes, (m_request.end - position) * rate / 1000000 * frameBytes);
    }
    m_feed.push(data, bytes, position, m_epoch);
    if (!m_soundSeen) {
        m_soundSeen = true;
        if (m_events.firstSound)
            m_events.firstSound();
    }
}

void Decoder::videoFrame(AVFrame *frame) {
    const AVStream *stream = m_format->streams[m_videoIndex];
    const qint64 position = frame->best_effort_timestamp != AV_NOPTS_VALUE
                                ? mediaTime(frame->best_effort_timestamp, stream)
                                : m_nextPicture;
    qint64 duration = frame->pkt_duration > 0 ? ToMicroseconds(frame->pkt_duration, stream->time_base) : 0;
    if (duration <= 0)
        duration = m_frameLength;
    m_nextPicture = position + duration;
    if (position + duration <= m_skipUntil)
        return;
    if (m_request.end > 0 && position >= m_request.end) {
        m_videoDone = true;
        return;
    }
    if (!frame->sample_aspect_ratio.num)
        frame->sample_aspect_ratio =
            av_guess_sample_aspect_ratio(m_format.get(), const_cast<AVStream *>(stream), frame);
    QueuedPicture picture;
    picture.frame.reset(av_frame_clone(frame));
    picture.position = position;
    picture.duration = duration;
    m_lastPictureEnd = std::max(m_lastPictureEnd, position + duration);
    if (picture.frame)
        m_pictures.push_back(std::move(picture));
}

void Decoder::subtitlePacket(AVPacket *packet) {
    AVSubtitle subtitle{};
    int got = 0;
    if (avcodec_decode_subtitle2(m_subtitle.get(), &subtitle, &got, packet) < 0 || !got)
        return;
    const AVStream *stream = m_format->streams[m_subtitleIndex];
    const qint64 start = packet->pts != AV_NOPTS_VALUE ? mediaTime(packet->pts, stream) : m_nextPicture;
    const qint64 duration = packet->duration > 0 ? ToMicroseconds(packet->duration, stream->time_base) : 0;
    QSize canvas(m_subtitle->width, m_subtitle->height);
    if (canvas.isEmpty() && m_video)
        canvas = QSize(m_video->width, m_video->height);
    m_subtitles.add(subtitle, start, duration, canvas);
    avsubtitle_free(&subtitle);
}

void Decoder::show(QueuedPicture &picture) {
    int aspectMode = 1;
    const QSize box = m_shared->box(&aspectMode);
    const QSize display =
        DisplaySize(picture.frame->width, picture.frame->height, picture.frame->sample_aspect_ratio.num,
                    picture.frame->sample_aspect_ratio.den);
    QImage image = m_scaler.scale(picture.frame.get(), FittedSize(display, box, aspectMode));
    if (image.isNull())
        return;
    if (m_subtitle)
        m_subtitles.draw(image, picture.position);
    m_shared->setShownFrame(picture.frame.get());
    if (m_events.picture)
        m_events.picture(image, picture.position);
}

void Decoder::showCover() {
    // A sound file's cover shows in the picture window for the whole file.
    if (m_video || m_coverIndex < 0)
        return;
    CodecContextPtr codec = openCodec(m_coverIndex, false);
    const AVPacket &packet = m_format->streams[m_coverIndex]->attached_pic;
    if (!codec || packet.size <= 0 || avcodec_send_packet(codec.get(), &packet) < 0)
        return;
    avcodec_send_packet(codec.get(), nullptr);
    if (avcodec_receive_frame(codec.get(), m_frame.get()) < 0)
        return;
    QueuedPicture cover;
    cover.frame.reset(av_frame_clone(m_frame.get()));
    av_frame_unref(m_frame.get());
    cover.position = m_request.start;
    if (cover.frame)
        show(cover);
}

bool Decoder::prebuffered() const {
    if (m_ended)
        return true;
    const bool picture = !m_video || !m_pictures.empty();
    const bool sound = !m_sound || m_feed.end() - m_skipUntil >= kPrebuffer;
    return picture && sound;
}

bool Decoder::wantsPackets(qint64 now) const {
    if (m_ended)
        return false;
    const qint64 ahead = m_sound ? m_feed.end() - now : 0;
    const bool wantSound = m_sound && !m_soundDone && ahead < kSoundAhead;
    const bool wantPictures = m_video && !m_videoDone && m_pictures.size() < kPicturesAhead;
    return ahead < kSoundCeiling && m_pictures.size() < kPictureCeiling && (wantSound || wantPictures);
}

bool Decoder::finished(qint64 now) const {
    if (!m_ended || !m_started || !m_pictures.empty())
        return false;
    const qint64 end = std::max(m_sound ? m_feed.end() : 0, m_video ? m_lastPictureEnd : 0);
    return now >= end;
}

DecodeOutcome Decoder::run() {
    const QString error = open();
    if (!error.isEmpty())
        return {m_control.cancelled() ? DecodeOutcome::Stopped : DecodeOutcome::Failed, error};
    m_silent = !m_shared->soundCard || !m_sound;
    // The player cleared the feed and reset the clock at the start position before it began.
    m_epoch = m_feed.epoch();
    if (m_request.start > 0)
        seek(m_request.start);
    showCover();

    while (!m_control.cancelled()) {
        takeRequests();
        const qint64 now = m_clock.now();
        if (m_started && !m_pictures.empty() && m_pictures.front().position <= now) {
            // The newest picture that is due shows; older ones are late and go unseen.
            while (m_pictures.size() > 1 && m_pictures[1].position <= now)
                m_pictures.pop_front();
            show(m_pictures.front());
            m_pictures.pop_front();
            continue;
        }
        if (!m_started && prebuffered()) {
            m_started = true;
            if (!m_pictures.empty()) {
                show(m_pictures.front());
                m_pictures.pop_front();
            }
            if (m_silent || m_feed.end() <= m_skipUntil)
                m_clock.start(m_epoch);
            continue;
        }
        if (wantsPackets(now)) {
            readPacket();
            continue;
        }
        if (finished(now))
            return {DecodeOutcome::Ended, QString()};
        qint64 wait = kLongestWait;
        if (m_started && !m_pictures.empty())
            wait = std::min(wait, m_pictures.front().position - now);
        if (m_sound && !m_ended)
            wait = std::min(wait, m_feed.end() - now - kSoundAhead);
        m_shared->wake.wait(std::max<qint64>(wait, 500));
    }
    return {DecodeOutcome::Stopped, QString()};
}

} // namespace

DecodeOutcome RunDecoder(const std::shared_ptr<PlayerShared> &shared, const PlayerOpenRequest &request,
                         const DecoderEvents &events, TaskControl &control) {
    Decoder decoder(shared, request, events, control);
    return decoder.run();
}

} // namespace tv

#include "AudioLength.h"

#include "MediaLibs.h"

#include <QFile>

namespace tv {

qint64 AudioPacketLength(const QString &path) {
    AVFormatContext *raw = nullptr;
    if (avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return -1;
    InputContextPtr input(raw);
    if (avformat_find_stream_info(input.get(), nullptr) < 0)
        return -1;
    const int audio = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (audio < 0)
        return -1;
    const AVStream *stream = input->streams[audio];
    PacketPtr packet(av_packet_alloc());
    if (!packet)
        return -1;
    int64_t total = 0;
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        if (packet->stream_index == audio && packet->duration > 0)
            total += packet->duration;
        av_packet_unref(packet.get());
    }
    return av_rescale_q(total, stream->time_base, AVRational{1, 1000000});
}

} // namespace tv

#include "Snapshot.h"

#include "MediaLibs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cstring>

namespace tv {

namespace {

struct OutputContextDeleter {
    void operator()(AVFormatContext *c) const {
        if (c && c->pb)
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};

// One picture as a GIF file through libavcodec's encoder and libavformat's muxer; the colours
// are reduced to a 256-entry palette by Qt first.
QString WriteGif(const QImage &picture, const QString &path) {
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8);
    const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_GIF);
    if (!codec || indexed.isNull())
        return QStringLiteral("The GIF encoder is not available");
    CodecContextPtr encoder(avcodec_alloc_context3(codec));
    encoder->width = indexed.width();
    encoder->height = indexed.height();
    encoder->pix_fmt = AV_PIX_FMT_PAL8;
    encoder->time_base = {1, 25};
    int error = avcodec_open2(encoder.get(), codec, nullptr);
    if (error < 0)
        return AvErrorText(error);

    FramePtr frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_PAL8;
    frame->width = indexed.width();
    frame->height = indexed.height();
    frame->pts = 0;
    if ((error = av_frame_get_buffer(frame.get(), 0)) < 0)
        return AvErrorText(error);
    for (int y = 0; y < indexed.height(); ++y)
        std::memcpy(frame->data[0] + y * frame->linesize[0], indexed.constScanLine(y), indexed.width());
    auto *palette = reinterpret_cast<uint32_t *>(frame->data[1]);
    const QList<QRgb> colours = indexed.colorTable();
    for (int i = 0; i < 256; ++i)
        palette[i] = i < colours.size() ? (colours.at(i) | 0xff000000u) : 0xff000000u;

    AVFormatContext *raw = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if ((error = avformat_alloc_output_context2(&raw, nullptr, "gif", file.constData())) < 0)
        return AvErrorText(error);
    std::unique_ptr<AVFormatContext, OutputContextDeleter> output(raw);
    AVStream *stream = avformat_new_stream(output.get(), nullptr);
    if (!stream)
        return AvErrorText(AVERROR(ENOMEM));
    avcodec_parameters_from_context(stream->codecpar, encoder.get());
    stream->time_base = encoder->time_base;
    if ((error = avio_open(&output->pb, file.constData(), AVIO_FLAG_WRITE)) < 0 ||
        (error = avformat_write_header(output.get(), nullptr)) < 0)
        return AvErrorText(error);

    PacketPtr packet(av_packet_alloc());
    for (AVFrame *input : {frame.get(), static_cast<AVFrame *>(nullptr)}) {
        if ((error = avcodec_send_frame(encoder.get(), input)) < 0)
            return AvErrorText(error);
        while ((error = avcodec_receive_packet(encoder.get(), packet.get())) >= 0) {
            av_packet_rescale_ts(packet.get(), encoder->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if ((error = av_interleaved_write_frame(output.get(), packet.get())) < 0)
                return AvErrorText(error);
        }
        if (error != AVERROR(EAGAIN) && error != AVERROR_EOF)
            return AvErrorText(error);
    }
    if ((error = av_write_trailer(output.get())) < 0)
        return AvErrorText(error);
    if ((error = avio_closep(&output->pb)) < 0)
        return AvErrorText(error);
    return QString();
}

} // namespace

QStringList SnapshotFilters() {
    return {QStringLiteral("PNG (*.png)"), QStringLiteral("JPEG (*.jpg)"), QStringLiteral("GIF (*.gif)"),
            QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("TIFF (*.tif)")};
}

QString SnapshotExtension(int filter) {
    static const char *const extensions[] = {".png", ".jpg", ".gif", ".bmp", ".tif"};
    return filter >= 1 && filter <= 5 ? QString::fromLatin1(extensions[filter - 1]) : QString();
}

QString SnapshotPath(const QString &chosen, int filter) {
    const QString extension = SnapshotExtension(filter);
    if (chosen.endsWith(extension, Qt::CaseInsensitive))
        return chosen;
    return chosen + extension;
}

QString SaveSnapshot(const QImage &picture, const QString &path, int filter) {
    if (picture.isNull())
        return QStringLiteral("There is no picture to save");
    if (filter == 3) {
        // Written beside the target under a name of its own, then renamed over it.
        QTemporaryFile work(QFileInfo(path).absolutePath() + QStringLiteral("/.snapshot-XXXXXX.gif"));
        if (!work.open())
            return work.errorString();
        work.close();
        const QString error = WriteGif(picture, work.fileName());
        if (!error.isEmpty())
            return error;
        QFile::remove(path);
        if (!work.rename(path))
            return work.errorString();
        work.setAutoRemove(false);
        return QString();
    }
    static const char *const formats[] = {"png", "jpeg", nullptr, "bmp", "tiff"};
    if (filter < 1 || filter > 5)
        return QStringLiteral("Unknown picture format");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, formats[filter - 1]);
    if (!writer.write(picture)) {
        file.cancelWriting();
        return writer.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace tv

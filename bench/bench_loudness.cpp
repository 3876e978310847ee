// Loudness normalisation against plain conversion, and the two ways of measuring before encoding:
// decoding twice (measure, then convert) or once (the measurer keeps the decoded sound for the
// encoder). Prints figures and ratios, never a pass or fail.
#include "EncodingParameters.h"
#include "Engine.h"
#include "LoudnessMeter.h"
#include "MediaLibs.h"
#include "Task.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>

#include <cstdio>
#include <vector>

using namespace tv;

namespace {

bool Run(const QStringList &args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-y"} + args);
    return p.waitForFinished(-1) && p.exitCode() == 0;
}

QString Mp3Args() {
    JobParameters job;
    job.AudioCodec = "MP3";
    job.FileExtention = "MP3";
    job.Channels = 1;
    job.SampleRate = "44100";
    job.AudioBitrate = "128";
    job.AudioSize = "16 bit";
    job.TrimStart = "00:00:00.000";
    job.TrimDuration = "00:00:10.000";
    return BuildAudioArguments(job);
}

// Noise with a tone, at levels from quiet to loud, as the engine benchmark's inputs.
QStringList MakeInputs(const QString &folder, int count, const QString &extension) {
    QDir().mkpath(folder);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString path =
            QStringLiteral("%1/in%2.%3").arg(folder).arg(i, 3, 10, QLatin1Char('0')).arg(extension);
        Run({"-f", "lavfi", "-i", QStringLiteral("anoisesrc=d=10:c=pink:a=%1:r=44100").arg(0.05 + 0.01 * i),
             "-f", "lavfi", "-i", QStringLiteral("sine=f=%1:d=10:r=44100").arg(220 + i * 7),
             "-filter_complex", "amix=inputs=2", "-ac", "2", path});
        files << path;
    }
    return files;
}

double EngineSeconds(const QStringList &inputs, const QString &outFolder, LoudnessMode mode) {
    QDir(outFolder).removeRecursively();
    QDir().mkpath(outFolder);
    Engine engine;
    LoudnessSettings loudness;
    loudness.mode = mode;
    engine.setLoudness(loudness);
    QEventLoop loop;
    QObject::connect(&engine, &Engine::JobFinished, &loop,
                     [&](int job, bool ok, bool, const QString &message) {
                         if (job >= 0 && !ok)
                             std::fprintf(stderr, "job %d failed: %s\n", job, qPrintable(message));
                         if (job == -1)
                             loop.quit();
                     });
    QElapsedTimer timer;
    timer.start();
    const QString args = Mp3Args();
    for (const QString &in : inputs) {
        const int job = engine.AddJob(in, " -ss 00:00:00.000");
        engine.SetJobOutput(job, outFolder + "/" + QFileInfo(in).completeBaseName() + ".mp3", args);
    }
    engine.StartJobs(0);
    loop.exec();
    return timer.elapsed() / 1000.0;
}

// Runs one piece of work per input on every core, as the engine does; answers the seconds.
template <typename Work> double OnAllCores(const QStringList &inputs, Work work) {
    QElapsedTimer timer;
    timer.start();
    QtConcurrent::blockingMap(inputs, work);
    return timer.elapsed() / 1000.0;
}

// What measuring adds when the sound is decoded once only: decoding and resampling alone, with
// the decoded sound kept in memory as the encoder would later read it.
void DecodeAndKeep(const QString &path, std::vector<float> *kept) {
    AVFormatContext *raw = nullptr;
    if (avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return;
    InputContextPtr input(raw);
    avformat_find_stream_info(input.get(), nullptr);
    const AVCodec *codec = nullptr;
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(decoder.get(), input->streams[index]->codecpar);
    decoder->thread_count = 1;
    avcodec_open2(decoder.get(), codec, nullptr);
    AVChannelLayout stereo{};
    av_channel_layout_default(&stereo, 2);
    SwrContext *rawSwr = nullptr;
    swr_alloc_set_opts2(&rawSwr, &stereo, AV_SAMPLE_FMT_FLT, 44100, &decoder->ch_layout, decoder->sample_fmt,
                        decoder->sample_rate, 0, nullptr);
    swr_init(rawSwr);
    SwrPtr swr(rawSwr);
    FramePtr frame(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(decoder.get(), packet.get()) >= 0) {
            while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
                const int room = swr_get_out_samples(swr.get(), frame->nb_samples);
                const size_t at = kept->size();
                kept->resize(at + static_cast<size_t>(room) * 2);
                uint8_t *out[] = {reinterpret_cast<uint8_t *>(kept->data() + at)};
                const int n =
                    swr_convert(swr.get(), out, room, const_cast<const uint8_t **>(frame->extended_data),
                                frame->nb_samples);
                kept->resize(at + static_cast<size_t>(std::max(0, n)) * 2);
            }
        }
        av_packet_unref(packet.get());
    }
}

void Compare(const char *title, const QStringList &inputs, const QString &work) {
    const double plain = EngineSeconds(inputs, work + "/plain", LoudnessMode::Off);
    const double track = EngineSeconds(inputs, work + "/track", LoudnessMode::Track);
    const double album = EngineSeconds(inputs, work + "/album", LoudnessMode::Album);
    const double measure = OnAllCores(inputs, [](const QString &path) {
        TaskControl control;
        LoudnessRequest request;
        request.inputPath = path;
        request.outputPath = path + ".mp3";
        MeasureLoudness(request, control);
    });
    const double decode = OnAllCores(inputs, [](const QString &path) {
        std::vector<float> kept;
        DecodeAndKeep(path, &kept);
    });
    std::printf("\n%s -> MP3 128k, %lld files\n", title, static_cast<long long>(inputs.size()));
    std::printf("  plain conversion:                     %6.2f s\n", plain);
    std::printf("  normalised, each file (decode twice): %6.2f s  = %.2fx  (target <= 1.35x)\n", track,
                track / plain);
    std::printf("  normalised, album (decode twice):     %6.2f s  = %.2fx\n", album, album / plain);
    std::printf("  measuring alone (decode + meter):     %6.2f s\n", measure);
    std::printf("  decoding alone, sound kept in memory: %6.2f s\n", decode);
    std::printf(
        "  decode once (estimate: each file - one decode): %6.2f s  = %.2fx, and %.1f MB held per job\n",
        track - decode, (track - decode) / plain, 10 * 44100 * 2 * 4 / 1e6);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("Loudness benchmark on %d cores\n", QThread::idealThreadCount());
    Compare("40 x 10 s WAV", MakeInputs(dir.path() + "/wav", 40, "wav"), dir.path() + "/out-wav");
    Compare("40 x 10 s MP3 (a lossy input costs more to decode)", MakeInputs(dir.path() + "/mp3", 40, "mp3"),
            dir.path() + "/out-mp3");
    return 0;
}

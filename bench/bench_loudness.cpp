// Loudness normalisation against plain conversion, and the two ways of measuring before encoding:
// decoding twice (measure, then convert) or once (the measurer keeps the decoded sound for the
// encoder). Prints figures and ratios, never a pass or fail.
#include "BenchMedia.h"
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
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>

#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace tv;
using namespace tv::bench;

namespace {

// Wall and processor seconds of a piece of work. Other work on a shared machine stretches the
// wall time; the processor time of this process is what normalising costs.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The best of three runs.
template <typename Work> Timing Time(Work work) {
    Timing best{1e9, 1e9};
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = CpuSeconds();
        work();
        best.wall = std::min(best.wall, timer.elapsed() / 1000.0);
        best.cpu = std::min(best.cpu, CpuSeconds() - cpu);
    }
    return best;
}

// Noise with a tone, at levels from quiet to loud, as the engine benchmark's inputs.
QStringList MakeInputs(const QString &folder, int count, const QString &extension) {
    return MakeNoisyTones(folder, count, 10, extension, 0.05, 0.01);
}

Timing EngineTiming(const QStringList &inputs, const QString &outFolder, LoudnessMode mode) {
    return Time([&]() {
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
        const QString args = Mp3Args("00:00:10.000");
        for (const QString &in : inputs) {
            const int job = engine.AddJob(in, " -ss 00:00:00.000");
            engine.SetJobOutput(job, outFolder + "/" + QFileInfo(in).completeBaseName() + ".mp3", args);
        }
        engine.StartJobs(0);
        loop.exec();
    });
}

// Runs one piece of work per input on every core, as the engine does; answers the seconds.
template <typename Work> Timing OnAllCores(const QStringList &inputs, Work work) {
    return Time([&]() { QtConcurrent::blockingMap(inputs, work); });
}

// What measuring adds when the sound is decoded once only: decoding and resampling alone, with
// the decoded sound kept in memory as the encoder would later read it.
void DecodeAndKeep(const QString &path, std::vector<float> *kept, bool keep = true) {
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
                kept->resize(keep ? at + static_cast<size_t>(std::max(0, n)) * 2 : 0);
            }
        }
        av_packet_unref(packet.get());
    }
}

void Compare(const char *title, const QStringList &inputs, const QString &work) {
    const Timing plain = EngineTiming(inputs, work + "/plain", LoudnessMode::Off);
    const Timing track = EngineTiming(inputs, work + "/track", LoudnessMode::Track);
    const Timing album = EngineTiming(inputs, work + "/album", LoudnessMode::Album);
    const Timing measure = OnAllCores(inputs, [](const QString &path) {
        TaskControl control;
        LoudnessRequest request;
        request.inputPath = path;
        request.outputPath = path + ".mp3";
        MeasureLoudness(request, control);
    });
    const Timing decode = OnAllCores(inputs, [](const QString &path) {
        std::vector<float> scratch;
        DecodeAndKeep(path, &scratch, false);
    });
    const Timing decodeKept = OnAllCores(inputs, [](const QString &path) {
        std::vector<float> kept;
        DecodeAndKeep(path, &kept);
    });
    // Decoding once saves one decode and pays for keeping the sound until the encoder reads it.
    const Timing once{track.wall - decode.wall + (decodeKept.wall - decode.wall),
                      track.cpu - decode.cpu + (decodeKept.cpu - decode.cpu)};
    std::printf("\n%s -> MP3 128k, %lld files (best of 3)       wall      processor\n", title,
                static_cast<long long>(inputs.size()));
    const auto line = [&](const char *what, const Timing &t, bool ratio) {
        std::printf("  %-38s %6.2f s %6.2f s", what, t.wall, t.cpu);
        if (ratio)
            std::printf("   = %.2fx wall, %.2fx processor", t.wall / plain.wall, t.cpu / plain.cpu);
        std::printf("\n");
    };
    line("plain conversion", plain, false);
    line("normalised, each file (decode twice)", track, true);
    line("normalised, album (decode twice)", album, true);
    line("measuring alone (decode + meter)", measure, false);
    line("decoding alone", decode, false);
    line("decoding alone, sound kept in memory", decodeKept, false);
    line("decode once (estimate)", once, true);
    std::printf(
        "  target for normalising: <= 1.35x. Decoding once holds the decoded sound: %.1f MB per 10 s job, "
        "%.0f MB per hour of stereo.\n",
        10 * 44100 * 2 * 4 / 1e6, 3600 * 44100 * 2 * 4 / 1e6);
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

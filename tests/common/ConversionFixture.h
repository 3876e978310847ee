#pragma once
// Conversion jobs for the tests of the engine and the batch: an audio job's parameters, an MP3
// job added to an engine, a batch's settings and the rows the list gives it.

#include "ConversionBatch.h"
#include "EncodingParameters.h"
#include "Engine.h"

#include <QFileInfo>

namespace tv::test {

// The parameters of an audio job cut to `duration` (hh:mm:ss.fff); channels is the chooser index.
inline JobParameters AudioJob(const QString &codec, const QString &ext, int channels, const QString &rate,
                              const QString &bitrate,
                              const QString &duration = QStringLiteral("00:00:01.000"),
                              const QString &size = QStringLiteral("16 bit")) {
    JobParameters job;
    job.AudioCodec = codec;
    job.FileExtention = ext;
    job.Channels = channels;
    job.SampleRate = rate;
    job.AudioBitrate = bitrate;
    job.AudioSize = size;
    job.TrimStart = "00:00:00.000";
    job.TrimDuration = duration;
    return job;
}

// The option text of AudioJob(...).
template <class... Args> QString AudioArguments(Args &&...args) {
    return BuildAudioArguments(AudioJob(std::forward<Args>(args)...));
}

// Adds a job that writes input to output with these options; answers its index, or -1.
inline int AddConversion(Engine &engine, const QString &input, const QString &output,
                         const QString &arguments, const QString &inputOptions = QString()) {
    const int job = engine.AddJob(input, inputOptions);
    return job >= 0 && engine.SetJobOutput(job, output, arguments) >= 0 ? job : -1;
}

// Adds a job that writes `length` of input as a 128k stereo MP3 to output; answers its index, or -1.
inline int AddMp3Job(Engine &engine, const QString &input, const QString &output, const QString &length) {
    return AddConversion(engine, input, output, AudioArguments("MP3", "MP3", 1, "44100", "128", length));
}

// A batch writing 128k stereo outputs (MP3 unless told) into folder, never overwriting.
inline BatchSettings Mp3Settings(const QString &folder, const QString &ext = QStringLiteral("MP3"),
                                 const QString &codec = QStringLiteral("MP3")) {
    BatchSettings s;
    s.format = AudioJob(codec, ext, 1, "44100", "128");
    s.outputFolder = folder;
    s.outputFileNamePolicy = 1;
    return s;
}

// The list's row of a whole input that lasts `seconds`.
inline BatchRow Row(const QString &path, double seconds) {
    BatchRow row;
    row.inputPath = path;
    row.displayName = QFileInfo(path).fileName();
    row.trimStart = "00:00:00.000";
    row.trimDuration = QStringLiteral("00:00:%1").arg(seconds, 6, 'f', 3, QLatin1Char('0'));
    return row;
}

} // namespace tv::test

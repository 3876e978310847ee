#pragma once
// One conversion: decode the input's audio, convert it as the encoder needs, encode and mux,
// written under a work name beside the output and moved to the output name on success.

#include "EngineOptions.h"
#include "Loudness.h"

#include <QString>
#include <functional>

namespace tv {

class TaskControl;

struct TranscodeRequest {
    QString inputPath;
    InputOptions input;
    QString outputPath;
    OutputOptions output;
    // Written into the output's header (the row's tags, for formats the tag writer cannot reach).
    QList<QPair<QString, QString>> containerTags;
    // Runs on the finished work file before it takes the output name (the tag writer).
    std::function<void(const QString &workPath)> finishOutput;
    // False when the user keeps every existing file: a file that took the output's name during
    // the conversion is then kept and the job fails.
    bool replaceExisting = true;
    // Applied to the sound as the encoder receives it (loudness normalisation); 0 leaves it.
    double gainDb = 0.0;
    // The finished work file is left for the caller to place (PlaceFinishedOutput), so that the
    // wait for the disk does not hold a worker that could encode the next file.
    bool deferPlacing = false;
};

struct TranscodeResult {
    bool succeeded = false;
    bool stopped = false;
    QString message;          // the library's wording when it failed
    LoudnessOutcome loudness; // what was measured and applied, when loudness was asked for
    QString placeFrom;        // with deferPlacing: the finished work file, still to be placed
};

// Gives a finished work file its output name, flushed to the disk first; "" or the reason it
// could not (the work file is then removed).
QString PlaceFinishedOutput(const QString &workPath, const QString &outputPath, bool replaceExisting);

// Progress: position and total length of the output, in microseconds (total 0 when unknown).
using ProgressCallback = std::function<void(qint64 position, qint64 total)>;

TranscodeResult Transcode(const TranscodeRequest &request, TaskControl &control,
                          const ProgressCallback &progress);

// Checks what can be checked before the job runs (encoder, container): "" or the reason.
QString CheckOutputSettings(const QString &outputPath, const OutputOptions &output);

// The encoder a job writes with: the option text's, or the container's own; "" when none.
QString OutputEncoderName(const QString &outputPath, const OutputOptions &output);

} // namespace tv

#pragma once
// Measures an input's loudness (EBU R128 integrated loudness and true peak) over the sound a job
// would encode: its trimmed part, resampled to the rate and channels the encoder takes.

#include "EngineOptions.h"
#include "Loudness.h"

#include <QString>
#include <functional>

namespace tv {

class TaskControl;

struct LoudnessRequest {
    QString inputPath;
    InputOptions input;
    QString outputPath; // its extension chooses the encoder, as for the job itself
    OutputOptions output;
};

// Runs on a worker; stops early (measured false, nothing else set) when the control is cancelled.
// Progress: position and total of the measured part, in microseconds.
LoudnessMeasurement MeasureLoudness(const LoudnessRequest &request, TaskControl &control,
                                    const std::function<void(qint64, qint64)> &progress = {});

} // namespace tv

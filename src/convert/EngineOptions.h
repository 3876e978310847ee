#pragma once
// The option texts the engine accepts: input " -ss <time>", output " -ac -ar -ab -acodec -an -vn -t".

#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

namespace tv {

struct LoudnessOutcome;

struct InputOptions {
    qint64 startMicroseconds = 0; // -ss
};

struct OutputOptions {
    std::optional<int> channels;                // -ac
    std::optional<int> sampleRate;              // -ar
    std::optional<qint64> bitRate;              // -ab, bits per second
    QString encoder;                            // -acodec, as written
    bool noAudio = false;                       // -an
    bool noVideo = false;                       // -vn
    std::optional<qint64> durationMicroseconds; // -t
};

// The tags each output receives, from the tag layer only (never the input's own container tags,
// which would bring back a field the user changed). Both parts run on the job's worker thread,
// so they must be thread-safe.
struct OutputTagging {
    // Container tags written with the header ("title", "artist" …), so that formats the tag
    // writer cannot reach still carry the row's tags.
    std::function<QList<QPair<QString, QString>>(int job)> containerTags;
    // Runs on the finished work file before it takes its name (the tag writer).
    std::function<void(int job, const QString &workPath)> finish;
    // Used instead of finish when the job measured ReplayGain values for its output's tags.
    std::function<void(int job, const QString &workPath, const LoudnessOutcome &loudness)> finishWithLoudness;
};

// A time text ("00:03:25.120", "12.5", "90") as microseconds; false when it is not a time.
bool ParseTimeText(const QString &text, qint64 *microseconds);

// Each parser answers "" on success, or a message in the words the command-line tool uses.
QString ParseInputOptions(const QString &text, InputOptions *options);
QString ParseOutputOptions(const QString &text, OutputOptions *options);

} // namespace tv

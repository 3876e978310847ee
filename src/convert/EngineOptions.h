#pragma once
// The option texts the engine accepts: input " -ss <time>", output " -ac -ar -ab -acodec -an -vn -t".

#include <QString>
#include <optional>

namespace tv {

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

// A time text ("00:03:25.120", "12.5", "90") as microseconds; false when it is not a time.
bool ParseTimeText(const QString &text, qint64 *microseconds);

// Each parser answers "" on success, or a message in the words the command-line tool uses.
QString ParseInputOptions(const QString &text, InputOptions *options);
QString ParseOutputOptions(const QString &text, OutputOptions *options);

} // namespace tv

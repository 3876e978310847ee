#pragma once
// Secure reading of audio sectors with libcdio-paranoia in full mode: overlapping reads are
// compared and jitter, dropped and duplicated bytes are fixed; a sector that still cannot be
// read after the retries is skipped and counted. Runs on a worker thread.

#include "Task.h"

#include <QString>
#include <functional>
#include <memory>

typedef struct cdrom_drive_s cdrom_drive_t;
typedef struct cdrom_paranoia_s cdrom_paranoia_t;

namespace tv {

class DiscHandle;

// What paranoia reported while reading.
struct ParanoiaCounts {
    int corrections = 0; // jitter, dropped and duplicated bytes fixed
    int skips = 0;       // sectors given up after every retry
    int readErrors = 0;  // hard read errors the drive answered
};

// The part of the disc to read, in stereo samples: a track shifted by the drive's read offset.
// Samples outside [readableFirst, readableEnd) (before the disc's audio or past its end) read
// as silence, as they would from a drive that cannot overread.
struct SampleRange {
    qint64 first = 0;
    qint64 count = 0;
    qint64 readableFirst = 0;
    qint64 readableEnd = 0;
};

class SecureReader {
public:
    ~SecureReader();
    SecureReader(const SecureReader &) = delete;
    SecureReader &operator=(const SecureReader &) = delete;

    // Prepares the disc for reading; null with the reason when it cannot read audio.
    static std::unique_ptr<SecureReader> Open(DiscHandle &disc, QString *error);

    // Hands the range's bytes (little-endian 16-bit stereo) to sink in order; sink answers false
    // to stop. progress(samplesDone) follows each sector. Answers false when stopped, when the
    // sink refused, or when a read failed (the reason in *error).
    bool read(const SampleRange &range, TaskControl &control, ParanoiaCounts &counts,
              const std::function<bool(const char *, qint64)> &sink,
              const std::function<void(qint64)> &progress, QString *error);

private:
    SecureReader() = default;
    cdrom_drive_t *m_drive = nullptr;
};

// Number of retries of a sector before it is skipped.
inline constexpr int kParanoiaRetries = 20;

} // namespace tv

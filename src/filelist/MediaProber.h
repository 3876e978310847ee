#pragma once
// Probing one file into a media item: the rules of adding a file to the list, run on a worker
// thread. The list itself is only touched by the UI thread that receives the outcome.

#include "MediaItem.h"

#include <QSize>
#include <QString>
#include <atomic>

namespace tv {

// Import mode 2, used by every import of the list, skips files shorter than one second.
inline constexpr int kImportModeSkipShort = 2;

struct ProbeOptions {
    int importMode = kImportModeSkipShort;
    QString tempFolder;                       // where thumbnails are saved, ending with "/"
    QSize thumbnailSize{160, 120};            // size of the thumbnail picture box
    int timeLimitMs = 30000;                  // for opening and for the picture, each
    const std::atomic_bool *cancel = nullptr; // stops the probe early when set
};

struct ProbeOutcome {
    enum Kind {
        Added,       // item holds every field and gets the Ready status
        Interrupted, // the probe failed after the row was added: the item holds what was written
        Skipped,     // shorter than one second (or no known duration) in import mode 2
        NotFound,    // the file does not exist: "File not found!"
        OpenFailed,  // the decoder could not open it: failureText says why
        Canceled,    // the import was cancelled before the probe finished
    };
    Kind kind = Skipped;
    MediaItem item;
    QString path;        // as given
    QString fileName;    // base name, ".", extension: the name of a failure line
    QString failureText; // reason of NotFound, OpenFailed and Skipped

    bool addsRow() const { return kind == Added || kind == Interrupted; }
};

// Probes the file and builds its media item, thumbnail included. Thread-safe.
ProbeOutcome ProbeFile(const QString &path, const ProbeOptions &options);

} // namespace tv

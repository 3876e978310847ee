#pragma once
// The flags of a batch and the result channel of single-file conversions, shared by the
// conversion driver, the batch completion and the windows that convert one file.

#include <QString>

namespace tv {

// Owned by the UI thread.
struct ConversionFlags {
    bool stopRequested = false;   // Stop was pressed
    bool cancelPrepare = false;   // Cancel was pressed in the wait window
    bool anySucceeded = false;    // at least one job ended well
    bool suppressNotices = false; // no completion dialog or notice
    int elapsedSeconds = 0;       // seconds of the running batch
    bool shutdownWhenDone = false;
    bool unloading = false; // the main window is going away
    int waitMode = 0;       // 1 preparing jobs, 2 closing, 3 merging
    QString lastError;      // "Error", or the text of a failed single-file conversion
};

ConversionFlags &Flags();

} // namespace tv

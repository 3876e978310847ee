#pragma once
// What the user reads when the engine reports a failure.

#include <QString>

namespace tv {

enum class FailureKind {
    DiskFull,    // "No space left on device"
    InvalidData, // "Invalid data found when processing input"
    Other,
};

// The recognised engine messages, tested in this order, ignoring letter case.
FailureKind ClassifyEngineMessage(const QString &message);

// "The disk in the destination folder is full." + two line breaks + the folder in quotes.
QString DiskFullText(const QString &folder);
QString InvalidDataText();
// An input that opens but whose audio frames cannot be decoded (a damaged file), and one that
// holds no sound at all. Neither is taken for copy protection, which is for inputs that cannot
// be opened.
QString DamagedAudioText();
QString NoAudioText();

// The text of a single-file conversion that failed without a recognised message.
QString CouldNotOpenText();

// The last-error text of a failed single-file conversion; the full-disk text names the
// drive of the temporary folder.
QString SingleFileErrorText(const QString &message, const QString &temporaryFolder);

// An engine refusal as the preparation shows it: every ": " becomes two line breaks.
QString RefusalText(const QString &lastErrorText);

} // namespace tv

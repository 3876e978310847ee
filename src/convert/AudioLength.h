#pragma once
// How long the sound of a file lasts, from its packets rather than from its header: stream copy
// keeps the first part's header in a join, and headers of damaged files say what they like.

#include <QString>

namespace tv {

// The sum of the packet lengths of the first audio stream, in microseconds; -1 when the file
// cannot be opened or holds no audio stream. Reads the whole file (no decoding).
qint64 AudioPacketLength(const QString &path);

} // namespace tv

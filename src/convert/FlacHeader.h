#pragma once
// FLAC files joined by stream copy keep the first part's stream header, which counts only that
// part's samples; players that trust it stop early. This sets the joined file's header straight.

#include <QString>
#include <QStringList>

namespace tv {

// The total sample count a FLAC file's stream header gives; -1 when it is not a FLAC file.
qint64 FlacTotalSamples(const QString &path);

// Writes the sum of the parts' counts into the joined file's header (0, "unknown", when a part
// does not know its own) and marks its checksum unknown. Answers false when the file is not FLAC.
bool FixJoinedFlacHeader(const QString &joinedPath, const QStringList &partPaths);

} // namespace tv

#pragma once
// The rip log: what a careful ripper writes down so a rip can be checked later (the drive, the
// read mode and offset, the table of contents, and per track its CRCs, AccurateRip checksums,
// paranoia's counts and how it ended).

#include "DiscToc.h"
#include "RipJob.h"

#include <QDateTime>
#include <QString>
#include <QVector>

namespace tv {

struct RipLogInfo {
    QString source; // drive device or image path
    bool image = false;
    QString driveModel; // vendor, model and revision of a drive
    int readOffset = 0;
    bool testAndCopy = true;
    QDateTime started;
    DiscToc toc;
    DiscText info;
    QString discId; // MusicBrainz disc id, "" when unknown
    QString error;  // why the rip could not start, "" otherwise
};

QString RipLogText(const RipLogInfo &info, const QVector<RipTrackResult> &tracks);

// "Done", "Unsuccessful!" or "Canceled!": the status texts of the track list.
QString RipStatusText(RipStatus status);

} // namespace tv

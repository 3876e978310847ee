#pragma once
// Probing the command line's files and folders the way the window adds them (folders searched
// for media files, files under one second skipped), in the order given.

#include "MediaProber.h"

#include <QList>
#include <QStringList>

namespace tv {

// Every outcome in order; waits (running an event loop) until all are probed.
QList<ProbeOutcome> ProbeInputs(const QStringList &paths, bool expandFolders);

// Deletes the pictures a probe saved in the temporary folder for an item.
void ForgetProbePictures(const MediaItem &item);

} // namespace tv

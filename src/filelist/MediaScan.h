#pragma once
// Turns dropped paths into the files to import: files stay as they are, folders are searched
// (sub-folders too) for files whose extension is in the media extension list. Runs on a worker.

#include <QStringList>
#include <atomic>

namespace tv {

// Folders are listed files first, then sub-folders, each in natural name order. A folder reached
// twice through links is searched once. Stops early when the flag is set.
QStringList CollectMediaFiles(const QStringList &paths, const std::atomic_bool *cancel = nullptr);

} // namespace tv

#pragma once
// Saving the player's picture as a snapshot file in one of the five formats of the save
// dialog's filter: 1 PNG, 2 JPEG, 3 GIF, 4 BMP, 5 TIFF.

#include <QImage>
#include <QString>
#include <QStringList>

namespace tv {

// The save dialog's filter entries, in their numbered order (1 to 5).
QStringList SnapshotFilters();
// ".png", ".jpg", ".gif", ".bmp" or ".tif" for filter 1 to 5 ("" otherwise).
QString SnapshotExtension(int filter);
// The chosen name with the filter's extension added, unless it already ends with it.
QString SnapshotPath(const QString &chosen, int filter);

// Writes the picture; answers "" or why it could not. The file appears complete or not at all
// (a replaced file stays until the new one is whole). GIF goes through the FFmpeg encoder,
// the others through Qt's image writers.
QString SaveSnapshot(const QImage &picture, const QString &path, int filter);

} // namespace tv

#pragma once

#include <QString>
#include <QStringList>

namespace tv {

// Replaces a reply file with the given lines, each ended by CR LF. Fails (false) without
// following a symbolic link, creating a folder, or touching a folder of that name.
bool WriteExportFile(const QString &path, const QStringList &lines);

} // namespace tv

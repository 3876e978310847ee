#pragma once
// Names of the files ripped tracks wait in before they go to the main list or to a conversion.

#include <QSet>
#include <QString>

namespace tv {

// folder + "Artist - Title.cda" when the disc information is known, else "Track01.cda"; made safe
// as a file name and unique among the names already in `taken` (which receives it).
QString RippedFileName(const QString &folder, bool infoAvailable, const QString &artist, const QString &title,
                       int trackNumber, QSet<QString> *taken);

// Makes a folder of its own for one rip inside the temporary folder ("rip_" + identifier + "/"),
// so rips of several windows and command-line runs never share a file name; "" when it cannot
// be made.
QString NewRipFolder(const QString &tempFolder);

} // namespace tv

#pragma once
// The filter table of the open-file dialog: 60 places, 54 of them filled, each "description|
// patterns|"; the first three cover every media, audio and video extension.

#include <QStringList>

namespace tv {

inline constexpr int kFilterTableSize = 64;

// The table as built at start-up, blank entries included.
QStringList OpenFileFilterTable();

// The same filters as the Qt file dialog takes them: "AC3 Audio Files (*.ac3 *.dts)".
QStringList OpenFileNameFilters();

} // namespace tv

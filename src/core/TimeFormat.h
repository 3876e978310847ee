#pragma once
// The texts of elapsed times, media positions and byte counts.

#include <QString>
#include <QVariant>

namespace tv {

// Whole seconds as hh:mm:ss; the hours take more digits when needed (100:00:00).
QString FormatClock(qint64 seconds);

// Microseconds as hh:mm:ss.fff with truncated milliseconds; negative counts give 00:00:00.000.
QString FormatPosition(qint64 microseconds);

// A byte count as "512 bytes", "1.50 KB", "50.0 KB", "500 KB", "0.98 MB" ...; "" when the
// value is not a number or the units run out.
QString FormatSize(const QVariant &bytes);
QString FormatSize(double bytes);

// A size text back to the number it shows, in the unit it carried ("N/A" is 0); the disc space
// gauge works from the rounded figure the user sees.
double ParseSize(const QString &text);

} // namespace tv

#pragma once
// Durations and positions cross every media boundary as 64-bit signed microseconds, carried as
// a low and a high 32-bit half; low 0 with high 0x80000000 (the value -2^63) means "unknown".

#include <QString>
#include <QtGlobal>
#include <limits>

namespace tv {

inline constexpr qint64 kUnknownDuration = std::numeric_limits<qint64>::min();

struct DurationHalves {
    qint32 low = 0;
    qint32 high = 0;
};

DurationHalves SplitDuration(qint64 microseconds);
qint64 JoinDuration(qint32 low, qint32 high);
bool IsUnknownDuration(qint32 low, qint32 high);

// Microseconds and decimal seconds.
double DurationToSeconds(qint64 microseconds);

// Microseconds and the position text hh:mm:ss.fff; an unreadable text is 0.
QString DurationToText(qint64 microseconds);
qint64 TextToDuration(const QString &text);

// Seconds with two decimals and "." as the decimal mark ("FileDurationInMs"), and back.
QString DurationSecondsText(qint64 microseconds);
double SecondsTextToSeconds(const QString &text);

} // namespace tv

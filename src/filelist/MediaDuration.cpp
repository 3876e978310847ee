#include "MediaDuration.h"

#include "TimeFormat.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace tv {

DurationHalves SplitDuration(qint64 microseconds) {
    const auto bits = static_cast<quint64>(microseconds);
    return {static_cast<qint32>(static_cast<quint32>(bits & 0xFFFFFFFFu)),
            static_cast<qint32>(static_cast<quint32>(bits >> 32))};
}

qint64 JoinDuration(qint32 low, qint32 high) {
    const quint64 bits = (static_cast<quint64>(static_cast<quint32>(high)) << 32) | static_cast<quint32>(low);
    return static_cast<qint64>(bits);
}

bool IsUnknownDuration(qint32 low, qint32 high) {
    return low == 0 && static_cast<quint32>(high) == 0x80000000u;
}

double DurationToSeconds(qint64 microseconds) {
    return static_cast<double>(microseconds) / 1000000.0;
}

QString DurationToText(qint64 microseconds) {
    return FormatPosition(microseconds);
}

qint64 TextToDuration(const QString &text) {
    static const QRegularExpression kPattern(
        QStringLiteral(R"(^\s*(\d+):(\d{1,2}):(\d{1,2})(?:\.(\d{1,3}))?\s*$)"));
    const QRegularExpressionMatch m = kPattern.match(text);
    if (!m.hasMatch())
        return 0;
    const qint64 hours = m.captured(1).toLongLong();
    const qint64 minutes = m.captured(2).toLongLong();
    const qint64 seconds = m.captured(3).toLongLong();
    const qint64 millis = m.captured(4).leftJustified(3, QLatin1Char('0')).toLongLong();
    return ((hours * 3600 + minutes * 60 + seconds) * 1000 + millis) * 1000;
}

QString DurationSecondsText(qint64 microseconds) {
    return QString::number(DurationToSeconds(microseconds), 'f', 2);
}

double SecondsTextToSeconds(const QString &text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? value : 0.0;
}

} // namespace tv

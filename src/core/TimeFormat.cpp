#include "TimeFormat.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace tv {

namespace {

QString Padded(qint64 value, int digits) { return QString::number(value).rightJustified(digits, QLatin1Char('0')); }

// The decimal mark follows the user's locale, as the rest of the desktop does; digits are
// never grouped, so "1023 bytes" reads the same everywhere.
QLocale NumberLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString Fixed(double value, int decimals) { return NumberLocale().toString(value, 'f', decimals); }

} // namespace

QString FormatClock(qint64 seconds) {
    const qint64 h = static_cast<qint64>(std::floor(seconds / 3600.0));
    const qint64 m = static_cast<qint64>(std::floor(seconds / 60.0)) - h * 60;
    const qint64 s = seconds % 60;
    return Padded(h, 2) + ":" + Padded(m, 2) + ":" + Padded(s, 2);
}

QString FormatPosition(qint64 microseconds) {
    if (microseconds < 0)
        return QStringLiteral("00:00:00.000");
    const qint64 n = microseconds / 1000000;
    // Integer arithmetic truncates exactly where the floating form would sometimes lose a millisecond.
    const qint64 ms = (microseconds % 1000000) / 1000;
    return Padded(n / 3600, 2) + ":" + Padded((n / 60) % 60, 2) + ":" + Padded(n % 60, 2) + "." + Padded(ms, 3);
}

QString FormatSize(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("N/A");
    if (value < 1024)
        return NumberLocale().toString(value, 'g', 15) + " bytes";
    static const char *const kUnits[] = {" KB", " MB", " GB", " TB", " PB", " EB", " ZB", " YB"};
    double v = value;
    for (const char *unit : kUnits) {
        if (v < 10240)
            return Fixed(v / 1024, 2) + unit;
        if (v < 102400)
            return Fixed(v / 1024, 1) + unit;
        if (v < 1024000)
            return Fixed(v / 1024, 0) + unit;
        v /= 1024;
    }
    return QString();
}

QString FormatSize(const QVariant &bytes) {
    bool ok = false;
    double value = 0;
    switch (bytes.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        value = bytes.toDouble(&ok);
        break;
    case QMetaType::QString:
        value = bytes.toString().trimmed().toDouble(&ok);
        if (!ok)
            value = QLocale().toDouble(bytes.toString().trimmed(), &ok);
        break;
    default:
        break;
    }
    if (!ok)
        return QString();
    return FormatSize(value);
}

double ParseSize(const QString &text) {
    static const QRegularExpression kUnits(QStringLiteral("bytes|KB|MB|GB|TB|PB|EB|ZB|YB"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString number = text;
    number.remove(kUnits);
    number.replace(QLatin1String("N/A"), QLatin1String("0"), Qt::CaseInsensitive);
    number = number.trimmed();
    bool ok = false;
    double value = QLocale().toDouble(number, &ok);
    if (!ok)
        value = QLocale::c().toDouble(number, &ok);
    return ok ? value : 0.0;
}

} // namespace tv

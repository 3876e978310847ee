#include "EngineOptions.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace tv {

namespace {

QStringList Tokens(const QString &text) {
    static const QRegularExpression kBlanks(QStringLiteral("\\s+"));
    return text.split(kBlanks, Qt::SkipEmptyParts);
}

QString InvalidValue(const QString &value, const QString &option) {
    return QStringLiteral("Invalid value '%1' for option '%2'").arg(value, option);
}

// A number with an optional SI suffix ("128k", "1.5M", "44100").
bool ParseNumber(QString text, double *value) {
    double scale = 1;
    if (text.endsWith(QLatin1Char('k')) || text.endsWith(QLatin1Char('K'))) {
        scale = 1000;
        text.chop(1);
    } else if (text.endsWith(QLatin1Char('M'))) {
        scale = 1000000;
        text.chop(1);
    }
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v * scale;
    return true;
}

} // namespace

bool ParseTimeText(const QString &text, qint64 *microseconds) {
    static const QRegularExpression kClock(
        QStringLiteral("^(-)?(?:(\\d+):)?(?:(\\d+):)?(\\d+(?:\\.\\d*)?)$"));
    const QRegularExpressionMatch m = kClock.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    // With one colon the first number is minutes, with two it is hours.
    double hours = 0;
    double minutes = 0;
    if (!m.captured(3).isEmpty()) {
        hours = m.captured(2).toDouble();
        minutes = m.captured(3).toDouble();
    } else if (!m.captured(2).isEmpty()) {
        minutes = m.captured(2).toDouble();
    }
    const double seconds = m.captured(4).toDouble();
    const double total = (hours * 3600 + minutes * 60 + seconds) * 1e6;
    if (!std::isfinite(total) || total > 9.2e18)
        return false;
    *microseconds = static_cast<qint64>(std::llround(total)) * (m.captured(1).isEmpty() ? 1 : -1);
    return true;
}

QString ParseInputOptions(const QString &text, InputOptions *options) {
    InputOptions result;
    const QStringList tokens = Tokens(text);
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString &option = tokens.at(i);
        if (option == QLatin1String("-ss")) {
            if (i + 1 >= tokens.size())
                return QStringLiteral("Missing argument for option 'ss'.");
            qint64 start = 0;
            if (!ParseTimeText(tokens.at(i + 1), &start) || start < 0)
                return InvalidValue(tokens.at(i + 1), QStringLiteral("ss"));
            result.startMicroseconds = start;
            ++i;
        } else {
            return QStringLiteral("Unrecognized option '%1'.")
                .arg(option.mid(option.startsWith('-') ? 1 : 0));
        }
    }
    *options = result;
    return QString();
}

QString ParseOutputOptions(const QString &text, OutputOptions *options) {
    OutputOptions result;
    const QStringList tokens = Tokens(text);
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString &option = tokens.at(i);
        if (option == QLatin1String("-an")) {
            result.noAudio = true;
            continue;
        }
        if (option == QLatin1String("-vn")) {
            result.noVideo = true;
            continue;
        }
        const bool known = option == QLatin1String("-ac") || option == QLatin1String("-ar") ||
                           option == QLatin1String("-ab") || option == QLatin1String("-acodec") ||
                           option == QLatin1String("-t");
        if (!known)
            return QStringLiteral("Unrecognized option '%1'.")
                .arg(option.mid(option.startsWith('-') ? 1 : 0));
        const QString name = option.mid(1);
        if (i + 1 >= tokens.size())
            return QStringLiteral("Missing argument for option '%1'.").arg(name);
        const QString value = tokens.at(++i);
        double number = 0;
        if (option == QLatin1String("-acodec")) {
            result.encoder = value;
        } else if (option == QLatin1String("-t")) {
            qint64 duration = 0;
            if (!ParseTimeText(value, &duration) || duration < 0)
                return InvalidValue(value, name);
            result.durationMicroseconds = duration;
        } else if (!ParseNumber(value, &number) || number <= 0 || number > 2e9) {
            // "-" stands for "not applicable" and only passes where no audio is written.
            if (value == QLatin1String("-"))
                continue;
            return InvalidValue(value, name);
        } else if (option == QLatin1String("-ac")) {
            if (number != std::floor(number) || number > 64)
                return InvalidValue(value, name);
            result.channels = static_cast<int>(number);
        } else if (option == QLatin1String("-ar")) {
            if (number != std::floor(number))
                return InvalidValue(value, name);
            result.sampleRate = static_cast<int>(number);
        } else {
            result.bitRate = static_cast<qint64>(std::llround(number));
        }
    }
    *options = result;
    return QString();
}

} // namespace tv

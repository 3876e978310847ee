#include "BurnSpace.h"

#include "TimeFormat.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

namespace tv {

namespace {

const char *const kTypeTexts[] = {"CD-ROM", "CD-R",  "CD-RW",  "DVD-ROM", "DVD+R",
                                  "DVD+RW", "DVD-R", "DVD-RW", "DVD-RAM", "DVD+R DL"};
const char *const kStatusTexts[] = {" - (Blank)", " - (Writable)", " - (Write Protected)", "",
                                    " - (Unknown)"};

// A whole number as the labels write it.
QString Whole(double value) {
    return QString::number(std::llround(value));
}

} // namespace

double DefaultCapacity(BurnKind kind) {
    return IsDvdKind(kind) ? kDvdCapacityDefault : kCdCapacityDefault;
}

bool IsDvdKind(BurnKind kind) {
    return kind == BurnKind::DataDVD;
}

QString MediumTypeText(int type) {
    if (type < 0 || type > 9)
        return QString();
    return QString::fromLatin1(kTypeTexts[type]);
}

QString MediumStatusText(int status) {
    if (status < 0 || status > 4)
        return QString();
    return QString::fromLatin1(kStatusTexts[status]);
}

QString MediumDescription(int type, int status) {
    return MediumTypeText(type) + MediumStatusText(status);
}

bool MediumFitsKind(int type, BurnKind kind) {
    if (IsDvdKind(kind))
        return type >= 4 && type <= 9;
    return type == 1 || type == 2;
}

double SizeTextMegabytes(double bytes) {
    const QString text = FormatSize(bytes);
    const double number = ParseSize(text);
    static const QStringList kUnits = {QStringLiteral(" bytes"), QStringLiteral(" KB"),
                                       QStringLiteral(" MB"),    QStringLiteral(" GB"),
                                       QStringLiteral(" TB"),    QStringLiteral(" PB")};
    for (int i = 0; i < kUnits.size(); ++i) {
        if (text.endsWith(kUnits.at(i)))
            return number * std::pow(1024.0, i - 2);
    }
    return number;
}

int UsedSpacePercents(double used, double capacity) {
    const long long hundredth = std::llround(capacity) / 100;
    // A capacity under 100 leaves nothing to divide by: the figure stays 0.
    if (hundredth == 0)
        return 0;
    const long long percent = std::llround(used) / hundredth;
    if (percent < 0)
        return 0;
    return static_cast<int>(qMin<long long>(percent, 32767));
}

int GaugeStep(int percent) {
    if (percent <= 0)
        return 0;
    return qMin(kGaugeSteps - 1, (percent - 1) / 5 + 1);
}

DiscSpace CalcDiscSpace(double capacityBytes, qint64 sizeA, qint64 sizeB, BurnKind kind) {
    DiscSpace space;
    space.known = true;
    const double capacity = capacityBytes == 0 ? DefaultCapacity(kind) : capacityBytes;
    space.capacity = SizeTextMegabytes(capacity);
    space.used = SizeTextMegabytes(static_cast<double>(sizeA));
    space.burn = static_cast<double>(std::llround(static_cast<double>(sizeA - sizeB) / 1024.0 / 1024.0));
    space.free = space.capacity - space.used - space.burn;
    space.percent = UsedSpacePercents(space.used, space.capacity);
    space.step = GaugeStep(space.percent);
    space.burnPercent = UsedSpacePercents(space.used + space.burn, space.capacity);
    return space;
}

QString UsedSpaceText(const DiscSpace &space) {
    return QStringLiteral("Used  ") + Whole(space.used) + QStringLiteral(" MB");
}

QString BurnSpaceText(const DiscSpace &space) {
    return QStringLiteral("Burn  ") + Whole(space.burn) + QStringLiteral(" MB");
}

QString FreeSpaceText(const DiscSpace &space) {
    return FreeSpaceTag(space) + QStringLiteral(" MB");
}

QString FreeSpaceTag(const DiscSpace &space) {
    return space.known ? Whole(space.free) : QStringLiteral("0");
}

QString CdSpeedText(int speed) {
    return QString::number(speed) + QStringLiteral("X  (") + FormatSize(double(speed) * kCdSpeedBytes) +
           QStringLiteral("/s)");
}

double RoundDvdSpeed(double speed) {
    const double two = std::round(speed * 100.0) / 100.0;
    return std::round(two * 10.0) / 10.0;
}

QString DvdSpeedText(double speed) {
    const double kept = RoundDvdSpeed(speed);
    return QLocale().toString(kept, 'f', 1) + QStringLiteral("X  (") + FormatSize(kept * kDvdSpeedBytes) +
           QStringLiteral("/s)");
}

QVector<int> DetectCdSpeeds(const std::function<int(int)> &setAndRead,
                            const std::function<void(int)> &progress) {
    QVector<int> speeds;
    for (int s = 64; s >= 1; --s) {
        if (progress)
            progress((64 - s) * 100 / 64);
        if (setAndRead(s) == s)
            speeds << s;
    }
    return speeds;
}

QVector<double> DetectDvdSpeeds(const std::function<double(double)> &setAndRead,
                                const std::function<void(int)> &progress) {
    QVector<double> speeds;
    for (int tenths = 200; tenths >= 1 && speeds.size() < kDvdSpeedEntries; --tenths) {
        if (progress)
            progress((200 - tenths) * 100 / 200);
        const double accepted = RoundDvdSpeed(setAndRead(tenths / 10.0));
        if (accepted > 0 && !speeds.contains(accepted))
            speeds << accepted;
    }
    return speeds;
}

QString DiscLabelText(const QString &text) {
    return text.trimmed();
}

} // namespace tv

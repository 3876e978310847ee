#include "PresetIdentifier.h"

#include <QRandomGenerator>
#include <cmath>

namespace tv {

QString NewPresetID() {
    // Callable from any thread: the global generator is thread-safe and seeded by the system.
    QRandomGenerator *random = QRandomGenerator::global();
    const int a = static_cast<int>(std::lround(random->generateDouble() * 32700 + 1));
    const int b = static_cast<int>(std::lround(random->generateDouble() * 200 + 20));
    const int c = static_cast<int>(std::lround(random->generateDouble() * 200 + 20));
    return QStringLiteral("%1%2%3")
        .arg(b, 2, 16, QLatin1Char('0'))
        .arg(a, 5, 10, QLatin1Char('0'))
        .arg(c, 2, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace tv

#pragma once
// "Shutdown When All Tasks Done": asks the system to power off after a delay. Tests replace
// the request so that no test can ever shut the machine down.

#include <QString>
#include <functional>

namespace tv {

// Answers true when the system accepted the request.
using PowerOffBackend = std::function<bool(int delaySeconds, const QString &message)>;

bool RequestPowerOff(int delaySeconds, const QString &message);
void SetPowerOffBackend(PowerOffBackend backend);

} // namespace tv

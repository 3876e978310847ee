#include "LibavLogOwner.h"

#include <mutex>

namespace tv {

bool ClaimLibavLog(bool engine) {
    // Probing threads and the UI thread may both ask; the answer and the install happen under one lock.
    static std::mutex mutex;
    static bool engineOwns = false;
    static bool claimed = false;
    std::lock_guard lock(mutex);
    if (engine) {
        const bool first = !engineOwns;
        engineOwns = claimed = true;
        return first;
    }
    if (claimed)
        return false;
    claimed = true;
    return true;
}

} // namespace tv

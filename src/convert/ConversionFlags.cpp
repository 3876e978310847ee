#include "ConversionFlags.h"

namespace tv {

ConversionFlags &Flags() {
    static ConversionFlags flags;
    return flags;
}

} // namespace tv

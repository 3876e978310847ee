#pragma once
// What a batch of conversions reads of a list row: the window and the command line build it
// the same way.

#include "ConversionBatch.h"
#include "MediaItem.h"

namespace tv {

// Input path, display name ("Name.Format") and trim range of an item.
BatchRow BatchRowOf(const MediaItem &item);

} // namespace tv

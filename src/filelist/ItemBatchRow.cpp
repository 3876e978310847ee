#include "ItemBatchRow.h"

namespace tv {

BatchRow BatchRowOf(const MediaItem &item) {
    BatchRow row;
    row.inputPath = item.inputPath();
    row.displayName = item[Item::Name] + QLatin1Char('.') + item[Item::Format];
    row.trimStart = item[Item::TrimStart];
    row.trimDuration = item[Item::TrimDuration];
    return row;
}

} // namespace tv

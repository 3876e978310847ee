#pragma once

#include <QString>

namespace tv {

// A nine-character random identifier: two hex digits, five decimal digits, two hex digits
// ("A3012345C8"-like). It keys user presets ("User-" + it) and names temporary pictures and
// sound files ("thumbnail_" + it + ".bmp"). It is not checked against earlier ones.
QString NewPresetID();

} // namespace tv

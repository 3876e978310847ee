#pragma once
// The progress figure of a row during conversion: the bar geometry taken from the cell
// rectangle and the cell markup that describes it.

#include <QMetaType>
#include <QString>

namespace tv {

struct RowProgressCell {
    int width = 0;   // W: outer width, the cell's width + 2
    int height = 0;  // H: inner height, the cell's height - 2
    int bar = 0;     // B: width of the blue bar, the integer part of percent / 100 * W
    int percent = 0; // the figure written inside the bar
};

// The geometry for a cell whose rectangle runs from left/top to right/bottom (right and bottom
// exclusive, so right - left is the width).
RowProgressCell RowProgressGeometry(int left, int top, int right, int bottom, int percent);

// The cell's markup: an outer border on #ebebeb holding a blue bar of width B with the bold
// white percentage inside it.
QString RowProgressMarkup(const RowProgressCell &cell);

} // namespace tv

Q_DECLARE_METATYPE(tv::RowProgressCell)

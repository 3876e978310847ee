#pragma once

class QColor;
class QWidget;

namespace tv {

// Shows a window (restored when minimised) and asks the desktop to bring it forward and give
// it the focus. The native window is kept: changing "stay on top" flags would re-create it and
// leave its open dialogs with a parent that no longer exists.
void BringToFront(QWidget *window);

// Gives an input field (a box, a list, a chooser) the theme's background and text colours while
// it is active; a disabled field keeps the greyed look of the style.
void SetFieldColours(QWidget *field, const QColor &back, const QColor &text);

} // namespace tv

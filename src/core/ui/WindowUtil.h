#pragma once

class QWidget;

namespace tv {

// Shows a window (restored when minimised) and asks the desktop to bring it forward and give
// it the focus. The native window is kept: changing "stay on top" flags would re-create it and
// leave its open dialogs with a parent that no longer exists.
void BringToFront(QWidget *window);

} // namespace tv

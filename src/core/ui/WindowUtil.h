#pragma once

class QWidget;

namespace tv {

// Keeps a window above all others (on) or releases it (off) without moving or resizing it.
void SetTopMost(bool on, QWidget *window);

} // namespace tv

#pragma once
// The OK and Cancel buttons at the foot of the preset dialogs.

#include <array>
#include <functional>

class QBoxLayout;
class QPushButton;
class QWidget;

namespace tv {

// Adds a right-aligned row of OK (index 1) and Cancel (index 0), named "Cmd_Panel(i)", to
// `layout`; `clicked` receives the index. Neither button takes Enter: the dialogs decide that.
std::array<QPushButton *, 2> AddPanelButtons(QWidget *owner, QBoxLayout *layout,
                                             const std::function<void(int)> &clicked);

} // namespace tv

#include "WindowUtil.h"

#include <QWidget>
#include <QWindow>

namespace tv {

void BringToFront(QWidget *window) {
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    if (!window->isVisible())
        window->show();
    window->raise();
    window->activateWindow();
    // Wayland compositors give the focus only through an activation request of the window.
    if (QWindow *handle = window->windowHandle())
        handle->requestActivate();
}

} // namespace tv

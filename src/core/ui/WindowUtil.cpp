#include "WindowUtil.h"

#include <QWidget>

namespace tv {

void SetTopMost(bool on, QWidget *window) {
    if (!window || window->testAttribute(Qt::WA_WState_Created) == false) {
        if (window)
            window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        return;
    }
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) {
        if (on)
            window->raise();
        return;
    }
    // Changing the flag re-creates the native window; put it back where and as it was.
    const QRect geometry = window->geometry();
    const bool visible = window->isVisible();
    const Qt::WindowStates states = window->windowState();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    window->setGeometry(geometry);
    window->setWindowState(states);
    if (visible) {
        window->show();
        if (on) {
            window->raise();
            window->activateWindow();
        }
    }
}

} // namespace tv

#include "WindowUtil.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
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

void SetFieldColours(QWidget *field, const QColor &back, const QColor &text) {
    QPalette palette = field->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, back);
        palette.setColor(group, QPalette::Button, back);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::ButtonText, text);
    }
    field->setPalette(palette);
}

void FitToScreen(QWidget *window, double share) {
    const QScreen *screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!window || !screen)
        return;
    window->resize(window->size().boundedTo(screen->availableGeometry().size() * share));
}

} // namespace tv

#include "WindowUtil.h"

#include <QAction>
#include <QColor>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QScreen>
#include <QSet>
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

void AssignMnemonics(QMenu *menu) {
    if (!menu)
        return;
    QSet<QChar> used;
    const QList<QAction *> actions = menu->actions();
    for (const QAction *action : actions) {
        const QString text = action->text();
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < text.size() && text.at(at + 1) != QLatin1Char('&'))
            used.insert(text.at(at + 1).toLower());
    }
    for (QAction *action : actions) {
        if (action->menu())
            AssignMnemonics(action->menu());
        const QString text = action->text();
        if (action->isSeparator() || text.isEmpty() || text.contains(QLatin1Char('&')))
            continue;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar letter = text.at(i).toLower();
            if (letter.isLetterOrNumber() && !used.contains(letter)) {
                used.insert(letter);
                action->setText(text.left(i) + QLatin1Char('&') + text.mid(i));
                break;
            }
        }
    }
}

} // namespace tv

#pragma once

class QColor;
class QMenu;
class QWidget;

namespace tv {

// Shows a window (restored when minimised) and asks the desktop to bring it forward and give
// it the focus. The native window is kept: changing "stay on top" flags would re-create it and
// leave its open dialogs with a parent that no longer exists.
void BringToFront(QWidget *window);

// Gives an input field (a box, a list, a chooser) the theme's background and text colours while
// it is active; a disabled field keeps the greyed look of the style.
void SetFieldColours(QWidget *field, const QColor &back, const QColor &text);

// Bounds a window's size to the room its screen offers (a large scale factor on a small screen
// would otherwise put its buttons out of reach); share is the part of the room it may take.
void FitToScreen(QWidget *window, double share = 0.92);

// Gives every entry of a menu (and of its submenus) without an Alt letter the first letter of its
// text that no other entry there uses, so the keyboard reaches each one.
void AssignMnemonics(QMenu *menu);

} // namespace tv

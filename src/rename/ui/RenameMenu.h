#pragma once
// The "Rename All" menus (the list's sub-menu mnuRenameAll and the main window's mnuRenameAll2).

#include <QString>
#include <functional>

class QMenu;
class QWidget;

namespace tv {

// A menu with the eleven entries, named "<menuName>(1)" … "(11)"; choosing an entry calls
// applyRule with its rule number.
QMenu *CreateRenameMenu(const QString &menuName, QWidget *parent, std::function<void(int rule)> applyRule);

} // namespace tv

#include "RenameMenu.h"

#include "ImageStore.h"
#include "RenameRules.h"

#include <QMenu>

namespace tv {

QMenu *CreateRenameMenu(const QString &menuName, QWidget *parent, std::function<void(int rule)> applyRule) {
    auto *menu = new QMenu(QObject::tr("Rename All"), parent);
    menu->setObjectName(menuName);
    menu->setIcon(ThemeIcon(QStringLiteral("img_rename_all.png")));
    for (int index = 1; index <= 11; ++index) {
        QAction *action = nullptr;
        if (RenameMenuRule(index) == 0) {
            action = menu->addSeparator();
        } else {
            action = menu->addAction(RenameMenuCaption(index));
            const int rule = RenameMenuRule(index);
            QObject::connect(action, &QAction::triggered, menu, [applyRule, rule]() { applyRule(rule); });
        }
        action->setObjectName(QStringLiteral("%1(%2)").arg(menuName).arg(index));
    }
    return menu;
}

} // namespace tv

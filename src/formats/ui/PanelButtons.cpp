#include "PanelButtons.h"

#include <QBoxLayout>
#include <QPushButton>

namespace tv {

std::array<QPushButton *, 2> AddPanelButtons(QWidget *owner, QBoxLayout *layout,
                                             const std::function<void(int)> &clicked) {
    auto *row = new QHBoxLayout();
    row->addStretch(1);
    std::array<QPushButton *, 2> panel{};
    panel[1] = new QPushButton(QObject::tr("OK"), owner);
    panel[0] = new QPushButton(QObject::tr("Cancel"), owner);
    for (int i : {1, 0}) {
        panel[i]->setObjectName(QStringLiteral("Cmd_Panel(%1)").arg(i));
        panel[i]->setAutoDefault(false);
        panel[i]->setMinimumWidth(90);
        QObject::connect(panel[i], &QPushButton::clicked, owner, [clicked, i]() { clicked(i); });
        row->addWidget(panel[i]);
    }
    layout->addLayout(row);
    return panel;
}

} // namespace tv

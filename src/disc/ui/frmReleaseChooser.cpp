#include "frmReleaseChooser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

frmReleaseChooser::frmReleaseChooser(const QStringList &releases, QWidget *parent)
    : QDialog(parent), List_Releases(new QListWidget(this)) {
    setObjectName(QStringLiteral("frmReleaseChooser"));
    setWindowTitle(tr("Choose the release"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Several releases match this disc. Which one is in the drive?"), this));
    List_Releases->setObjectName(QStringLiteral("List_Releases"));
    List_Releases->addItems(releases);
    List_Releases->setCurrentRow(0);
    layout->addWidget(List_Releases);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cmd_Panels(0)"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("Cmd_Panels(1)"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(List_Releases, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(460, 260);
}

int frmReleaseChooser::chosen() const {
    return result() == QDialog::Accepted ? List_Releases->currentRow() : -1;
}

} // namespace tv

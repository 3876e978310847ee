#include "frmBurnTypes.h"

#include "ImageStore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

namespace {

struct Choice {
    const char *caption;
    const char *detail;
    const char *image;
};
const Choice kChoices[] = {
    {"Audio CD", "Plays in any CD player", "img_cdburn_audiocd.png"},
    {"Data CD", "MP3 and WMA files on a CD", "img_cdburn_mp3cd.png"},
    {"Data DVD", "MP3 and WMA files on a DVD", "img_cdburn_mp3dvd.png"},
};

} // namespace

frmBurnTypes::frmBurnTypes(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBurnTypes"));
    setWindowTitle(tr("Burn to disc"));
    setWindowIcon(ThemeIcon(QStringLiteral("img_cd_burn.png")));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("What do you want to burn?"), this));
    auto *row = new QHBoxLayout();
    for (int i = 0; i < 3; ++i) {
        auto *button = new QPushButton(this);
        button->setObjectName(QStringLiteral("Cmd_BurnTypes(%1)").arg(i));
        button->setIcon(ThemeIcon(QString::fromLatin1(kChoices[i].image)));
        button->setIconSize(QSize(48, 48));
        button->setText(tr(kChoices[i].caption) + QLatin1Char('\n') + tr(kChoices[i].detail));
        button->setMinimumSize(210, 72);
        button->setAutoDefault(false);
        m_buttons.insert(i, button);
        connect(button, &QPushButton::clicked, this, [this, i]() {
            accept();
            Q_EMIT burnerChosen(static_cast<BurnKind>(i));
        });
        row->addWidget(button);
    }
    layout->addLayout(row);
}

} // namespace tv

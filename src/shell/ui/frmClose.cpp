#include "frmClose.h"

#include "Config.h"
#include "ImageStore.h"
#include "Settings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

frmClose::frmClose(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmClose"));
    setWindowTitle(Config().productName);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(12);
    auto *buttons = new QHBoxLayout();
    buttons->setSpacing(12);
    // The captions carry their leading blanks: they keep the text clear of the large images.
    const struct {
        const char *caption;
        const char *image;
    } looks[] = {{"     Minimize to Tray", "img_close_tray.png"}, {"     Exit", "img_close_exit.png"}};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(ThemeIcon(QString::fromLatin1(looks[i].image)),
                                       QString::fromLatin1(looks[i].caption), this);
        button->setObjectName(QStringLiteral("Cmd_Close(%1)").arg(i));
        button->setIconSize(QSize(40, 40));
        button->setMinimumSize(200, 64);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i]() { Cmd_Close_Click(i); });
        m_cmdClose[static_cast<std::size_t>(i)] = button;
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    Chk_DontAsk = new QCheckBox(QStringLiteral("Don't ask me again."), this);
    Chk_DontAsk->setObjectName(QStringLiteral("Chk_DontAsk"));
    layout->addWidget(Chk_DontAsk);
    m_cmdClose[0]->setFocus();
}

void frmClose::Cmd_Close_Click(int index) {
    GeneralSettings &settings = Settings();
    settings.closeEvent = index == 0 ? 1 : 2;
    settings.closeDontAskMe = Chk_DontAsk->isChecked();
    accept();
}

void frmClose::reject() {
    // No choice, and the question comes again next time.
    Settings().closeEvent = 0;
    Settings().closeDontAskMe = false;
    QDialog::reject();
}

} // namespace tv

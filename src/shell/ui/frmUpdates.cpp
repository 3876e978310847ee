#include "frmUpdates.h"

#include "Config.h"
#include "ImageStore.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tv {

namespace {

// The product mark beside the message of the update windows.
QLabel *MarkLabel(QWidget *owner, const QString &image) {
    auto *mark = new QLabel(owner);
    mark->setPixmap(ThemePixmap(image, QSize(48, 48)));
    mark->setAlignment(Qt::AlignTop);
    return mark;
}

} // namespace

QString LinkAddress(const QString &linkKey) {
    // Every key the program opens, "Update_Tunevane" among them, leads to the product's page,
    // where new versions are downloaded.
    Q_UNUSED(linkKey);
    return Config().linkHomepage;
}

void OpenLink(const QString &linkKey) {
    QDesktopServices::openUrl(QUrl(LinkAddress(linkKey)));
}

frmUpdates::frmUpdates(const QString &releaseNotes, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmUpdates"));
    setWindowTitle(Config().productName + QStringLiteral(" Update"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout();
    top->addWidget(MarkLabel(this, QStringLiteral("img_update.png")));
    lbl_Msg = new QLabel(QStringLiteral("There is a new version of ") + Config().productName +
                             QStringLiteral(" available !"),
                         this);
    lbl_Msg->setObjectName(QStringLiteral("lbl_Msg"));
    lbl_Msg->setWordWrap(true);
    QFont font = lbl_Msg->font();
    font.setBold(true);
    lbl_Msg->setFont(font);
    top->addWidget(lbl_Msg, 1);
    layout->addLayout(top);

    Txt_Notes = new QPlainTextEdit(this);
    Txt_Notes->setObjectName(QStringLiteral("Txt_Notes"));
    Txt_Notes->setReadOnly(true);
    // The notes keep their CR LF line ends; the text box shows each as one line break.
    QString shown = releaseNotes;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Txt_Notes->setPlainText(shown);
    Txt_Notes->setMinimumSize(440, 180);
    layout->addWidget(Txt_Notes, 1);

    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    const char *captions[] = {"Remind Me Later", "Update Now"};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(QString::fromLatin1(captions[i]), this);
        button->setObjectName(QStringLiteral("Cmd_Msg(%1)").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i]() { Cmd_Msg_Click(i); });
        m_cmdMsg[static_cast<std::size_t>(i)] = button;
        buttons->addWidget(button);
    }
    m_cmdMsg[1]->setDefault(true);
    layout->addLayout(buttons);
}

void frmUpdates::Cmd_Msg_Click(int index) {
    if (index == 0) {
        reject();
        return;
    }
    accept();
    OpenLink(QStringLiteral("Update_Tunevane"));
}

frmNoUpdates::frmNoUpdates(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNoUpdates"));
    setWindowTitle(Config().productName);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout();
    top->addWidget(MarkLabel(this, QStringLiteral("img_completed.png")));
    auto *label = new QLabel(
        QStringLiteral("You have the latest version of ") + Config().productName + QStringLiteral("."), this);
    label->setObjectName(QStringLiteral("lbl_Msg"));
    top->addWidget(label, 1);
    layout->addLayout(top);
    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Cmd_OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}

} // namespace tv

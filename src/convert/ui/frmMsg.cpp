#include "frmMsg.h"

#include "FolderOpener.h"
#include "ImageStore.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

namespace {

// The completed picture and the message in a larger type, the top row of both forms.
void AddHeadline(QDialog *dialog, QVBoxLayout *layout, const QString &text, const QString &name) {
    auto *top = new QHBoxLayout();
    auto *icon = new QLabel(dialog);
    icon->setPixmap(ThemePixmap(QStringLiteral("img_completed.png")));
    top->addWidget(icon);
    auto *label = new QLabel(text, dialog);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    label->setFont(font);
    top->addWidget(label, 1);
    layout->addLayout(top);
}

} // namespace

frmMsg::frmMsg(bool withBurn, const QString &outputFolder, QWidget *parent)
    : QDialog(parent), m_outputFolder(outputFolder) {
    setObjectName(withBurn ? QStringLiteral("frmMsg2") : QStringLiteral("frmMsg"));
    setWindowTitle(QStringLiteral("Tunevane"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    AddHeadline(this, layout, QStringLiteral("Conversion is completed !"), QStringLiteral("lbl_Msg"));

    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    auto *open = new QPushButton(QStringLiteral("Open output folder"), this);
    open->setObjectName(QStringLiteral("Cmd_Msg(0)"));
    buttons->addWidget(open);
    connect(open, &QPushButton::clicked, this, [this]() {
        OpenFolder(this, m_outputFolder, false, false);
        accept();
    });
    if (withBurn) {
        m_burn = new QPushButton(ThemeIcon(QStringLiteral("img_cd_burn.png")), QStringLiteral("Burn to disc"),
                                 this);
        m_burn->setObjectName(QStringLiteral("Cmd_Msg(1)"));
        m_burn->setEnabled(false);
        m_burn->setToolTip(QStringLiteral("Burning audio CDs is not available yet"));
        buttons->addWidget(m_burn);
        connect(m_burn, &QPushButton::clicked, this, [this]() {
            Q_EMIT burnRequested();
            accept();
        });
    }
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Cmd_Msg(2)"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

frmMsg::frmMsg(const QString &message, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMsg"));
    setWindowTitle(QStringLiteral("Tunevane"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    AddHeadline(this, layout, message, QStringLiteral("lbl_ConversionCompleted"));
    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Cmd_Msg(2)"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

void frmMsg::setBurnAvailable(bool available) {
    if (!m_burn)
        return;
    m_burn->setEnabled(available);
    m_burn->setToolTip(available ? QString() : QStringLiteral("Burning audio CDs is not available yet"));
}

bool frmMsg::OffersBurning(const QString &firstOutputPath) {
    const QString extension = QFileInfo(firstOutputPath).suffix().toUpper();
    return extension == QLatin1String("MP3") || extension == QLatin1String("OGG") ||
           extension == QLatin1String("WMA") || extension == QLatin1String("WAV");
}

} // namespace tv

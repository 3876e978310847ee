#include "frmPreferences.h"

#include "ImageStore.h"
#include "Settings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tv {

namespace {

// A group box holding its controls one below the other.
QGroupBox *Group(QWidget *owner, const QString &title, const QString &name,
                 const QList<QWidget *> &controls) {
    auto *group = new QGroupBox(title, owner);
    group->setObjectName(name);
    auto *layout = new QVBoxLayout(group);
    for (QWidget *control : controls)
        layout->addWidget(control);
    return group;
}

template <std::size_t N>
void MakeOptions(QWidget *owner, std::array<QRadioButton *, N> &options, const char *name,
                 const std::array<const char *, N> &captions) {
    for (std::size_t i = 0; i < N; ++i) {
        options[i] = new QRadioButton(QString::fromLatin1(captions[i]), owner);
        options[i]->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
    }
}

} // namespace

frmPreferences::frmPreferences(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Preferences"));
    setWindowIcon(ThemeIcon(QStringLiteral("img_setting.png")));
    setModal(true);

    Chk_CheckUpdates = new QCheckBox(QStringLiteral("Automatically check for updates"), this);
    Chk_CheckUpdates->setObjectName(QStringLiteral("Chk_CheckUpdates"));
    MakeOptions<3>(this, Opt_Close, "Opt_Close", {"Minimize to Tray", "Exit", "Always ask me"});
    MakeOptions<2>(this, Opt_Conversion, "Opt_Conversion",
                   {"Overwrite existing file", "Automatically rename files"});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setSpacing(10);
    layout->addWidget(
        Group(this, QStringLiteral("Updates"), QStringLiteral("Frame_Updates"), {Chk_CheckUpdates}));
    layout->addWidget(Group(this, QStringLiteral("Close"), QStringLiteral("Frame_Close"),
                            {Opt_Close[0], Opt_Close[1], Opt_Close[2]}));
    layout->addWidget(Group(this, QStringLiteral("Output file name"), QStringLiteral("Frame_Conversion"),
                            {Opt_Conversion[0], Opt_Conversion[1]}));

    // Default on the left; OK and Cancel on the right, as the desktop orders them.
    auto *buttons = new QHBoxLayout();
    const char *captions[] = {"Cancel", "OK", "Default"};
    for (int i = 0; i < 3; ++i) {
        auto *button = new QPushButton(QString::fromLatin1(captions[i]), this);
        button->setObjectName(QStringLiteral("Cmd_Panels(%1)").arg(i));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i]() { Cmd_Panels_Click(i); });
        m_cmdPanels[static_cast<std::size_t>(i)] = button;
    }
    m_cmdPanels[1]->setDefault(true);
    buttons->addWidget(m_cmdPanels[2]);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdPanels[1]);
    buttons->addWidget(m_cmdPanels[0]);
    layout->addLayout(buttons);

    Form_Load();
}

void frmPreferences::Form_Load() {
    const GeneralSettings &settings = Settings();
    Chk_CheckUpdates->setChecked(settings.updateActive);
    int close = 2;
    if (settings.closeDontAskMe)
        close = settings.closeEvent == 1 ? 0 : settings.closeEvent == 2 ? 1 : 2;
    Opt_Close[static_cast<std::size_t>(close)]->setChecked(true);
    Opt_Conversion[settings.outputFileName == 0 ? 0 : 1]->setChecked(true);
}

void frmPreferences::Cmd_Panels_Click(int index) {
    switch (index) {
    case 0:
        reject();
        break;
    case 1: {
        GeneralSettings &settings = Settings();
        settings.updateActive = Chk_CheckUpdates->isChecked();
        if (Opt_Close[0]->isChecked()) {
            settings.closeEvent = 1;
            settings.closeDontAskMe = true;
        } else if (Opt_Close[1]->isChecked()) {
            settings.closeEvent = 2;
            settings.closeDontAskMe = true;
        } else {
            settings.closeEvent = 0;
            settings.closeDontAskMe = false;
        }
        settings.outputFileName = Opt_Conversion[0]->isChecked() ? 0 : 1;
        SaveSettings();
        accept();
        break;
    }
    case 2:
        // Only the controls change; nothing is kept unless OK follows.
        Chk_CheckUpdates->setChecked(true);
        Opt_Close[2]->setChecked(true);
        Opt_Conversion[1]->setChecked(true);
        break;
    default:
        break;
    }
}

} // namespace tv

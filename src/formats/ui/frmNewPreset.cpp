#include "frmNewPreset.h"

#include "CatalogFile.h"
#include "ImageStore.h"
#include "MessageBox.h"
#include "PanelButtons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

frmNewPreset::frmNewPreset(const QString &caption, const QString &prompt, const QString &name,
                           QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmNewPreset"));
    setWindowTitle(caption);
    setWindowIcon(ThemeIcon(QStringLiteral("img_add_preset.png")));

    auto *layout = new QVBoxLayout(this);
    lbl_Title = new QLabel(prompt, this);
    lbl_Title->setObjectName(QStringLiteral("lbl_Title"));
    layout->addWidget(lbl_Title);
    Txt_PresetName = new QLineEdit(name, this);
    Txt_PresetName->setObjectName(QStringLiteral("Txt_PresetName"));
    Txt_PresetName->setMinimumWidth(320);
    Txt_PresetName->selectAll();
    lbl_Title->setBuddy(Txt_PresetName);
    // Enter accepts only a name that is not blank; the OK button may not have caught up yet.
    connect(Txt_PresetName, &QLineEdit::returnPressed, this, [this]() {
        if (nameGiven())
            Cmd_Panel_Click(1);
    });
    layout->addWidget(Txt_PresetName);

    // Enter is handled by the name box alone.
    const auto panel = AddPanelButtons(this, layout, [this](int i) { Cmd_Panel_Click(i); });
    Cmd_Panel[0] = panel[0];
    Cmd_Panel[1] = panel[1];

    Timer_CheckEmpty = new QTimer(this);
    Timer_CheckEmpty->setObjectName(QStringLiteral("Timer_CheckEmpty"));
    Timer_CheckEmpty->setInterval(100);
    connect(Timer_CheckEmpty, &QTimer::timeout, this, &frmNewPreset::Timer_CheckEmpty_Timer);
    Timer_CheckEmpty->start();
    Timer_CheckEmpty_Timer();
    Txt_PresetName->setFocus();
}

QString frmNewPreset::AskPresetName(QWidget *parent, const QString &caption, const QString &prompt,
                                    const QString &name) {
    frmNewPreset dialog(caption, prompt, name, parent);
    dialog.exec();
    return dialog.enteredName();
}

bool frmNewPreset::nameGiven() const {
    return !Txt_PresetName->text().trimmed().isEmpty();
}

void frmNewPreset::Timer_CheckEmpty_Timer() {
    Cmd_Panel[1]->setEnabled(nameGiven());
}

void frmNewPreset::Cmd_Panel_Click(int index) {
    if (index != 1) {
        m_name.clear();
        reject();
        return;
    }
    if (!nameGiven())
        return;
    // The preset file could not hold such a name; the user fixes it here.
    const QString problem = CatalogTextProblem(Txt_PresetName->text());
    if (!problem.isEmpty()) {
        ShowMessage(problem, MsgExclamation, tr("Attention!"));
        Txt_PresetName->setFocus();
        return;
    }
    m_name = Txt_PresetName->text();
    accept();
}

} // namespace tv

#include "RenameDialogs.h"

#include "KeyFilters.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tv {

namespace {

// Digits, and one minus sign typed at the start.
class NumberBoxFilter : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override {
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c == QLatin1Char('-') && i == 0))
                continue;
            return Invalid;
        }
        return Acceptable;
    }
};

} // namespace

RenameDialog::RenameDialog(const QString &objectName, const QString &title, QWidget *parent)
    : QDialog(parent), m_layout(new QVBoxLayout(this)) {
    setObjectName(objectName);
    setWindowTitle(title);
    setModal(true);
}

QLineEdit *RenameDialog::addBox(const QString &objectName, const QString &label) {
    auto *caption = new QLabel(label, this);
    auto *box = new QLineEdit(this);
    box->setObjectName(objectName);
    box->setMinimumWidth(320);
    caption->setBuddy(box);
    connect(box, &QLineEdit::returnPressed, this, &QDialog::accept);
    m_layout->addWidget(caption);
    m_layout->addWidget(box);
    return box;
}

void RenameDialog::finishLayout() {
    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("Cmd_Panel(1)"));
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cmd_Panel(0)"));
    // Enter belongs to the text box; the buttons only act when clicked.
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    m_layout->addLayout(buttons);
}

frmRename_Replace::frmRename_Replace(QWidget *parent)
    : RenameDialog(QStringLiteral("frmRename_Replace"), tr("Replace"), parent) {
    Txt_Find = addBox(QStringLiteral("Txt_Find"), tr("Find what:"));
    Txt_Replace = addBox(QStringLiteral("Txt_Replace"), tr("Replace with:"));
    InstallFileNameKeyFilter(Txt_Replace);
    finishLayout();
}

frmRename_AddBefore::frmRename_AddBefore(QWidget *parent)
    : RenameDialog(QStringLiteral("frmRename_AddBefore"), tr("Add before name"), parent) {
    Txt_AddBefore = addBox(QStringLiteral("Txt_AddBefore"), tr("Text to add before each name:"));
    InstallFileNameKeyFilter(Txt_AddBefore);
    finishLayout();
}

frmRename_AddAfter::frmRename_AddAfter(QWidget *parent)
    : RenameDialog(QStringLiteral("frmRename_AddAfter"), tr("Add after name"), parent) {
    Txt_AddAfter = addBox(QStringLiteral("Txt_AddAfter"), tr("Text to add after each name:"));
    InstallFileNameKeyFilter(Txt_AddAfter);
    finishLayout();
}

frmRename_Numbers::frmRename_Numbers(QWidget *parent)
    : RenameDialog(QStringLiteral("frmRename_Numbers"), tr("Numbers"), parent) {
    Txt_Number = addBox(QStringLiteral("Txt_Number"), tr("Start numbering at:"));
    Txt_Number->setValidator(new NumberBoxFilter(Txt_Number));
    Txt_Number->setText(QStringLiteral("1"));
    finishLayout();
}

frmRename_Rename::frmRename_Rename(const QString &currentName, QWidget *parent)
    : RenameDialog(QStringLiteral("frmRename_Rename"), tr("Rename"), parent) {
    Txt_AddNew = addBox(QStringLiteral("Txt_AddNew"), tr("New name:"));
    InstallFileNameKeyFilter(Txt_AddNew);
    Txt_AddNew->setText(currentName);
    Txt_AddNew->selectAll();
    finishLayout();
}

void AskRenameParameters(int rule, QWidget *owner, RenameParameters &p) {
    switch (rule) {
    case Replace: {
        p.findText.clear();
        p.replaceText.clear();
        frmRename_Replace dialog(owner);
        if (dialog.exec() == QDialog::Accepted) {
            p.findText = dialog.Txt_Find->text().trimmed();
            p.replaceText = dialog.Txt_Replace->text().trimmed();
        }
        break;
    }
    case AddBefore: {
        p.prefix.clear();
        frmRename_AddBefore dialog(owner);
        if (dialog.exec() == QDialog::Accepted)
            p.prefix = dialog.Txt_AddBefore->text().trimmed();
        break;
    }
    case AddAfter: {
        p.suffix.clear();
        frmRename_AddAfter dialog(owner);
        if (dialog.exec() == QDialog::Accepted)
            p.suffix = dialog.Txt_AddAfter->text().trimmed();
        break;
    }
    case Numbers: {
        p.startNumber = -1;
        frmRename_Numbers dialog(owner);
        if (dialog.exec() == QDialog::Accepted)
            p.startNumber = StartNumberFromText(dialog.Txt_Number->text());
        break;
    }
    default:
        break;
    }
}

QString AskNewName(const QString &currentName, QWidget *owner) {
    frmRename_Rename dialog(currentName, owner);
    QString name = currentName;
    if (dialog.exec() == QDialog::Accepted)
        name = dialog.Txt_AddNew->text().trimmed();
    return name.trimmed().isEmpty() ? currentName : FileNameSafe(name);
}

} // namespace tv

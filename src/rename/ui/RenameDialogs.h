#pragma once
// The small dialogs of the rename rules: each modal, Cmd_Panel(0) cancels and Cmd_Panel(1)
// accepts, Escape cancels and Enter in a text box accepts.

#include "RenameRules.h"

#include <QDialog>

class QLineEdit;
class QVBoxLayout;

namespace tv {

class RenameDialog : public QDialog {
    Q_OBJECT
protected:
    RenameDialog(const QString &objectName, const QString &title, QWidget *parent);
    QLineEdit *addBox(const QString &objectName, const QString &label);
    void finishLayout();

private:
    QVBoxLayout *m_layout;
};

class frmRename_Replace : public RenameDialog {
    Q_OBJECT
public:
    explicit frmRename_Replace(QWidget *parent = nullptr);
    QLineEdit *Txt_Find;
    QLineEdit *Txt_Replace;
};

class frmRename_AddBefore : public RenameDialog {
    Q_OBJECT
public:
    explicit frmRename_AddBefore(QWidget *parent = nullptr);
    QLineEdit *Txt_AddBefore;
};

class frmRename_AddAfter : public RenameDialog {
    Q_OBJECT
public:
    explicit frmRename_AddAfter(QWidget *parent = nullptr);
    QLineEdit *Txt_AddAfter;
};

class frmRename_Numbers : public RenameDialog {
    Q_OBJECT
public:
    explicit frmRename_Numbers(QWidget *parent = nullptr);
    QLineEdit *Txt_Number;
};

class frmRename_Rename : public RenameDialog {
    Q_OBJECT
public:
    frmRename_Rename(const QString &currentName, QWidget *parent = nullptr);
    QLineEdit *Txt_AddNew;
};

// Opens the dialog a rule needs (rules 5 to 8), with its parameters cleared first; on cancel
// they stay cleared, so the rule then changes nothing. Other rules need no dialog.
void AskRenameParameters(int rule, QWidget *owner, RenameParameters &parameters);

// The single-item rename: the new name, or the current one when cancelled or left blank.
QString AskNewName(const QString &currentName, QWidget *owner);

} // namespace tv

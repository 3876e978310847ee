#pragma once
// The small dialog that asks for a preset name, for a new preset or a new name of one.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tv {

class frmNewPreset : public QDialog {
    Q_OBJECT
public:
    // caption: "New Preset" or "Rename Preset"; prompt: "Name" or "New Name".
    frmNewPreset(const QString &caption, const QString &prompt, const QString &name,
                 QWidget *parent = nullptr);

    // Asks modally; answers the name as typed, or "" when the user cancelled.
    static QString AskPresetName(QWidget *parent, const QString &caption, const QString &prompt,
                                 const QString &name = QString());

    // The accepted name; "" until OK.
    QString enteredName() const { return m_name; }

private:
    void Cmd_Panel_Click(int index);
    void Timer_CheckEmpty_Timer();
    bool nameGiven() const;

    QLabel *lbl_Title = nullptr;
    QLineEdit *Txt_PresetName = nullptr;
    QPushButton *Cmd_Panel[2] = {nullptr, nullptr};
    QTimer *Timer_CheckEmpty = nullptr;
    QString m_name; // UI thread only
};

} // namespace tv

#pragma once
// The preferences dialog: the update check at start, what closing the main window does, and
// whether outputs overwrite or take new names. Only "OK" saves.

#include <QDialog>
#include <array>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace tv {

class frmPreferences : public QDialog {
    Q_OBJECT
public:
    explicit frmPreferences(QWidget *parent = nullptr);

    QPushButton *Cmd_Panels(int index) const { return m_cmdPanels.at(static_cast<std::size_t>(index)); }

private:
    void Form_Load();
    void Cmd_Panels_Click(int index);

    QCheckBox *Chk_CheckUpdates = nullptr;
    std::array<QRadioButton *, 3> Opt_Close{};
    std::array<QRadioButton *, 2> Opt_Conversion{};
    std::array<QPushButton *, 3> m_cmdPanels{};
};

} // namespace tv

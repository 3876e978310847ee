#pragma once
// The close dialog: what closing the main window does (minimise to the tray or exit), and
// whether to ask again. It writes its answer into the general settings.

#include <QDialog>
#include <array>

class QCheckBox;
class QPushButton;

namespace tv {

class frmClose : public QDialog {
    Q_OBJECT
public:
    explicit frmClose(QWidget *parent = nullptr);

    QPushButton *Cmd_Close(int index) const { return m_cmdClose.at(static_cast<std::size_t>(index)); }

protected:
    // Esc and the window's close box both end here.
    void reject() override;

private:
    void Cmd_Close_Click(int index);
    QCheckBox *Chk_DontAsk = nullptr;
    std::array<QPushButton *, 2> m_cmdClose{};
};

} // namespace tv

#pragma once
// The update window: the release notes of the versions newer than this one, "Remind Me Later"
// and "Update Now", which opens the product's download page in the desktop's browser.

#include <QDialog>
#include <array>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tv {

// The web address behind a link key of the maker ("Update_Tunevane" → the product page).
QString LinkAddress(const QString &linkKey);
// Opens the page of a link key with the desktop's browser.
void OpenLink(const QString &linkKey);

class frmUpdates : public QDialog {
    Q_OBJECT
public:
    explicit frmUpdates(const QString &releaseNotes, QWidget *parent = nullptr);

    QPushButton *Cmd_Msg(int index) const { return m_cmdMsg.at(static_cast<std::size_t>(index)); }

private:
    void Cmd_Msg_Click(int index);

    QLabel *lbl_Msg = nullptr;
    QPlainTextEdit *Txt_Notes = nullptr;
    std::array<QPushButton *, 2> m_cmdMsg{};
};

class frmNoUpdates : public QDialog {
    Q_OBJECT
public:
    explicit frmNoUpdates(QWidget *parent = nullptr);
};

} // namespace tv

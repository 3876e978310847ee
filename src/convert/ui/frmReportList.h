#pragma once
// The report window: the files that could not be imported or converted, with their reasons,
// shown over the main window; Close empties the list, Send passes it to the report address.

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace tv {

class ReportSender;

class frmReportList : public QDialog {
    Q_OBJECT
public:
    explicit frmReportList(QWidget *owner = nullptr);

    // Fills the window from the report list with the kind the entries call for.
    void fill(const QString &title, const QString &message);

    QPushButton *Cmd_Panels(int index) const { return index == 0 ? m_close : m_send; }

    // The random number that ends a sent report, and the time limit of sending (tests set them).
    static void SetRandomSource(std::function<int()> source);
    static void SetSendTimeLimit(int milliseconds);

Q_SIGNALS:
    // Emitted once the window has closed and the list was emptied.
    void reportClosed();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void closeReport();
    void send();

    QLabel *lbl_Msg = nullptr;
    QPushButton *Cmd_Icon = nullptr;
    QTreeWidget *View_ListBox = nullptr;
    QPlainTextEdit *Txt_ToSend = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_send = nullptr;
    ReportSender *m_sender = nullptr;
    bool m_closing = false;
};

// Shows the report window over the owner when the report list holds entries (the caller's
// title and message, or the copy-protection kind); answers the window, or nullptr when the
// list is empty. One report window exists at a time.
frmReportList *ShowReport(QWidget *owner, const QString &title, const QString &message);

} // namespace tv

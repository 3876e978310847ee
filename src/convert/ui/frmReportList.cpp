#include "frmReportList.h"

#include "Config.h"
#include "ImageStore.h"
#include "MessageBox.h"
#include "ReportList.h"
#include "ReportSender.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tv {

namespace {
std::function<int()> gRandomSource; // UI thread only
QPointer<frmReportList> gWindow;    // the one report window, UI thread only
int gSendTimeLimitMs = 15000;       // UI thread only
} // namespace

void frmReportList::SetRandomSource(std::function<int()> source) {
    gRandomSource = std::move(source);
}

void frmReportList::SetSendTimeLimit(int milliseconds) {
    gSendTimeLimitMs = milliseconds;
}

frmReportList::frmReportList(QWidget *owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmReportList"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window takes no input while the report is open.
    setWindowModality(Qt::WindowModal);
    resize(620, 380);

    auto *layout = new QVBoxLayout(this);
    auto *head = new QHBoxLayout();
    Cmd_Icon = new QPushButton(this);
    Cmd_Icon->setObjectName(QStringLiteral("Cmd_Icon"));
    Cmd_Icon->setFlat(true);
    Cmd_Icon->setFocusPolicy(Qt::NoFocus);
    Cmd_Icon->setIconSize(QSize(32, 32));
    head->addWidget(Cmd_Icon);
    lbl_Msg = new QLabel(this);
    lbl_Msg->setObjectName(QStringLiteral("lbl_Msg"));
    lbl_Msg->setWordWrap(true);
    head->addWidget(lbl_Msg, 1);
    layout->addLayout(head);

    View_ListBox = new QTreeWidget(this);
    View_ListBox->setObjectName(QStringLiteral("View_ListBox"));
    View_ListBox->setColumnCount(2);
    View_ListBox->setHeaderLabels({tr("File"), tr("Reason")});
    View_ListBox->setRootIsDecorated(false);
    View_ListBox->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    View_ListBox->header()->setStretchLastSection(true);
    View_ListBox->setColumnWidth(0, 220);
    layout->addWidget(View_ListBox, 1);

    Txt_ToSend = new QPlainTextEdit(this);
    Txt_ToSend->setObjectName(QStringLiteral("Txt_ToSend"));
    Txt_ToSend->setVisible(false);
    layout->addWidget(Txt_ToSend);

    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    m_send = new QPushButton(tr("Send"), this);
    m_send->setObjectName(QStringLiteral("Cmd_Panels(1)"));
    m_send->setToolTip(
        tr("Send this list to the makers of %1 so they can look into it").arg(Config().productName));
    connect(m_send, &QPushButton::clicked, this, &frmReportList::send);
    buttons->addWidget(m_send);
    m_close = new QPushButton(tr("Close"), this);
    m_close->setObjectName(QStringLiteral("Cmd_Panels(0)"));
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &frmReportList::closeReport);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);

    m_sender = new ReportSender(this);
}

void frmReportList::fill(const QString &title, const QString &message) {
    const QList<ReportEntry> &entries = ReportEntries();
    const ReportKind kind = ChooseReportKind(entries, title, message);
    setWindowTitle(kind.caption);
    lbl_Msg->setText(kind.headline);
    QFont font = lbl_Msg->font();
    font.setPointSize(kind.headlineFontSize);
    lbl_Msg->setFont(font);
    Cmd_Icon->setIcon(ThemeIcon(kind.iconName));
    Cmd_Icon->setProperty("imageName", kind.iconName);

    View_ListBox->clear();
    QList<QTreeWidgetItem *> items;
    for (const ReportEntry &entry : entries) {
        auto *item = new QTreeWidgetItem({entry.displayName, entry.errorText});
        item->setToolTip(1, entry.errorText);
        items << item;
    }
    View_ListBox->addTopLevelItems(items);
}

void frmReportList::closeReport() {
    if (m_closing)
        return;
    m_closing = true;
    ClearReport();
    View_ListBox->clear();
    if (QWidget *owner = parentWidget()) {
        owner->setEnabled(true);
        owner->show();
    }
    emit reportClosed();
    QDialog::reject();
}

void frmReportList::reject() {
    closeReport();
}

void frmReportList::closeEvent(QCloseEvent *event) {
    if (!m_closing) {
        closeReport();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmReportList::send() {
    const QList<ReportEntry> &entries = ReportEntries();
    Txt_ToSend->setPlainText(ReportListText(entries));
    const int random = gRandomSource ? gRandomSource() : QRandomGenerator::global()->bounded(1, 1001);
    const QString request = ReportRequestText(entries, Config().productVersion, random);
    m_send->setEnabled(false);
    m_close->setEnabled(false);
    setCursor(Qt::BusyCursor);
    connect(
        m_sender, &ReportSender::finished, this,
        [this]() {
            unsetCursor();
            ShowMessage(QStringLiteral("Thank you."), MsgInformation, Config().productName);
            m_close->setEnabled(true);
            closeReport();
        },
        Qt::SingleShotConnection);
    m_sender->send(ReportRequestUrl(Config().linkSendReport, request), gSendTimeLimitMs);
}

frmReportList *ShowReport(QWidget *owner, const QString &title, const QString &message) {
    if (ReportEntries().isEmpty())
        return nullptr;
    if (!gWindow)
        gWindow = new frmReportList(owner);
    gWindow->fill(title, message);
    gWindow->show();
    gWindow->raise();
    gWindow->activateWindow();
    return gWindow;
}

} // namespace tv

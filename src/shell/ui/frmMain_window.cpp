// The main window as a desktop window: its first size within the screen, its place, splitter
// and columns remembered, the keyboard (Tab order and shortcuts), and a batch's progress in
// the title and on the task bar.
#include "Config.h"
#include "FileImporter.h"
#include "FileListView.h"
#include "OutputFolders.h"
#include "OutputPanel.h"
#include "Settings.h"
#include "TaskbarProgress.h"
#include "WindowUtil.h"
#include "frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>

namespace tv {

namespace {

const QString kGeometry = QStringLiteral("WindowGeometry");
const QString kSplitter = QStringLiteral("WindowSplitter");
const QString kColumns = QStringLiteral("ListColumnWidths");

bool Focusable(const QWidget *w) {
    return w && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
}

} // namespace

void frmMain::setupWindowBehaviour() {
    // The first size is the designed one, but never more than the screen offers (a large scale
    // factor on a small screen would put Convert Now out of reach).
    FitToScreen(this);
    // Tab leaves the list instead of walking its cells.
    FileViewMain->setTabKeyNavigation(false);

    auto shortcut = [this](const QKeySequence &keys, auto action) {
        auto *s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, action);
    };
    auto clickIfEnabled = [this](int index) {
        if (QPushButton *button = Cmd_FileListView(index); button && button->isEnabled())
            button->click();
    };
    shortcut(QKeySequence::Open, [clickIfEnabled]() { clickIfEnabled(AddFilesButton); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), [this]() { addFolder(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), [clickIfEnabled]() { clickIfEnabled(ConvertButton); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), [clickIfEnabled]() { clickIfEnabled(ConvertButton); });
    shortcut(QKeySequence::Find, [clickIfEnabled]() { clickIfEnabled(SearchButton); });

    m_taskbar =
        std::make_unique<TaskbarProgress>(QGuiApplication::desktopFileName() + QStringLiteral(".desktop"));
}

void frmMain::addFolder() {
    if (!Cmd_FileListView(AddFilesButton)->isEnabled())
        return;
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Add a folder"), Folders().inputFolder);
    if (!folder.isEmpty())
        m_fileImporter->ImportDroppedPaths({folder});
}

QList<QWidget *> frmMain::tabOrder() const {
    QList<QWidget *> order{FileViewMain};
    order += m_outputPanel->focusOrder();
    order << Combo_Loudness << Combo_LoudnessTarget << Txt_OutputPath << Cmd_FileListView(BrowseOutputButton)
          << Cmd_FileListView(OpenOutputButton) << Chk_Merge << chkThreadMode << txtThreadCount
          << Cmd_FileListView(ConvertButton) << Cmd_FileListView(StopButton);
    // Then the preview and the information on the right, and the toolbar from left to right.
    QList<QWidget *> rest = m_bodyArea->widget(1)->findChildren<QWidget *>();
    for (int i = 0; i < m_toolbarArea->count(); ++i) {
        if (QWidget *w = m_toolbarArea->itemAt(i)->widget())
            rest << w;
    }
    for (QWidget *w : rest) {
        if (!order.contains(w))
            order << w;
    }
    return order;
}

bool frmMain::focusNextPrevChild(bool next) {
    QList<QWidget *> order = tabOrder();
    order.removeIf([](QWidget *w) { return !Focusable(w); });
    QWidget *current = focusWidget();
    // The widget with the focus, or the one of the order it sits in (a chooser's line, say).
    qsizetype at = -1;
    for (QWidget *w = current; w && at < 0; w = w->parentWidget())
        at = order.indexOf(w);
    if (at < 0 || order.isEmpty())
        return QMainWindow::focusNextPrevChild(next);
    const qsizetype n = order.size();
    order.at(((at + (next ? 1 : -1)) % n + n) % n)
        ->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void frmMain::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    fitToolbar();
}

void frmMain::fitToolbar() {
    // A window narrower than the toolbar with its texts shows the pictures only (the texts
    // become tooltips), so that no button is cut or pushed out of reach.
    const int room = width() - 16;
    if (!m_toolbarCompact)
        m_toolbarFullWidth = m_toolbarArea->sizeHint().width();
    const bool compact = m_toolbarFullWidth > room;
    if (compact == m_toolbarCompact)
        return;
    m_toolbarCompact = compact;
    for (int i = 0; i < m_toolbarArea->count(); ++i) {
        auto *button = qobject_cast<QAbstractButton *>(m_toolbarArea->itemAt(i)->widget());
        if (!button)
            continue;
        if (compact && !button->text().isEmpty()) {
            button->setProperty("fullText", button->text());
            if (button->toolTip().isEmpty())
                button->setToolTip(QString(button->text()).remove(QLatin1Char('&')));
            button->setText(QString());
        } else if (!compact && button->property("fullText").isValid()) {
            button->setText(button->property("fullText").toString());
            button->setProperty("fullText", QVariant());
        }
    }
}

void frmMain::restoreWindowPlacement() {
    const QByteArray geometry = QByteArray::fromBase64(ReadSetting(kGeometry).toLatin1());
    if (!geometry.isEmpty() && restoreGeometry(geometry) && !isMaximized() && !isFullScreen()) {
        // A place saved on a larger screen, at a smaller scale factor, or on a screen that has
        // gone, is brought back into view whole.
        const QScreen *screen = QGuiApplication::screenAt(frameGeometry().center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QRect room = screen->availableGeometry();
            resize(size().boundedTo(room.size()));
            QRect frame = frameGeometry();
            frame.moveLeft(
                qBound(room.left(), frame.left(), qMax(room.left(), room.right() - frame.width() + 1)));
            frame.moveTop(
                qBound(room.top(), frame.top(), qMax(room.top(), room.bottom() - frame.height() + 1)));
            move(frame.topLeft());
        }
    }
    const QByteArray splitter = QByteArray::fromBase64(ReadSetting(kSplitter).toLatin1());
    if (!splitter.isEmpty())
        m_bodyArea->restoreState(splitter);
    const QStringList widths = ReadSetting(kColumns).split(QLatin1Char(','), Qt::SkipEmptyParts);
    QHeaderView *header = FileViewMain->horizontalHeader();
    for (int column = 0; column < widths.size() && column < header->count(); ++column) {
        bool ok = false;
        const int width = widths.at(column).toInt(&ok);
        if (ok && width > 0 && !header->isSectionHidden(column))
            header->resizeSection(column, width);
    }
}

void frmMain::saveWindowPlacement() {
    WriteSetting(kGeometry, QString::fromLatin1(saveGeometry().toBase64()));
    WriteSetting(kSplitter, QString::fromLatin1(m_bodyArea->saveState().toBase64()));
    QStringList widths;
    QHeaderView *header = FileViewMain->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        widths << QString::number(header->isSectionHidden(column) ? 0 : header->sectionSize(column));
    WriteSetting(kColumns, widths.join(QLatin1Char(',')));
}

void frmMain::showBatchProgress(int value, int maximum, const QString &text) {
    setWindowTitle(QStringLiteral("%1 \u2014 %2").arg(text, Config().productName));
    if (m_taskbar && maximum > 0)
        m_taskbar->show(double(value) / maximum);
}

void frmMain::clearBatchProgress() {
    setWindowTitle(Config().productName);
    if (m_taskbar)
        m_taskbar->clear();
}

} // namespace tv

#pragma once
// The real main window for the shell tests, started as the program starts it.

#include "Config.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FormatSettings.h"
#include "MediaGen.h"
#include "MediaItem.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "OutputPanel.h"
#include "Settings.h"
#include "TestEnv.h"
#include "WindowDriver.h"
#include "frmFormatSetting.h"
#include "frmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <memory>

namespace tv::test {

// Reads the configuration and the folders as a start does; closing a window then ends the
// program without the close dialog.
inline void PrepareMainWindowTests() {
    ReadConfiguration();
    WriteSetting("CloseEvent", "2");
    WriteSetting("CloseDontAskMe", "-1");
    LoadFolders();
}

// Loads and shows the window and waits until its start-up has finished; an output folder,
// when given, is made and typed into the folder box. Null when the load failed.
inline std::unique_ptr<frmMain> StartMainWindow(const QString &outputFolder = QString()) {
    auto w = std::make_unique<frmMain>(QStringList{});
    if (!w->Form_Load())
        return nullptr;
    w->show();
    if (!QTest::qWaitFor([&]() { return w->formatSettings()->settings().applyingFlag(); }))
        return nullptr;
    if (!outputFolder.isEmpty()) {
        QDir().mkpath(outputFolder);
        w->findChild<QLineEdit *>("Txt_OutputPath")->setText(outputFolder);
    }
    return w;
}

// Clicks "Convert Now" and waits until the batch is over and the window idle again.
inline bool RunBatch(frmMain &w) {
    QSignalSpy completed(&w, &frmMain::batchCompleted);
    w.Cmd_FileListView(3)->click();
    if (completed.isEmpty() && !completed.wait(60000))
        return false;
    return w.conversionState() == frmMain::Idle;
}

// Starts a batch over one long file and waits until its job runs.
inline bool StartLongBatch(frmMain &w, const QString &input) {
    w.importFile(input);
    w.Cmd_FileListView(3)->click();
    return QTest::qWaitFor([&]() { return w.Cmd_FileListView(4)->isEnabled(); }, 20000) &&
           w.conversionState() == frmMain::Converting;
}

// Answers the next folder picker with a folder, or cancels it when the folder is empty.
inline void AnswerFolderPicker(QObject *context, const QString &folder) {
    OnNextModal(context, [folder](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), QStringLiteral("dlgBrowseFolder"));
        if (folder.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setDirectory(folder);
        dialog->selectFile(folder);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// A field of a row of the window's file list.
inline QString ListItem(const frmMain &w, int row, int item) {
    return w.fileList()->list()->item(row, item);
}

} // namespace tv::test

// The wait window's modes and its Cancel button.
#include "TestEnv.h"
#include "frmWait.h"

#include <QLabel>
#include <QPushButton>

using namespace tv;

class FrmWaitTest : public QObject {
    Q_OBJECT
private:
    static QString text(frmWait &w, const char *name) { return w.findChild<QLabel *>(name)->text(); }
    static bool shown(frmWait &w, const char *name) { return w.findChild<QWidget *>(name)->isVisible(); }

private Q_SLOTS:
    void preparingFilesCountsAndCancels() {
        frmWait w;
        QSignalSpy canceled(&w, &frmWait::canceled);
        w.ShowMode(frmWait::PrepareFiles);
        QVERIFY(w.isVisible());
        QVERIFY(!w.isModal());
        w.setFileNumber(3, 12); // (the texts an import shows are the import's test)

        auto *cancel = w.findChild<QPushButton *>("Cmd_Cancel");
        QVERIFY(cancel->isVisible());
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(canceled.size(), 1);
        // Pressed once is enough: further presses, Escape and the close box add nothing.
        cancel->click();
        QTest::keyClick(&w, Qt::Key_Escape);
        w.close();
        QCOMPARE(canceled.size(), 1);
        QVERIFY(w.isVisible());

        // Showing the window again starts afresh.
        w.ShowMode(frmWait::PrepareFiles);
        QCOMPARE(text(w, "lbl_FileNumber"), QString());
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(canceled.size(), 2);
    }

    void otherModes() {
        frmWait w;
        QSignalSpy canceled(&w, &frmWait::canceled);
        // Closing cannot be cancelled; finalizing can.
        w.ShowMode(frmWait::Closing);
        QVERIFY(!shown(w, "Cmd_Cancel"));
        QTest::keyClick(&w, Qt::Key_Escape);
        w.close();
        QCOMPARE(canceled.size(), 0);

        w.ShowMode(frmWait::Finalizing);
        w.findChild<QPushButton *>("Cmd_Cancel")->click();
        QCOMPARE(canceled.size(), 1);
    }
};

TV_TEST_MAIN(FrmWaitTest)
#include "tst_frmwait.moc"

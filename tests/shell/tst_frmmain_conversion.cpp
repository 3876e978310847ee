// "Convert Now" in the real main window: rows in, outputs out, with the row states, messages,
// merge, notices and power-off the user would see.
#include "ConversionFlags.h"
#include "MainWindowDriver.h"
#include "MediaGen.h"
#include "MediaProbe.h"
#include "MessageBox.h"
#include "OutputPanel.h"
#include "PowerOff.h"
#include "TestEnv.h"

#include <QAction>
#include <QCheckBox>
#include <QProgressBar>

using namespace tv;

using namespace tv::test;

namespace {

QString Status(frmMain &w, int row) {
    return ListItem(w, row, Item::Progress);
}

} // namespace

class FrmMainConversionTest : public QObject {
    Q_OBJECT
private:
    QString m_in;
    MessageRecorder m_messages{AnsOk};

private Q_SLOTS:
    void initTestCase() {
        PrepareMainWindowTests();
        m_in = test::Home().path() + "/in/";
        for (const char *name : {"one", "two", "three"})
            QVERIFY(test::GenerateTone(m_in + name + ".wav", 2.0, 44100, 2,
                                       {"-metadata", QString("title=Song %1").arg(name)}));
        QVERIFY(test::GenerateTone(m_in + "long.flac", 30.0));
        QVERIFY(test::GenerateTone(m_in + "very long.flac", 400.0, 44100, 2));
        SetPowerOffBackend([](int, const QString &) {
            qFatal("no test may power the machine off without its own backend");
            return false;
        });
    }

    void init() { m_messages.clear(); }

    void convertsTheListOrAnEmptyOneAndShowsTheCompletionDialog() {
        const QString out = test::Home().path() + "/out1/";
        auto w = StartMainWindow(out);
        QVERIFY(w);
        // An empty list still completes, with the plain dialog: there is no output to look at.
        DialogCloser closer;
        QVERIFY(RunBatch(*w));
        QCOMPARE(closer.seen, QStringList{"frmMsg"});
        for (const char *name : {"one", "two", "three"})
            w->importFile(m_in + name + ".wav");
        QCOMPARE(w->fileList()->list()->rowCount(), 3);
        QVERIFY(RunBatch(*w));
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(Status(*w, row).trimmed(), QStringLiteral("Done"));
            const QString output = ListItem(*w, row, Item::ConvertedFileName);
            QVERIFY2(output.startsWith(out) && output.endsWith(".mp3"), qPrintable(output));
            QCOMPARE(test::ProbeWithFFprobe(output).codec, QStringLiteral("mp3"));
        }
        QVERIFY(closer.seen.contains("frmMsg2")); // MP3 outputs offer burning
        QVERIFY(!w->findChild<QProgressBar *>("ProgressBar_Total")->isVisible());
        QVERIFY(w->Cmd_FileListView(0)->isEnabled());
        QVERIFY(m_messages.texts.isEmpty());

        // A second batch in a row names its outputs anew instead of overwriting.
        QVERIFY(RunBatch(*w));
        QVERIFY(ListItem(*w, 0, Item::ConvertedFileName).endsWith("one_(new).mp3"));
    }

    void aVanishedInputStopsThePreparationAndPictureNoticesShow() {
        const QString out = test::Home().path() + "/out2/";
        auto w = StartMainWindow(out);
        const QString doomed = m_in + "doomed.wav";
        QFile::copy(m_in + "one.wav", doomed);
        w->importFile(m_in + "two.wav");
        w->importFile(doomed);
        QFile::remove(doomed);
        w->Cmd_FileListView(3)->click();
        // The inputs are opened on a worker: the refusal comes once it has looked.
        QTRY_COMPARE(m_messages.texts.size(), 1);
        QCOMPARE(w->conversionState(), frmMain::Idle);
        QVERIFY2(
            m_messages.texts.first().startsWith("Attention!|" + doomed + "\n\nNo such file or directory"),
            qPrintable(m_messages.texts.first()));
        QVERIFY(w->Cmd_FileListView(0)->isEnabled());
        QVERIFY(!QFile::exists(out + "two.mp3")); // nothing was started

        // Picture notices asked for by text commands show, fade, and refuse a missing picture.
        const QString picture = m_in + "notice.png";
        QVERIFY(test::GeneratePicture(picture, 200, 120));
        auto *popup = w->findChild<QWidget *>("PopupControl_Tag");
        QVERIFY(popup);
        w->showImageOverlay({picture, "fade", "50", "300"});
        QVERIFY(popup->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), 5000);
        w->showImageOverlay({picture, "slide"});
        QVERIFY(!popup->isVisible());
        w->showImageOverlay({m_in + "missing.png", "none", "0", "300"});
        QVERIFY(!popup->isVisible());
    }

    void aFullDiskStopsTheBatchAndReports() {
        const QString full = test::Home().path() + "/fullout";
        TV_TMPFS_OR_SKIP(disk, full, "64k");
        auto w = StartMainWindow(full + "/");
        w->importFile(m_in + "long.flac");
        w->importFile(m_in + "one.wav");
        // WAV output of 30 s does not fit in 64 KB.
        w->SelectOutputFormat("CD Quality - PCM 16 bit, 44100 Hz, Stereo", "AudioFormat", "WAV");
        DialogCloser closer;
        const bool ended = RunBatch(*w);
        QVERIFY(ended);
        // One notice, however many of the jobs running at once met the full disk.
        QCOMPARE(m_messages.texts, QStringList{"Attention!|" + DiskFullText(full + "/")});
        QCOMPARE(Status(*w, 0), QStringLiteral("Unsuccessful! "));
        QVERIFY(ListItem(*w, 0, Item::ErrMsg).contains("No space left on device"));
        QTRY_VERIFY(closer.seen.contains("frmReportList"));
        QVERIFY(!closer.seen.contains("frmMsg2")); // no completion after a failure
        // Neither the failed output nor its work file stays on the disk.
        QVERIFY2(!disk.files().contains("long.wav") && disk.files().filter(".tvpart-").isEmpty(),
                 qPrintable(disk.files().join(", ")));
        QVERIFY(Flags().stopRequested);
    }

    void preparingABatchKeepsTheListAndTheBatchAsTheyAre() {
        auto w = StartMainWindow(test::Home().path() + "/out-prepare/");
        w->importFile(m_in + "one.wav");
        w->importFile(m_in + "two.wav");
        bool ranDuringPreparation = false;
        bool convertEnabled = true;
        bool removeAllEnabled = true;
        // Runs in the first round of events the preparation lets through.
        QTimer::singleShot(0, w.get(), [&]() {
            ranDuringPreparation = w->conversionState() != frmMain::Idle;
            convertEnabled = w->Cmd_FileListView(3)->isEnabled();
            removeAllEnabled = w->Cmd_FileListView(2)->isEnabled();
            w->Cmd_FileListView(3)->click(); // would pause a batch that has not started
            w->fileList()->RemoveAllFiles();
        });
        DialogCloser closer;
        QVERIFY(RunBatch(*w));
        QVERIFY(ranDuringPreparation);
        QVERIFY(!convertEnabled && !removeAllEnabled);
        QCOMPARE(w->fileList()->list()->rowCount(), 2);
        QCOMPARE(Status(*w, 0).trimmed(), QStringLiteral("Done"));
        QCOMPARE(Status(*w, 1).trimmed(), QStringLiteral("Done"));
        QVERIFY(w->Cmd_FileListView(2)->isEnabled());
    }

    void stopKeepsDoneRowsAndSkipsNotices() {
        const QString out = test::Home().path() + "/out3/";
        auto w = StartMainWindow(out);
        w->importFile(m_in + "one.wav");
        w->importFile(m_in + "very long.flac");
        w->findChild<QCheckBox *>("chkThreadMode")->setChecked(true);
        w->findChild<QLineEdit *>("txtThreadCount")->setText("abc"); // not a number: one at a time
        DialogCloser closer;
        QSignalSpy completed(w.get(), &frmMain::batchCompleted);
        w->Cmd_FileListView(3)->click();
        QCOMPARE(w->conversionState(), frmMain::Converting);
        QTRY_VERIFY(w->Cmd_FileListView(4)->isEnabled()); // started once its inputs were looked at
        QVERIFY(!w->Cmd_FileListView(0)->isEnabled());
        QVERIFY(!w->findChild<QPushButton *>("Cmd_RenameAll")->isEnabled());
        QVERIFY(!w->findChild<QWidget *>("Txt_OutputPath")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(Status(*w, 0).trimmed(), QStringLiteral("Done"), 30000);
        w->Cmd_FileListView(3)->click(); // pause
        QCOMPARE(w->conversionState(), frmMain::Paused);
        QCOMPARE(w->Cmd_FileListView(3)->text(), QStringLiteral("&Resume"));
        w->Cmd_FileListView(4)->click(); // stop
        QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 1, 30000);
        QCOMPARE(w->conversionState(), frmMain::Idle);
        QCOMPARE(Status(*w, 0).trimmed(), QStringLiteral("Done"));
        QCOMPARE(Status(*w, 1).trimmed(), QString());
        QVERIFY(w->findChild<QPushButton *>("Cmd_RenameAll")->isEnabled());
        QVERIFY(closer.seen.isEmpty());
        QVERIFY(!QFile::exists(out + "very long.mp3"));
        w->findChild<QCheckBox *>("chkThreadMode")->setChecked(false);
    }

    void mergeJoinsTheOutputsUnderTheFirstNameAndAMinimisedWindowGetsANotice() {
        const QString out = test::Home().path() + "/out4/";
        auto w = StartMainWindow(out);
        w->importFile(m_in + "one.wav");
        w->importFile(m_in + "two.wav");
        w->findChild<QCheckBox *>("Chk_Merge")->setChecked(true);
        DialogCloser closer;
        QVERIFY(RunBatch(*w));
        const QString joined = ListItem(*w, 0, Item::ConvertedFileName);
        // (That the parts go and their lengths add up is the merger's test.) The joined file
        // carries the first row's tags.
        QCOMPARE(joined, out + "one_(new).mp3");
        QCOMPARE(test::FFprobeTag(test::FFprobe(joined), "title"), ListItem(*w, 0, Item::TagTitle));
        QVERIFY(closer.seen.contains("frmMsg2"));

        // A minimised window gets a notice instead of the completion dialog.
        w->findChild<QCheckBox *>("Chk_Merge")->setChecked(false);
        w->SelectOutputFormat("Lossless - 44100 Hz, Stereo", "AudioFormat", "FLAC");
        w->showMinimized();
        QSignalSpy notices(w.get(), &frmMain::completionNotified);
        closer.seen.clear();
        QVERIFY(RunBatch(*w));
        QCOMPARE(notices.size(), 1);
        QCOMPARE(notices.first().first().toString(), QStringLiteral("Conversion is completed !"));
        QVERIFY(closer.seen.isEmpty());
    }

    void closingDuringABatchLeavesNoPartialFile() {
        const QString out = test::Home().path() + "/out-close/";
        auto w = StartMainWindow(out);
        w->importFile(m_in + "long.flac");
        w->SelectOutputFormat("CD Quality - PCM 16 bit, 44100 Hz, Stereo", "AudioFormat", "WAV");
        w->Cmd_FileListView(3)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty() ||
                                     w->conversionState() == frmMain::Idle,
                                 30000);
        // Ending the program mid-batch asks first; Yes ends it.
        const bool busy = w->conversionState() != frmMain::Idle;
        m_messages.answer = AnsYes;
        w->close();
        m_messages.answer = AnsOk;
        QCOMPARE(m_messages.texts.join('|').contains("Are you sure you want to terminate it ?"), busy);
        QVERIFY(w->isUnloading());
        // The stopped job ends at its next packet and takes its work file with it.
        QTRY_VERIFY(QDir(out).entryList(QDir::Files | QDir::Hidden).filter(".tvpart-").isEmpty());
    }

    void shutdownWhenDoneAsksForPowerOffAndEnds() {
        auto w = StartMainWindow(test::Home().path() + "/out6/");
        w->importFile(m_in + "one.wav");
        QList<QPair<int, QString>> requests;
        SetPowerOffBackend([&](int delay, const QString &message) {
            requests.append({delay, message});
            return true;
        });
        w->findChild<QAction *>("mnuMenu(10)")->setChecked(true);
        DialogCloser closer;
        w->Cmd_FileListView(3)->click();
        // The window closes itself instead of telling the user anything.
        QTRY_VERIFY_WITH_TIMEOUT(w->isUnloading(), 60000);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().first, 30);
        QCOMPARE(requests.first().second, QStringLiteral("Conversion is completed !"));
        QVERIFY(w->isUnloading());
        QVERIFY(closer.seen.isEmpty());
        SetPowerOffBackend({});
    }
};

TV_TEST_MAIN(FrmMainConversionTest)
#include "tst_frmmain_conversion.moc"

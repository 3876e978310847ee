// "Convert Now" in the real main window: rows in, outputs out, with the row states, messages,
// merge, loudness, edited tags, notices and power-off the user would see.
#include "ConversionFlags.h"
#include "LoudnessProbe.h"
#include "MainWindowDriver.h"
#include "PictureDialogs.h"
#include "PowerOff.h"
#include "frmTagEditor.h"

#include <QProgressBar>

using namespace tv;
using namespace tv::test;

namespace {

QString Status(frmMain &w, int row) {
    return ListItem(w, row, Item::Progress);
}

QComboBox *Mode(const frmMain &w) {
    return Find<QComboBox>(&w, "Combo_Loudness");
}
QComboBox *Target(const frmMain &w) {
    return Find<QComboBox>(&w, "Combo_LoudnessTarget");
}

// The size of the attached picture ffprobe finds in a file.
QSize CoverSize(const QJsonObject &probe) {
    for (const QJsonValue &stream : probe.value("streams").toArray()) {
        const QJsonObject s = stream.toObject();
        if (s.value("disposition").toObject().value("attached_pic").toInt() == 1)
            return QSize(s.value("width").toInt(), s.value("height").toInt());
    }
    return QSize();
}

frmTagEditor *OpenEditor(frmMain &w) {
    for (auto *editor : w.findChildren<frmTagEditor *>()) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

} // namespace

class FrmMainConversionTest : public QObject {
    Q_OBJECT
private:
    QString m_in;
    QString m_picture;
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
        m_picture = m_in + "pictures/new cover.png";
        QVERIFY(test::GeneratePicture(m_in + "old cover.png", 64, 64));
        QVERIFY(test::GeneratePicture(m_picture, 100, 50));
        QVERIFY(test::GenerateTaggedTone(
            m_in + "tagged.mp3", 2.0,
            {"title=Old Title", "artist=The Band", "album=First Light", "date=2021", "genre=Folk", "track=3"},
            m_in + "old cover.png", {"-id3v2_version", "3"}));
        QVERIFY(test::GenerateTaggedTone(m_in + "plain.flac", 2.0, {"title=Plain"}));
        SetPictureDialogBackend(
            [this](QWidget *, PictureDialogKind, const QString &, int *) { return m_picture; });
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
        QVERIFY(RunBatch(*w));
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

    void theLoudnessChoiceIsRememberedAcrossStarts() {
        {
            auto w = StartMainWindow();
            QVERIFY(w);
            QCOMPARE(Mode(*w)->currentText(), QStringLiteral("Off"));
            QVERIFY(!Target(*w)->isEnabled()); // a target means nothing while the sound is left alone
            Mode(*w)->setCurrentIndex(Mode(*w)->findText("Album"));
            QVERIFY(Target(*w)->isEnabled());
            Target(*w)->setCurrentIndex(Target(*w)->findText("-23 LUFS"));
            QVERIFY(w->close());
        }
        {
            auto w = StartMainWindow();
            QVERIFY(w);
            QCOMPARE(Mode(*w)->currentText(), QStringLiteral("Album"));
            QCOMPARE(Target(*w)->currentText(), QStringLiteral("-23 LUFS"));
            Mode(*w)->setCurrentIndex(Mode(*w)->findText("ReplayGain tags only"));
            QVERIFY(!Target(*w)->isEnabled());
            QVERIFY(w->close());
        }
        QCOMPARE(ReadSetting("LoudnessMode"), QStringLiteral("tags"));
        // A store edited by hand to something unknown falls back to the defaults.
        WriteSetting("LoudnessMode", "loudest");
        WriteSetting("LoudnessTarget", "7");
        auto w = StartMainWindow();
        QVERIFY(w);
        QCOMPARE(Mode(*w)->currentText(), QStringLiteral("Off"));
        QCOMPARE(Target(*w)->currentText(), QStringLiteral("-16 LUFS"));
    }

    // (Quiet and loud inputs alike reaching the target is the command line's loudness test.)
    void convertNowNormalisesTheLoudness() {
        QVERIFY(test::GenerateToneAtLoudness(m_in + "quiet.wav", -30.0, 6.0));
        auto w = StartMainWindow(test::Home().path() + "/out/");
        QVERIFY(w);
        Mode(*w)->setCurrentIndex(Mode(*w)->findText("Normalize to"));
        Target(*w)->setCurrentIndex(Target(*w)->findText("-16 LUFS"));
        w->importFile(m_in + "quiet.wav");
        DialogCloser closer;
        QSignalSpy completed(w.get(), &frmMain::batchCompleted);
        w->Cmd_FileListView(3)->click();
        // Nothing about the output may change while the batch runs.
        QTRY_VERIFY(!Mode(*w)->isEnabled() || !completed.isEmpty());
        if (completed.isEmpty())
            QVERIFY(completed.wait(60000));
        QTRY_COMPARE(w->conversionState(), frmMain::Idle);
        QVERIFY(Mode(*w)->isEnabled());
        QCOMPARE(Status(*w, 0).trimmed(), QStringLiteral("Done"));
        const MeteredLoudness output = MeterLoudness(ListItem(*w, 0, Item::ConvertedFileName));
        QVERIFY(output.ok);
        QVERIFY2(std::abs(output.integrated + 16.0) <= 0.5, qPrintable(QString::number(output.integrated)));
        QVERIFY(output.truePeak <= -1.0);
    }

    void editedTagsReachTheOutputThePopupOpensTheFocusedRowAndABatchOnlyShowsThem() {
        const QString out = test::Home().path() + "/out-tags/";
        auto w = StartMainWindow(out);
        QVERIFY(w);
        const QString input = m_in + "tagged.mp3";
        const QByteArray inputBytes = ReadFile(input);
        w->importFile(input);

        auto *moreInfo = w->findChild<QPushButton *>("Cmd_MoreInfo");
        QVERIFY(moreInfo && moreInfo->isEnabled());
        moreInfo->click();
        frmTagEditor *editor = OpenEditor(*w);
        QVERIFY(editor);
        QVERIFY(editor->isModal());
        auto *title = editor->findChild<QLineEdit *>("TextTitle");
        title->setFocus();
        title->selectAll();
        QTest::keyClicks(title, "Edited Title");
        QTest::mouseClick(editor->findChild<QLabel *>("TagImg"), Qt::LeftButton);
        editor->Cmd_Properties(4)->click();
        editor->Cmd_Properties(0)->click();
        QTRY_VERIFY(!OpenEditor(*w));
        QVERIFY(m_messages.texts.isEmpty()); // applied: nothing left to ask about

        QCOMPARE(ListItem(*w, 0, Item::TagTitle), QStringLiteral("Edited Title"));

        {
            DialogCloser closer;
            QVERIFY(RunBatch(*w));
        }
        const QString output = ListItem(*w, 0, Item::ConvertedFileName);
        QVERIFY2(output.startsWith(out) && QFile::exists(output), qPrintable(output));
        const QJsonObject probe = test::FFprobe(output);
        QCOMPARE(test::FFprobeTag(probe, "title"), QStringLiteral("Edited Title"));
        QCOMPARE(test::FFprobeTag(probe, "artist"), QStringLiteral("The Band"));
        QCOMPARE(CoverSize(probe), QSize(100, 50));
        QCOMPARE(ReadFile(input), inputBytes);
        QVERIFY(m_messages.texts.isEmpty());

        // The list's pop-up entry opens the focused row, in the same window.
        w->fileList()->RemoveAllFiles();
        w->importFile(m_in + "tagged.mp3");
        w->importFile(m_in + "plain.flac");
        FileListView *list = w->fileList();
        auto *entry = list->mnuFileLists()->findChild<QAction *>("mnuFileList(11)");
        QVERIFY(entry);
        list->setCurrentIndex(list->list()->index(1, 1));
        entry->trigger();
        editor = OpenEditor(*w);
        QVERIFY(editor);
        QCOMPARE(editor->findChild<QLineEdit *>("TextTitle")->text(), QStringLiteral("Plain"));
        editor->Cmd_Properties(0)->click();
        QTRY_VERIFY(!OpenEditor(*w));

        // While a batch is paused the tags are only shown: its outputs take them as jobs end.
        QSignalSpy completed(w.get(), &frmMain::batchCompleted);
        QVERIFY(StartLongBatch(*w, m_in + "long.flac"));
        w->Cmd_FileListView(3)->click();
        QCOMPARE(w->conversionState(), frmMain::Paused);
        // The batch's start cleared the information panel; a row chosen shows again.
        list->setCurrentIndex(QModelIndex());
        list->setCurrentIndex(list->list()->index(2, 1));
        QVERIFY(w->findChild<QPushButton *>("Cmd_MoreInfo")->isEnabled());
        w->findChild<QPushButton *>("Cmd_MoreInfo")->click();
        editor = OpenEditor(*w);
        QVERIFY(editor);
        // (What the read-only view allows is the editor's own test.)
        QVERIFY(editor->findChild<QLabel *>("lbl_ReadOnly")->isVisible());
        editor->Cmd_Properties(0)->click();
        QTRY_VERIFY(!OpenEditor(*w));
        {
            DialogCloser closer;
            // Stopped jobs may all end while the Stop button is still handling its click.
            w->Cmd_FileListView(4)->click();
            QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 1, 60000);
        }

        w->fileList()->RemoveAllFiles();
        QVERIFY(!w->findChild<QPushButton *>("Cmd_MoreInfo")->isEnabled());
        emit list->mnuFileLists()->aboutToShow();
        QVERIFY(!entry->isEnabled());
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
        QVERIFY(closer.seen.isEmpty());
        SetPowerOffBackend({});
    }
};

TV_TEST_MAIN(FrmMainConversionTest)
#include "tst_frmmain_conversion.moc"

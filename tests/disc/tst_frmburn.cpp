// The burner windows as a user meets them, writing to the image recorder: the audio CD burner
// taking the main list's files (decoded to WAVs, tags kept for CD-Text), files that fail, rows
// dragged into another order, the start window and the image file dialog, the image read back;
// the data burners' files and folders and label; a compilation too large shown in the gauge; a
// write cancelled half-way; erasing refused.
#include "AudioImage.h"
#include "BurnListView.h"
#include "Config.h"
#include "DiscTestSupport.h"
#include "MainWindowDriver.h"
#include "MediaGen.h"
#include "MediaItem.h"
#include "MediaProbe.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "Player.h"
#include "PlayerEvents.h"
#include "Settings.h"
#include "SingleFileConversion.h"
#include "TestEnv.h"
#include "WindowDriver.h"
#include "frmBurnDisc.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

using namespace tv;
using namespace tv::test;

namespace {

// The pieces of the main window a burner uses.
struct Host {
    Player player;
    PlayerEvents events{&player};
    SingleFileConversion converter;
};

// Opens the burner and waits until its first disc is shown and the main list's files are in.
bool Open(frmBurnDisc &burner) {
    QSignalSpy shown(&burner, &frmBurnDisc::discShown);
    burner.show();
    burner.Form_Load();
    if (!QTest::qWaitFor([&]() { return !shown.isEmpty(); }, 30000))
        return false;
    // The combo lists the image recorder last; it is the only writer here without a drive.
    auto *drives = Find<QComboBox>(&burner, "ComboCdDrives");
    const int last = drives->count() - 1;
    if (drives->currentIndex() != last) {
        shown.clear();
        drives->setCurrentIndex(last);
        Q_EMIT drives->activated(last);
        if (!QTest::qWaitFor([&]() { return !shown.isEmpty(); }, 30000))
            return false;
    }
    return QTest::qWaitFor([&]() { return !burner.mainListPending() && !burner.isAdding(); }, 60000);
}

// What the windows of a burn were answered and showed.
struct BurnAnswers {
    QString imagePath;                           // given to dlgSaveDiscImage
    QString label;                               // typed into Txt_DiscLabel when not empty
    std::function<void(QDialog *start)> writing; // called once the write can be cancelled
    QStringList seen;                            // names of the modal windows, first appearance
    QString message;                             // the completion message's text
    int speeds = -1;                             // entries of Cmb_BurnSpeed when Start was pressed
};

// Clicks Burn the way a user does and answers the windows until the burn command has returned:
// Start once the speeds are listed, the image file dialog, the completion message. After
// `writing` has cancelled the write, the start window is closed once it is ready again.
void BurnThroughWindows(frmBurnDisc &burner, BurnAnswers &answers) {
    bool started = false;
    bool cancelled = false;
    QWidget *answered = nullptr;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        const QString name = modal->objectName();
        if (!answers.seen.contains(name))
            answers.seen << name;
        if (name.endsWith(QLatin1String("_Start"))) {
            QPushButton *start = Push(modal, "Cmd_StartBurn");
            const QString tag = start->property("tag").toString();
            if (!started && start->isEnabled() && tag == QLatin1String("Start")) {
                started = true;
                answers.speeds = Find<QComboBox>(modal, "Cmb_BurnSpeed")->count();
                if (!answers.label.isNull())
                    Find<QLineEdit>(modal, "Txt_DiscLabel")->setText(answers.label);
                // Clicks run after this timer's call: a timer does not fire inside its own call,
                // and Start opens dialogs that must be answered.
                QMetaObject::invokeMethod(start, &QPushButton::click, Qt::QueuedConnection);
            } else if (started && !cancelled && answers.writing && start->isEnabled() &&
                       tag == QLatin1String("Cancel")) {
                cancelled = true;
                QMetaObject::invokeMethod(
                    modal, [&answers, modal]() { answers.writing(static_cast<QDialog *>(modal)); },
                    Qt::QueuedConnection);
            } else if (cancelled && tag == QLatin1String("Start")) {
                QPushButton *close = Push(modal, "Cmd_Close");
                if (close->isEnabled())
                    QMetaObject::invokeMethod(close, &QPushButton::click, Qt::QueuedConnection);
            }
        } else if (name == QLatin1String("dlgSaveDiscImage") && modal != answered) {
            answered = modal;
            auto *dialog = static_cast<QFileDialog *>(modal);
            // The name is typed: selectFile leaves a focused name box as it is.
            dialog->setDirectory(QFileInfo(answers.imagePath).absolutePath());
            Find<QLineEdit>(dialog, "fileNameEdit")->setText(QFileInfo(answers.imagePath).fileName());
            static_cast<QDialog *>(dialog)->accept();
        } else if (name == QLatin1String("frmMsg")) {
            answers.message = Find<QLabel>(modal, "lbl_ConversionCompleted")->text();
            QMetaObject::invokeMethod(Push(modal, "Cmd_Msg(2)"), &QPushButton::click, Qt::QueuedConnection);
        }
    });
    poll.start(20);
    burner.Cmd_Panel(2)->click();
    poll.stop();
}

} // namespace

class TestFrmBurn : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        ReadConfiguration();
        LoadFolders();
        QVERIFY(GenerateTaggedTone(Home().path() + "/in/first.mp3", 5.3,
                                   {"title=Érste Spur", "artist=Die Band", "album=Das Album"}));
        QVERIFY(GenerateTaggedTone(Home().path() + "/in/second.ogg", 4.1,
                                   {"title=Second", "artist=Die Band", "album=Das Album"}));
        WriteCdWav(Home().path() + "/in/third.wav", 44100 * 3 + 313, 9);
        WriteFile(Home().path() + "/in/broken.mp3", QByteArray(4000, 'x'));
    }

    void audioBurnerTakesTheListAndWritesAnImage() {
        Host host;
        MessageRecorder messages(AnsOk);
        const QString in = Home().path() + "/in/";
        frmBurnAudioCD burner(&host.events, &host.converter, [&]() {
            return QVector<BurnSource>{{in + "first.mp3", "Érste Spur", "Die Band", "Das Album"},
                                       {QString(), QString(), QString(), QString()},
                                       {in + "second.ogg", "Second", "Die Band", "Das Album"}};
        });
        QVERIFY(Open(burner));
        QTRY_COMPARE(Push(&burner, "Cmd_DiscInfo")->text(), QStringLiteral("CD-R - (Blank)"));
        BurnListModel *list = burner.burnList();
        QTRY_COMPARE(list->rowCount(), 2);
        QVERIFY(messages.texts.isEmpty());
        QCOMPARE(list->item(0, AudioItem::Name), QStringLiteral("first.mp3"));
        // The decoded WAVs are this process's own work files.
        QVERIFY(list->item(0, AudioItem::Raw).startsWith(Paths().tempFolder + "burnaudiocd_"));
        QCOMPARE(list->footerText(AudioItem::Duration), QStringLiteral("00:00:09"));

        // A file that is not sound is explained and not added; a missing one is reported.
        burner.AddFiles({in + "broken.mp3", in + "missing.wav", in + "third.wav"});
        QTRY_VERIFY(!burner.isAdding());
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts.constFirst().startsWith("Audio CD Burner|"),
                 qPrintable(messages.texts.constFirst()));
        QWidget *report = VisibleWindow("frmReportList");
        QVERIFY(report);
        report->close();
        messages.clear();
        // An image file is no rewritable disc: Erase is refused.
        Push(&burner, "Cmd_Panel(1)")->click();
        QCOMPARE(messages.texts,
                 QStringList{"Erase disc|Disc is not erasable!\n\nPlease insert the CD-RW disc."});
        messages.clear();

        // The third row is dragged to the top: it becomes the first track.
        QMimeData *drag = list->mimeData({list->index(2, 1)});
        list->dropMimeData(drag, Qt::MoveAction, 0, 0, QModelIndex());
        delete drag;
        QCOMPARE(list->item(0, AudioItem::Name), QStringLiteral("third.wav"));
        QStringList wavs;
        for (int row = 0; row < 3; ++row)
            wavs << list->sourcePath(row);

        QTemporaryDir out;
        BurnAnswers answers;
        answers.imagePath = out.filePath("Mix.cue");
        BurnThroughWindows(burner, answers);
        QCOMPARE(answers.seen, QStringList({"frmBurnAudioCD_Start", "dlgSaveDiscImage", "frmMsg"}));
        // The image recorder takes every speed: 64X down to 1X.
        QCOMPARE(answers.speeds, 64);
        QCOMPARE(answers.message, QStringLiteral("Successfully completed!"));
        QVERIFY(messages.texts.isEmpty());

        const AudioImageContents image = ReadAudioImage(out.filePath("Mix.cue"));
        QVERIFY2(image.ok, qPrintable(image.error));
        QCOMPARE(image.audio.size(), 3);
        for (int t = 0; t < 3; ++t)
            QVERIFY(image.audio.at(t) == PaddedToSectors(DecodedSamples(wavs.at(t), {})));
        QCOMPARE(image.titles, (QMap<int, QString>{{2, "Érste Spur"}, {3, "Second"}}));
        QCOMPARE(image.album, QStringLiteral("Das Album"));

        // Closing the window takes its WAVs with it.
        burner.close();
        for (const QString &wav : wavs)
            QVERIFY(!QFileInfo::exists(wav));
    }

    void theCompletionDialogOpensTheBurnerWithTheConvertedFiles() {
        // Closing the main window here ends the test's program without the close dialog.
        WriteSetting("CloseEvent", "2");
        WriteSetting("CloseDontAskMe", "-1");
        const QString out = Home().path() + "/converted/";
        auto w = StartMainWindow(out);
        QVERIFY(w);
        QVERIFY(w->importFile(Home().path() + "/in/second.ogg"));
        QVERIFY(w->importFile(Home().path() + "/in/first.mp3"));
        // "Burn to disc" in the completion dialog, then the audio CD in the chooser.
        QStringList seen;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&]() {
            QWidget *modal = QApplication::activeModalWidget();
            const QString name = modal ? modal->objectName() : QString();
            if (seen.contains(name) || !QStringList{"frmMsg", "frmMsg2", "frmBurnTypes"}.contains(name))
                return;
            seen << name;
            // A dialog without "Burn to disc" is closed, and the test fails below.
            const char *button = name == "frmMsg2"        ? "Cmd_Msg(1)"
                                 : name == "frmBurnTypes" ? "Cmd_BurnTypes(0)"
                                                          : "Cmd_Msg(2)";
            QMetaObject::invokeMethod(Push(modal, button), &QPushButton::click, Qt::QueuedConnection);
        });
        poll.start(20);
        QVERIFY(RunBatch(*w));
        frmBurnDisc *burner = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((burner = w->findChild<frmBurnDisc *>("frmBurnAudioCD")), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!burner->mainListPending() && !burner->isAdding(), 60000);
        poll.stop();
        QCOMPARE(seen, QStringList({"frmMsg2", "frmBurnTypes"}));
        // The rows are the outputs, decoded, with the tags of their rows for CD-Text.
        BurnListModel *list = burner->burnList();
        QCOMPARE(list->rowCount(), 2);
        for (int row = 0; row < 2; ++row) {
            const QFileInfo output(ListItem(*w, row, Item::ConvertedFileName));
            QCOMPARE(list->item(row, AudioItem::Name), output.fileName());
            QVERIFY(ReadWavInfo(list->sourcePath(row)).isCdAudio());
        }
        QCOMPARE(list->record(0).title, QStringLiteral("Second"));
        QCOMPARE(list->record(1).album, QStringLiteral("Das Album"));
    }

    void dataBurnerWritesFilesAndFoldersWithTheLabel() {
        if (!HaveXorriso())
            QSKIP("xorriso is not installed.");
        Host host;
        MessageRecorder messages(AnsOk);
        QTemporaryDir dir;
        WriteFile(dir.filePath("Trip/a – ü.mp3"), QByteArray(3000, 'a'));
        WriteFile(dir.filePath("Trip/more/b.wma"), QByteArray(2000, 'b'));
        frmBurnDataDVD burner(&host.events, {});
        QVERIFY(Open(burner));
        QVERIFY(!Push(&burner, "Cmd_Panel(2)")->isEnabled());
        Push(&burner, "Cmd_Panel(1)")->click();
        QCOMPARE(messages.texts,
                 QStringList{"Erase disc|Disc is not erasable!\n\nPlease insert the DVD rewritable disc."});
        messages.clear();
        BurnListModel *list = burner.burnList();
        burner.AddFolder(dir.filePath("Trip"));
        QTRY_VERIFY(!burner.isAdding());
        burner.AddFiles({Home().path() + "/in/first.mp3"});
        QTRY_VERIFY(!burner.isAdding());
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(0, DataItem::SrcSize), QStringLiteral("5000"));

        BurnAnswers answers;
        answers.imagePath = dir.filePath("trip.iso");
        answers.label = QStringLiteral("  Trip 2024 ");
        BurnThroughWindows(burner, answers);
        QCOMPARE(answers.message, QStringLiteral("Successfully completed!"));
        QCOMPARE(XorrisoFiles(dir.filePath("trip.iso")),
                 QStringList({"/Trip/a – ü.mp3", "/Trip/more/b.wma", "/first.mp3"}));
        QCOMPARE(PvdVolumeId(dir.filePath("trip.iso")), QStringLiteral("Trip 2024"));
        QVERIFY(messages.texts.isEmpty());
    }

    void tooMuchForTheDiscIsRefused() {
        Host host;
        MessageRecorder messages(AnsOk);
        QTemporaryDir dir;
        if (!MakeSparseFile(dir.filePath("huge.dat"), 690 * 1000 * 1000))
            QSKIP("Sparse files cannot be made here.");
        MakeSparseFile(dir.filePath("more.dat"), 100 * 1000 * 1000);
        frmBurnDataCD burner(&host.events, {});
        QVERIFY(Open(burner));
        const QString noSpace =
            "Attention!|This disc doesn't have enough free space for all the selected file.";
        burner.AddFiles({dir.filePath("huge.dat"), dir.filePath("more.dat")});
        QTRY_VERIFY(!burner.isAdding());
        QCOMPARE(burner.burnList()->rowCount(), 2);
        QCOMPARE(messages.texts, QStringList{noSpace});
        auto *free = Find<QLabel>(&burner, "lbl_FreeSpaceValue");
        QVERIFY2(free->text().startsWith('-'), qPrintable(free->text()));
        messages.clear();
        // Nothing more is taken, and Burn opens no start window.
        burner.AddFiles({Home().path() + "/in/first.mp3"});
        QCOMPARE(messages.texts, QStringList{noSpace});
        QCOMPARE(burner.burnList()->rowCount(), 2);
        messages.clear();
        BurnAnswers answers;
        BurnThroughWindows(burner, answers);
        QVERIFY(answers.seen.isEmpty());
        QCOMPARE(messages.texts, QStringList{noSpace});
        // Taking one file away makes it fit again.
        burner.listView()->selectRow(0);
        Push(&burner, "Cmd_Panel(4)")->click();
        QCOMPARE(burner.burnList()->rowCount(), 1);
        QVERIFY2(!free->text().startsWith('-'), qPrintable(free->text()));
    }

    void cancelledWriteLeavesNoImage() {
        Host host;
        MessageRecorder messages(AnsYes);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("data")));
        if (!MakeSparseFile(dir.filePath("data/big.bin"), qint64(4400) * 1000 * 1000))
            QSKIP("Sparse files cannot be made here.");
        QVERIFY(QDir().mkpath(dir.filePath("out")));
        frmBurnDataDVD burner(&host.events, {});
        QVERIFY(Open(burner));
        burner.AddFolder(dir.filePath("data"));
        QTRY_VERIFY(!burner.isAdding());
        BurnAnswers answers;
        answers.imagePath = dir.filePath("out/big.iso");
        answers.writing = [](QDialog *start) { Push(start, "Cmd_StartBurn")->click(); };
        BurnThroughWindows(burner, answers);
        QCOMPARE(messages.texts,
                 QStringList{
                     "Data DVD Burner|Burning is not completed!\nAre you sure you want to terminate it ?"});
        QVERIFY(answers.message.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(QDir(dir.filePath("out")).entryList(QDir::Files | QDir::Hidden).isEmpty(),
                                 30000);
    }
};

TV_TEST_MAIN(TestFrmBurn)
#include "tst_frmburn.moc"

// The trim window in the real main window: a selection made with the mouse is saved into the row
// and the batch's outputs hold exactly that part; decoding can be cancelled and bad inputs refused.
#include "Engine.h"
#include "MainWindowDriver.h"
#include "Player.h"
#include "PlayerPane.h"
#include "SingleFileConversion.h"
#include "SoundEditor.h"
#include "TrimPlayback.h"
#include "WaveformView.h"
#include "frmTrim.h"
#include "frmWait.h"

#include <QDirIterator>
#include <QProcess>
#include <QtEndian>
#include <cmath>
#include <sys/stat.h>

using namespace tv;
using namespace tv::test;

namespace {

QString Box(const frmTrim *trim, const char *name) {
    return trim->findChild<QLineEdit *>(QString::fromLatin1(name))->text();
}

// Analysed, and shown whole once the one-shot display timer has run.
bool WaitShown(frmTrim *trim) {
    return trim && QTest::qWaitFor(
                       [trim]() {
                           return trim->Cmd_Panels(1)->isEnabled() &&
                                  !trim->findChild<QTimer *>("TimerDisplayWaveform")->isActive();
                       },
                       30000);
}

// The trim window over row 0, once its waveform is shown (null when it never was).
frmTrim *OpenTrim(frmMain &w) {
    w.fileList()->selectRow(0);
    w.Cmd_FileListView(6)->click();
    auto *trim = w.findChild<frmTrim *>();
    return WaitShown(trim) ? trim : nullptr;
}

// The selection the waveform shows, as "start end", or "none".
QString Selection(const frmTrim *trim) {
    bool shown = false;
    qint64 start = -1;
    qint64 end = -1;
    trim->waveform()->GetSelection(&shown, &start, &end);
    return shown ? QStringLiteral("%1 %2").arg(start).arg(end) : QStringLiteral("none");
}

// The files of a trim ("trim_…" and ".trim_….tvpart-…") in this process's temporary folder.
QStringList TrimFiles() {
    QStringList found;
    QDirIterator it(Paths().tempFolder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().contains("trim_"))
            found << it.fileName();
    }
    return found;
}

// A WAV that arrives through a named pipe as slowly as the test wants: its header promises ten
// minutes, the five seconds of sound of `wav` follow, and the rest never comes; the pipe ends
// when the feeder is killed. A decoding of it stays under way until then.
class PipeFeeder {
public:
    PipeFeeder(const QString &pipe, const QString &wav) {
        m_writer.start("sh", {"-c", R"(exec >"$1"; cat "$0"; exec cat)", wav, pipe});
    }
    ~PipeFeeder() { finish(); }
    // Ends the pipe without waiting for the writer.
    void stop() { m_writer.kill(); }
    void finish() {
        m_writer.kill();
        m_writer.waitForFinished();
    }

private:
    QProcess m_writer;
};

QPoint At(const WaveformView *view, qint64 ms) {
    return QPoint(view->xOfMs(ms), view->lanesRect().center().y());
}

void Drag(WaveformView *view, const QPoint &from, const QPoint &to) {
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, (from + to) / 2);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
}

// The largest difference between `a` and the run of `b` from `offset` or from the sample after
// it, whichever is closer (a start between two samples may round to either).
int BestDifference(const QVector<qint16> &a, const QVector<qint16> &b, int offset) {
    int best = INT_MAX;
    for (int from : {offset, offset + 1}) {
        int worst = 0;
        for (int i = 0; i < a.size(); ++i)
            worst = std::max(worst, std::abs(int(a.at(i)) - int(b.at(from + i))));
        best = std::min(best, worst);
    }
    return best;
}

} // namespace

class FrmMainTrimTest : public QObject {
    Q_OBJECT

    QString m_in;
    QString m_tone;      // 20 s, 44.1 kHz stereo FLAC
    QString m_promising; // the WAV a PipeFeeder sends
    MessageRecorder m_messages{AnsOk};

    std::unique_ptr<frmMain> windowWithTone(const QString &output = QString()) {
        auto w = StartMainWindow(output);
        if (w)
            w->importFile(m_tone);
        return w;
    }

private Q_SLOTS:
    void initTestCase() {
        qputenv("TUNEVANE_SILENT_PLAYER", "1");
        PrepareMainWindowTests();
        m_in = Home().path() + "/in/";
        m_tone = m_in + "tone.flac";
        QVERIFY(GenerateTone(m_tone, 20.0, 44100, 2));
        // Five seconds of sound under a plain 44-byte header that promises ten minutes.
        m_promising = m_in + "promising.wav";
        QVERIFY(GenerateTone(m_promising, 5.0, 44100, 2, {"-bitexact", "-map_metadata", "-1"}));
        QByteArray wav = ReadFile(m_promising);
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        qToLittleEndian<quint32>(600 * 44100 * 4, wav.data() + 40);
        qToLittleEndian<quint32>(36 + 600 * 44100 * 4, wav.data() + 4);
        WriteFile(m_promising, wav);
    }

    void init() { m_messages.clear(); }

    void aMouseSelectionSavedIsWhatTheConversionKeeps() {
        auto w = windowWithTone(Home().path() + "/out/");
        QVERIFY(w);
        frmTrim *trim = OpenTrim(*w);
        QVERIFY(trim);
        // The load's percentage reached the wait window; the main window waits for the trim.
        QCOMPARE(trim->waitWindow()->mode(), int(frmWait::Loading));
        QCOMPARE(trim->waitWindow()->progressValue(), 100);
        QVERIFY(!trim->waitWindow()->isVisible());
        QVERIFY(!w->isEnabled());
        const QString wav = trim->trimTempWav();
        QVERIFY(QFile::exists(wav));
        QVERIFY(!trim->Cmd_Panels(10)->isEnabled());

        // A drag selects what it passes over, to the pixel; the end's handle moves the end only.
        WaveformView *view = trim->waveform();
        const double msPerPixel = 20000.0 / view->lanesRect().width();
        Drag(view, At(view, 5000), At(view, 9000));
        QVERIFY(std::abs(trim->trimStartMs() - 5000) <= msPerPixel);
        QVERIFY(std::abs(trim->trimStartMs() + trim->trimDurationMs() - 9000) <= msPerPixel);
        const int start = trim->trimStartMs();
        Drag(view, At(view, start + trim->trimDurationMs()) + QPoint(2, 0), At(view, 12000));
        QCOMPARE(trim->trimStartMs(), start);
        QVERIFY(std::abs(trim->trimStartMs() + trim->trimDurationMs() - 12000) <= msPerPixel);

        // Zoomed onto the selection, the view shows exactly the selection; "all" shows it whole.
        trim->Cmd_Panels(10)->click();
        QCOMPARE(Box(trim, "Txt_StartView"), Box(trim, "Txt_StartSelect"));
        QCOMPARE(Box(trim, "Txt_EndView"), Box(trim, "Txt_EndSelect"));
        trim->Cmd_Panels(9)->click();
        QCOMPARE(Box(trim, "Txt_EndView"), QStringLiteral("00:00:20.000"));

        // The millisecond a user reaches by zooming in on either end is what OK saves.
        view->SetSelection(true, 5125, 8375);
        QCOMPARE(Box(trim, "Txt_DurationSelect"), QStringLiteral("00:00:03.250"));
        trim->Cmd_Panels(5)->click();
        QVERIFY(w->isEnabled());
        QTRY_VERIFY(!w->findChild<frmTrim *>());
        QVERIFY(!QFile::exists(wav));
        QCOMPARE(ListItem(*w, 0, Item::TrimStart), QStringLiteral("00:00:05.125"));
        QCOMPARE(ListItem(*w, 0, Item::TrimStartInMs), QStringLiteral("5125"));
        QCOMPARE(ListItem(*w, 0, Item::TrimDurationInMs), QStringLiteral("3250"));
        QCOMPARE(w->fileList()->list()->durationIcon(0), kTrimmedIcon);
        QCOMPARE(w->fileList()->selectedRowNumbers(), QList<int>{0});

        // The outputs hold 3.250 s from 5.125 s on: FLAC to the sample, MP3 to the frame and in
        // step with the tone (a shift by a few samples of this 440 Hz tone differs by far more).
        const QVector<qint16> source = FirstSamples(m_tone, 230000);
        QCOMPARE(source.size(), 230000);
        struct Output {
            const char *preset;
            const char *format;
            double lengthSlack;
            int sampleSlack;
        };
        for (const Output &o :
             {Output{"Lossless - 44100 Hz, Stereo", "FLAC", 1.0 / 44100, 1},
              Output{"High Quality - 44100 Hz, Stereo, 256 kbps", "MP3", 1152.0 / 44100, 400}}) {
            w->SelectOutputFormat(o.preset, "AudioFormat", o.format);
            DialogCloser closer;
            QVERIFY(RunBatch(*w));
            const QString output = ListItem(*w, 0, Item::ConvertedFileName);
            const QVector<qint16> kept = FirstSamples(output, 2000);
            QCOMPARE(kept.size(), 2000);
            const double length = DecodedDuration(output);
            QVERIFY2(std::abs(length - 3.25) <= o.lengthSlack, qPrintable(QString::number(length)));
            const int difference = BestDifference(kept, source, 5125 * 44100 / 1000);
            QVERIFY2(difference <= o.sampleSlack, qPrintable(QString::number(difference)));
            QFile::remove(output);
        }
    }

    void storedTrimsAndWholeSoundSaves() {
        auto w = windowWithTone();
        QVERIFY(w);
        FileListModel *list = w->fileList()->list();
        // A row that was never trimmed shows no selection; OK keeps the whole sound, marked.
        frmTrim *trim = OpenTrim(*w);
        QVERIFY(trim);
        QCOMPARE(Selection(trim), QStringLiteral("none"));
        trim->Cmd_Panels(5)->click();
        QTRY_VERIFY(!w->findChild<frmTrim *>());
        QCOMPARE(ListItem(*w, 0, Item::TrimStartInMs), QStringLiteral("0"));
        QCOMPARE(ListItem(*w, 0, Item::TrimDurationInMs), QStringLiteral("20000"));
        QCOMPARE(list->durationIcon(0), kTrimmedIcon);

        // That stored whole-sound trim shows no selection either; a drag across the whole
        // sound (past both ends) saves it untrimmed.
        trim = OpenTrim(*w);
        QVERIFY(trim);
        QCOMPARE(Selection(trim), QStringLiteral("none"));
        const QRect lanes = trim->waveform()->lanesRect();
        Drag(trim->waveform(), QPoint(lanes.left(), lanes.center().y()),
             QPoint(lanes.right() + 30, lanes.center().y()));
        QCOMPARE(trim->trimStartMs(), 0);
        QCOMPARE(trim->trimDurationMs(), 20000);
        trim->Cmd_Panels(5)->click();
        QTRY_VERIFY(!w->findChild<frmTrim *>());
        QCOMPARE(ListItem(*w, 0, Item::TrimDurationInMs), QStringLiteral("0"));
        QCOMPARE(list->durationIcon(0), 0);

        // A stored part of the sound opens selected; a click without dragging selects 0 ms
        // there, and saved it keeps from there to the end.
        list->setItem(0, Item::TrimStartInMs, "1000");
        list->setItem(0, Item::TrimDurationInMs, "2500");
        trim = OpenTrim(*w);
        QVERIFY(trim);
        QCOMPARE(Selection(trim), QStringLiteral("1000 3500"));
        QTest::mouseClick(trim->waveform(), Qt::LeftButton, {}, At(trim->waveform(), 15000));
        const int clicked = trim->trimStartMs();
        QVERIFY(std::abs(clicked - 15000) <= 30);
        QCOMPARE(Selection(trim), QStringLiteral("%1 %1").arg(clicked));
        QVERIFY(!trim->Cmd_Panels(10)->isEnabled());
        trim->Cmd_Panels(5)->click();
        QTRY_VERIFY(!w->findChild<frmTrim *>());
        QCOMPARE(ListItem(*w, 0, Item::TrimStartInMs), QString::number(clicked));
        QCOMPARE(ListItem(*w, 0, Item::TrimDurationInMs), QString::number(20000 - clicked));

        // Without exactly one selected row there is nothing to trim; the list's pop-up entry
        // opens the window like the button. Escape leaves the row as it was.
        w->fileList()->clearSelection();
        w->Cmd_FileListView(6)->click();
        QVERIFY(!w->findChild<frmTrim *>());
        QVERIFY(w->isEnabled());
        w->fileList()->selectRow(0);
        w->fileList()->mnuFileLists()->findChild<QAction *>("mnuFileList(3)")->trigger();
        trim = w->findChild<frmTrim *>();
        QVERIFY(WaitShown(trim));
        const QString wav = trim->trimTempWav();
        trim->waveform()->SetSelection(true, 100, 200);
        QTest::keyClick(trim, Qt::Key_Escape);
        QTRY_VERIFY(!w->findChild<frmTrim *>());
        QVERIFY(w->isEnabled());
        QVERIFY(!QFile::exists(wav));
        QCOMPARE(ListItem(*w, 0, Item::TrimStartInMs), QString::number(clicked));
    }

    void zoomingPlayingAndPausing() {
        auto w = windowWithTone();
        QVERIFY(w);
        w->fileList()->selectRow(0);
        w->previewPane()->Cmd_Player(0)->click();
        QVERIFY(w->previewPane()->isPlaying());
        frmTrim *trim = OpenTrim(*w);
        QVERIFY(trim);
        QVERIFY(!w->previewPane()->isPlaying());

        // (The zoom steps themselves are the waveform geometry's test.)
        trim->Cmd_Panels(7)->click();
        QCOMPARE(Box(trim, "Txt_DurationView"), QStringLiteral("00:00:10.000"));
        trim->Cmd_Panels(8)->click();
        QCOMPARE(Box(trim, "Txt_DurationView"), QStringLiteral("00:00:20.000"));

        // Play plays the selection through the shared player; Pause pauses and resumes.
        Player *player = w->player();
        trim->waveform()->SetSelection(true, 2000, 2600);
        trim->Cmd_Panels(1)->click();
        QCOMPARE(player->FilePath(), trim->trimTempWav());
        QCOMPARE(player->State(), PlayerState::Playing);
        QVERIFY(MediaPlayer().ownerFlags[OwnerTrimWindow]);
        QVERIFY(player->Position() >= 2000000);
        trim->Cmd_Panels(3)->click();
        QCOMPARE(player->State(), PlayerState::Paused);
        trim->Cmd_Panels(3)->click();
        QCOMPARE(player->State(), PlayerState::Playing);
        QTRY_COMPARE_WITH_TIMEOUT(player->State(), PlayerState::Ended, 5000);
        // The selection's end, give or take the player's 100 ms position ticks.
        QVERIFY2(player->Position() <= 2700000, qPrintable(QString::number(player->Position())));
        QCOMPARE(trim->waveform()->playPosition(), -1);
        QVERIFY(!MediaPlayer().ownerFlags[OwnerTrimWindow]);

        trim->Cmd_Panels(1)->click();
        trim->Cmd_Panels(4)->click();
        QCOMPARE(player->State(), PlayerState::Stopped);
        trim->Cmd_Panels(1)->click();
        trim->Cmd_Panels(6)->click();
        QTRY_VERIFY(!w->findChild<frmTrim *>());
        QVERIFY(!player->isActive());
    }

    void cancellingOrClosingWhileDecodingLeavesNothing() {
        auto w = windowWithTone();
        QVERIFY(w);
        const QString pipe = m_in + "pipe.wav";
        QFile::remove(pipe);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        FileListModel *list = w->fileList()->list();
        list->setItem(0, Item::FilePath, m_in);
        list->setItem(0, Item::FileName, "pipe.wav");
        list->setItem(0, Item::TrimStartInMs, "1000");
        list->setItem(0, Item::TrimDurationInMs, "2000");

        // Cancel in the wait window while the WAV is being written: the window stays, empty.
        {
            PipeFeeder feeder(pipe, m_promising);
            w->fileList()->selectRow(0);
            w->Cmd_FileListView(6)->click();
            auto *trim = w->findChild<frmTrim *>();
            QVERIFY(trim);
            QTRY_VERIFY(trim->waitWindow()->isVisible());
            QCOMPARE(trim->waitWindow()->mode(), int(frmWait::Decoding));
            QTRY_VERIFY_WITH_TIMEOUT(!TrimFiles().isEmpty(), 20000);
            trim->waitWindow()->findChild<QPushButton *>("Cmd_Cancel")->click();
            feeder.finish();
            QTRY_VERIFY_WITH_TIMEOUT(TrimFiles().isEmpty(), 20000);
            QTRY_VERIFY(!w->singleFileConversion()->engine()->isRunning());
            QVERIFY(trim->isVisible());
            QVERIFY(!trim->waitWindow()->isVisible());
            QCOMPARE(trim->soundEditor()->SoundLength(), 0);
            for (int index : {1, 3, 4, 5, 7, 8, 9, 10})
                QVERIFY(!trim->Cmd_Panels(index)->isEnabled());
            QVERIFY(m_messages.texts.isEmpty());
            trim->Cmd_Panels(6)->click();
            QTRY_VERIFY(!w->findChild<frmTrim *>());
            QVERIFY(w->isEnabled());
            QCOMPARE(ListItem(*w, 0, Item::TrimDurationInMs), QStringLiteral("2000"));
        }
        // Closing the window while decoding stops the engine without a word.
        {
            PipeFeeder feeder(pipe, m_promising);
            w->Cmd_FileListView(6)->click();
            auto *trim = w->findChild<frmTrim *>();
            QVERIFY(trim);
            QTRY_VERIFY_WITH_TIMEOUT(!TrimFiles().isEmpty(), 20000);
            QTest::keyClick(trim, Qt::Key_Escape);
            QTRY_VERIFY(!w->findChild<frmTrim *>());
            QVERIFY(w->isEnabled());
            feeder.finish();
            QTRY_VERIFY_WITH_TIMEOUT(TrimFiles().isEmpty(), 20000);
            QVERIFY(m_messages.texts.isEmpty());
        }
        // The program ending while the window decodes takes the window with it, and the WAV.
        {
            PipeFeeder feeder(pipe, m_promising);
            w->Cmd_FileListView(6)->click();
            QVERIFY(w->findChild<frmTrim *>());
            QTRY_VERIFY_WITH_TIMEOUT(!TrimFiles().isEmpty(), 20000);
            // The engine's last job waits for its read; a real file answers it, this pipe ends.
            connect(w.get(), &frmMain::unloaded, this, [&feeder]() { feeder.stop(); });
            w.reset();
            feeder.finish();
            QTRY_VERIFY_WITH_TIMEOUT(TrimFiles().isEmpty(), 20000);
        }
    }

    void inputsWithoutSoundAreRefusedWithAMessage() {
        // A sound stream without a single sample decodes to nothing; a video without sound has
        // nothing to decode, and the engine says so in its own words.
        const QString silent = m_in + "nothing.flac";
        const QString picture = m_in + "picture only.mkv";
        QVERIFY(RunFFmpeg(
            {"-f", "lavfi", "-i", "anullsrc=r=44100:cl=stereo", "-t", "0", "-c:a", "flac", silent}));
        QVERIFY(GenerateVideo(picture, 1.0, 160, 120, "25", {"-an"}));
        auto w = windowWithTone();
        QVERIFY(w);
        FileListModel *list = w->fileList()->list();
        for (const QString &path : {silent, picture}) {
            m_messages.clear();
            list->setItem(0, Item::FileName, QFileInfo(path).fileName());
            list->setItem(0, Item::FilePath, QFileInfo(path).absolutePath() + "/");
            w->fileList()->selectRow(0);
            w->Cmd_FileListView(6)->click();
            auto *trim = w->findChild<frmTrim *>();
            QVERIFY(trim);
            QTRY_COMPARE_WITH_TIMEOUT(m_messages.texts.size(), 1, 20000);
            const QString message = m_messages.texts.constFirst();
            if (path == silent) {
                QCOMPARE(message, "Trim - tone|" + path + "\r\n\r\nFile format error.");
            } else {
                QVERIFY2(message.startsWith("Trim - tone|") && message.size() > 20, qPrintable(message));
                QVERIFY(!message.contains("File format error."));
            }
            QCOMPARE(m_messages.styles.constFirst(), int(MsgExclamation));
            QVERIFY(trim->isVisible());
            QVERIFY(!trim->waitWindow()->isVisible());
            QVERIFY(!trim->Cmd_Panels(5)->isEnabled());
            QVERIFY(TrimFiles().isEmpty());
            trim->Cmd_Panels(6)->click();
            QTRY_VERIFY(!w->findChild<frmTrim *>());
        }
    }
};

TV_TEST_MAIN(FrmMainTrimTest)
#include "tst_frmmain_trim.moc"

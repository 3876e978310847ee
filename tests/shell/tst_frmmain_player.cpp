// The preview pane of the real main window and the separate player window, all in one window
// started once: each case leaves it with an empty list and the player stopped.
#include "DVD_Mods.h"
#include "FolderOpener.h"
#include "MainWindowDriver.h"
#include "Player.h"
#include "PlayerPane.h"
#include "PlayerWidgets.h"
#include "Slider_Ctrl.h"
#include "frmPlayer.h"

#include <QImageReader>
#include <QProgressBar>

using namespace tv;
using namespace tv::test;

namespace {

QString Tag(QObject *control) {
    return control->property("Tag").toString();
}

} // namespace

class FrmMainPlayerTest : public QObject {
    Q_OBJECT
private:
    QString m_video;  // 3 s, 320x240, with sound
    QString m_subbed; // 2 s, 160x120, with English and French subtitles
    MessageRecorder m_messages{AnsOk};
    std::unique_ptr<frmMain> w;

    // The window's list holding only path, selected.
    void show(const QString &path) {
        w->fileList()->RemoveAllFiles();
        w->importFile(path);
        w->fileList()->selectRow(0);
    }

private Q_SLOTS:
    void initTestCase() {
        qputenv("TUNEVANE_SILENT_PLAYER", "1");
        QDir().mkpath(Home().path() + "/Pictures");
        PrepareMainWindowTests();
        m_video = Home().path() + "/in/clip.mkv";
        m_subbed = Home().path() + "/in/subbed.mkv";
        QVERIFY(GenerateVideo(m_video, 3.0, 320, 240));
        QVERIFY(GenerateVideoWithSubtitles(m_subbed, 2.0, {"eng", "fre"}));
        w = StartMainWindow(Home().path() + "/out/");
        QVERIFY(w);
    }

    void init() { m_messages.clear(); }
    void cleanup() {
        w->previewPane()->Cmd_Player(1)->click();
        w->fileList()->RemoveAllFiles();
    }
    void cleanupTestCase() { w.reset(); }

    void theSelectedRowPlaysSeeksAndStopsAtItsEnd() {
        show(m_video);
        PlayerPane *pane = w->previewPane();
        Player *player = w->player();
        w->fileList()->clearSelection();
        pane->Cmd_Player(0)->click();
        QVERIFY(!player->isActive());

        w->fileList()->selectRow(0);
        QSignalSpy opened(player, &Player::FileOpened);
        pane->Cmd_Player(0)->click();
        QCOMPARE(Tag(pane->Cmd_Player(0)), QStringLiteral("Pause"));
        QVERIFY(MediaPlayer().ownerFlags[OwnerMainWindow]);
        QVERIFY(opened.wait(5000));
        QCOMPARE(pane->lbl_PlayTotal->text(), QStringLiteral("00:00:03"));
        QTRY_VERIFY(!pane->picPreview->picture().isNull());

        QProgressBar *bar = pane->ProgressBar_Play;
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
        const qint64 pixel = MediaPlayer().PlayerLength / bar->width() + 1;
        QVERIFY(qAbs(player->Position() - MediaPlayer().PlayerLength / 2) <= pixel);
        QTRY_VERIFY(Tag(pane->lbl_PlayTime) >= QStringLiteral("00:00:01.500"));
        QVERIFY(bar->value() >= bar->maximum() / 2 - 1);

        pane->Cmd_Player(0)->click();
        QCOMPARE(player->State(), PlayerState::Paused);
        const qint64 held = player->Position();
        pane->Cmd_Player(0)->click();
        QCOMPARE(player->State(), PlayerState::Playing);
        QVERIFY(player->Position() >= held);

        QTRY_COMPARE_WITH_TIMEOUT(Tag(pane->Cmd_Player(0)), QStringLiteral("Play"), 10000);
        QCOMPARE(player->State(), PlayerState::Ended);
        QCOMPARE(Tag(pane->lbl_PlayTime), QStringLiteral("00:00:00.000"));
        QVERIFY(bar->value() == 0 && pane->picPreview->picture().isNull());
        QVERIFY(!MediaPlayer().ownerFlags[OwnerMainWindow]);
    }

    void volumeZeroLooksMutedAndTheListTogglesWithSpaceAndStopsBeforeRemoving() {
        show(m_video);
        PlayerPane *pane = w->previewPane();
        Player *player = w->player();
        // The button, the volume and the mute as one text, e.g. "Off 0 unmuted": volume 0 looks
        // muted without muting.
        const auto sound = [&]() {
            return QString("%1 %2 %3")
                .arg(Tag(pane->Cmd_Player(2)))
                .arg(player->Volume())
                .arg(player->Mute() ? "muted" : "unmuted");
        };
        QStringList sounds;
        QCOMPARE(pane->Slider_MPVolume->setValue(0), 0);
        sounds << sound();
        QCOMPARE(pane->Slider_MPVolume->setValue(60), 0);
        sounds << sound();
        for (int click = 0; click < 2; ++click) {
            pane->Cmd_Player(2)->click();
            sounds << sound();
        }
        QCOMPARE(sounds, QStringList({"Off 0 unmuted", "On 60 unmuted", "Off 60 muted", "On 60 unmuted"}));

        // (What the keys do in the list is the list's own test.)
        QTest::keyClick(w->fileList(), Qt::Key_Space);
        QCOMPARE(player->State(), PlayerState::Playing);
        QTest::keyClick(w->fileList(), Qt::Key_Delete);
        QCOMPARE(w->fileList()->list()->rowCount(), 0);
        QVERIFY(!player->isActive());
    }

    void aMissingFileIsSaidAndABatchStopsPlaying() {
        const QString doomed = Home().path() + "/in/doomed.mkv";
        QVERIFY(QFile::copy(m_video, doomed));
        show(doomed);
        QVERIFY(QFile::remove(doomed));
        PlayerPane *pane = w->previewPane();
        pane->Cmd_Player(0)->click();
        QCOMPARE(m_messages.texts, QStringList{"Attention!|" + doomed + "\nFile not found!"});

        show(m_video);
        pane->Cmd_Player(0)->click();
        QTRY_VERIFY(!pane->picPreview->picture().isNull());
        QWidget *controls = w->findChild<QWidget *>("PlayerControls");
        auto *total = w->findChild<QProgressBar *>("ProgressBar_Total");
        QVERIFY(controls->isVisible());

        // Convert Now stops the player, and the total bar takes the controls' place meanwhile.
        DialogCloser closer;
        QSignalSpy completed(w.get(), &frmMain::batchCompleted);
        w->Cmd_FileListView(3)->click();
        QVERIFY(!w->player()->isActive());
        QVERIFY(total->isVisible());
        QVERIFY(!controls->isVisible());
        QVERIFY(completed.wait(60000));
        QVERIFY(!total->isVisible());
        QVERIFY(controls->isVisible());
    }

    void thePlayerWindowTakesThePlayerAndGivesItBack() {
        show(m_subbed);
        PlayerPane *main = w->previewPane();
        Player *player = w->player();
        QCOMPARE(main->Slider_MPVolume->setValue(37), 0);
        main->Cmd_Player(0)->click();
        QTRY_COMPARE(main->lbl_PlayTotal->text(), QStringLiteral("00:00:02"));

        w->findChild<QPushButton *>("Cmd_PlayerWindow")->click();
        QCOMPARE(Tag(main->Cmd_Player(0)), QStringLiteral("Play"));
        auto *window = qobject_cast<frmPlayer *>(VisibleWindow("frmPlayer"));
        QVERIFY(window);
        PlayerPane *pane = window->pane();
        QTRY_COMPARE(Tag(pane->Cmd_Player(0)), QStringLiteral("Pause"));
        QCOMPARE(pane->Slider_MPVolume->Value(), 37);
        QVERIFY(MediaPlayer().ownerFlags[OwnerPlayerWindow] && !MediaPlayer().ownerFlags[OwnerMainWindow]);

        // Its events go to its own controls only.
        QTRY_VERIFY(!pane->picPreview->picture().isNull());
        QTRY_VERIFY(Tag(pane->lbl_PlayTime) != QStringLiteral("00:00:00.000"));
        QCOMPARE(Tag(main->lbl_PlayTime), QStringLiteral("00:00:00.000"));
        QVERIFY(main->picPreview->picture().isNull());

        // Sound first, then subtitles off and one entry per subtitle stream.
        auto *streams = window->findChild<QComboBox *>("Combo_AudioSubTitle");
        QTRY_COMPARE(streams->count(), 5);
        emit streams->activated(4);
        QVERIFY(player->Subtitles());
        QCOMPARE(player->SubtitleStream(), 3);
        emit streams->activated(2);
        QVERIFY(!player->Subtitles());

        auto *full = window->findChild<QPushButton *>("Cmd_FullScreen");
        full->click();
        QVERIFY(window->isFullScreen());
        full->click();

        // A snapshot proposes the time as its name and is written in the chosen format (every
        // format is the player's test).
        const QString folder = Home().path() + "/shots";
        QDir().mkpath(folder);
        QString proposed;
        OnNextModal(this, [&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            proposed = dialog->selectedFiles().value(0);
            dialog->selectNameFilter("GIF (*.gif)");
            emit dialog->filterSelected("GIF (*.gif)");
            dialog->setDirectory(folder);
            dialog->selectFile(folder + "/shot");
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        pane->Cmd_Player(4)->click();
        QVERIFY2(QFileInfo(proposed).fileName().startsWith("Snapshot-00.00.0"), qPrintable(proposed));
        QCOMPARE(QImageReader(folder + "/shot.gif").format(), QByteArray("gif"));
        QCOMPARE(ReadSetting("CapturePath"), folder + "/");
        QStringList shown;
        SetFolderOpenerBackend([&shown](const QString &path, bool) { shown << path; });
        window->findChild<QAction *>("mnuSnapShot")->trigger();
        QCOMPARE(shown, QStringList{folder + "/"});
        SetFolderOpenerBackend({});

        // The end of the file stops the player window, not the main window.
        QTRY_COMPARE_WITH_TIMEOUT(Tag(pane->Cmd_Player(0)), QStringLiteral("Play"), 10000);
        QCOMPARE(Tag(main->lbl_PlayTime), QStringLiteral("00:00:00.000"));
        QVERIFY(!MediaPlayer().ownerFlags[OwnerPlayerWindow]);

        // Closed, it hands the player back: the main window plays and hears of it again.
        pane->Cmd_Player(3)->click();
        QTRY_VERIFY(!VisibleWindow("frmPlayer"));
        QCOMPARE(w->playerEvents()->owner(), static_cast<PlayerHost *>(main));
        main->lbl_PlayTotal->clear();
        main->Cmd_Player(0)->click();
        QTRY_COMPARE(main->lbl_PlayTotal->text(), QStringLiteral("00:00:02"));
        main->Cmd_Player(1)->click();
        QVERIFY(!player->isActive());
    }

    void anUnplayableFileIsSaidAndTheIdlePanelSlidesAway() {
        const QString empty = WriteFile(Home().path() + "/in/empty.mp4", QByteArray());
        auto *broken = new frmPlayer(w->playerEvents(), empty, w->previewPane()->Slider_MPVolume, w.get());
        broken->setAttribute(Qt::WA_DeleteOnClose);
        broken->show();
        QTRY_COMPARE(m_messages.texts, QStringList{"Sorry!|empty.mp4 is not playable!"});
        broken->close();

        auto *window = new frmPlayer(w->playerEvents(), m_video, w->previewPane()->Slider_MPVolume, w.get());
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QTRY_COMPARE(Tag(window->pane()->Cmd_Player(0)), QStringLiteral("Pause"));
        QVERIFY(!window->panelHidden());
        // The pointer rests: the panel slides out; it moves: the panel comes back.
        QTRY_VERIFY_WITH_TIMEOUT(window->panelHidden(), 8000);
        QCursor::setPos(QCursor::pos() + QPoint(20, 20));
        QTRY_VERIFY_WITH_TIMEOUT(!window->panelHidden(), 3000);
        window->close();
    }

    // (Which files of the folder are titles, and their order, is the player's own test.)
    void theDvdFolderMenuImportsTheTitlesOrSaysThereAreNone() {
        const QString disc = Home().path() + "/disc/";
        QDir().mkpath(disc + "VIDEO_TS");
        QVERIFY(RunFFmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1", "-f", "lavfi",
                           "-i", "sine=duration=1", "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "vob",
                           disc + "VIDEO_TS/VTS_01_1.VOB"}));
        auto *menu = w->findChild<QMenu *>("mnuDisc");
        emit menu->aboutToShow();
        AnswerFolderPicker(this, Home().path() + "/disc");
        menu->findChild<QAction *>("mnuLoadDVDFolder")->trigger();
        QTRY_COMPARE(w->fileList()->list()->rowCount(), 1);
        QCOMPARE(ListItem(*w, 0, Item::Name), QStringLiteral("VTS_01_1"));

        w->LoadDvdSource(Home().path() + "/in/");
        QCOMPARE(m_messages.texts, QStringList{"Information|There is no DVD video source."});
    }
};

TV_TEST_MAIN(FrmMainPlayerTest)
#include "tst_frmmain_player.moc"

// The player engine on the silent clock: real files opened, played in real time, sought,
// snapshotted and broken; and the DVD video files of a VIDEO_TS folder.
#include "DVD_Mods.h"
#include "MediaGen.h"
#include "MediaPlayer_Mod.h"
#include "Player.h"
#include "PlayerClock.h"
#include "Snapshot.h"
#include "TestEnv.h"

#include <QImageReader>

using namespace tv;
using namespace tv::test;

namespace {

// Everything a player tells, in order.
struct Watch {
    explicit Watch(Player &player)
        : opened(&player, &Player::FileOpened), failed(&player, &Player::OpenFailed),
          states(&player, &Player::StateChanged), positions(&player, &Player::PositionChanged),
          pictures(&player, &Player::PictureReady) {}
    bool waitForState(PlayerState state, int ms = 15000) {
        return QTest::qWaitFor(
            [&]() {
                for (const auto &args : std::as_const(states))
                    if (args.at(0).toInt() == int(state))
                        return true;
                return false;
            },
            ms);
    }
    qint64 lastPicturePosition() const {
        return pictures.isEmpty() ? -1 : pictures.last().at(1).toLongLong();
    }
    QSignalSpy opened, failed, states, positions, pictures;
};

PlayerOpenRequest Request(const QString &path, qint64 start = 0, qint64 end = 0) {
    PlayerOpenRequest request;
    request.path = path;
    request.start = start;
    request.end = end;
    return request;
}

} // namespace

class PlayerTest : public QObject {
    Q_OBJECT
private:
    QString m_video; // 3 s, 320x240, 25 pictures a second, with sound

private Q_SLOTS:
    void initTestCase() {
        qputenv("TUNEVANE_SILENT_PLAYER", "1");
        m_video = Home().path() + "/media/clip.mkv";
        QVERIFY(GenerateVideo(m_video, 3.0, 320, 240));
    }

    void playsAFileToItsEndInRealTime() {
        Player player;
        QVERIFY(player.Initialize(QString()));
        QVERIFY(!player.hasSoundCard());
        Watch watch(player);
        QElapsedTimer clock;
        clock.start();
        player.Open(Request(m_video));
        QVERIFY(watch.opened.wait(5000));
        QVERIFY(qAbs(watch.opened.first().at(0).toLongLong() - 3000000) < 60000);
        QCOMPARE(watch.opened.first().at(1).toSize(), QSize(320, 240));
        QCOMPARE(player.Media().audioStreams.size(), 1);
        QVERIFY(watch.waitForState(PlayerState::Ended));
        // The silent clock keeps real time: the file cannot end sooner than it lasts.
        QVERIFY2(clock.elapsed() >= 2900, qPrintable(QString::number(clock.elapsed())));

        qint64 previous = -1;
        for (const auto &args : std::as_const(watch.positions)) {
            QVERIFY(args.at(0).toLongLong() >= previous);
            previous = args.at(0).toLongLong();
        }
        QVERIFY(watch.positions.size() >= 20);
        QVERIFY(previous >= 2900000);
        // Nearly every picture is shown (a busy machine may drop a few), in time order.
        QVERIFY2(watch.pictures.size() >= 50, qPrintable(QString::number(watch.pictures.size())));
        QVERIFY(watch.lastPicturePosition() >= 2900000);
        QCOMPARE(watch.states.last().at(0).toInt(), int(PlayerState::Ended));
        QVERIFY(watch.failed.isEmpty());
    }

    void seeksAndRangesLandWithinOneFrame() {
        Player player;
        player.Initialize(QString());
        Watch watch(player);
        player.Open(Request(m_video));
        QVERIFY(watch.pictures.wait(5000));
        player.Pause();
        QCOMPARE(player.State(), PlayerState::Paused);
        const qint64 held = player.Position();
        watch.pictures.clear();

        // While paused the clock holds, and a seek still shows the picture at the new place.
        player.Seek(2000000);
        QCOMPARE(player.Position(), 2000000);
        QVERIFY(watch.pictures.wait(5000));
        QVERIFY(qAbs(watch.lastPicturePosition() - 2000000) <= 40000);
        QVERIFY(held < 2000000);
        QCOMPARE(player.Position(), 2000000);
        player.Resume();
        QVERIFY(watch.waitForState(PlayerState::Ended));

        // A range plays from its start to its end only (the trim window's selection).
        Watch range(player);
        player.Open(Request(m_video, 1000000, 1500000));
        QVERIFY(range.waitForState(PlayerState::Ended));
        QVERIFY(!range.pictures.isEmpty());
        QVERIFY(qAbs(range.pictures.first().at(1).toLongLong() - 1000000) <= 40000);
        QVERIFY(range.lastPicturePosition() < 1500000);
        QVERIFY(qAbs(range.positions.last().at(0).toLongLong() - 1500000) <= 60000);
    }

    void stopAndReopenDropTheOldFile() {
        const QString other = Home().path() + "/media/other.mkv";
        QVERIFY(GenerateVideo(other, 1.0, 160, 120));
        Player player;
        player.Initialize(QString());
        Watch watch(player);
        player.Open(Request(m_video));
        QVERIFY(watch.pictures.wait(5000));
        player.Stop();
        QCOMPARE(watch.states.last().at(0).toInt(), int(PlayerState::Stopped));
        watch.pictures.clear();
        watch.states.clear();

        // Nothing of the stopped file arrives once another plays: every picture is the new one's.
        player.Open(Request(other));
        QVERIFY(watch.waitForState(PlayerState::Ended));
        for (const auto &args : std::as_const(watch.pictures))
            QCOMPARE(args.at(0).value<QImage>().size(), QSize(160, 120));
        QCOMPARE(watch.opened.last().at(1).toSize(), QSize(160, 120));
    }

    void filesThatCannotPlayAreSaid() {
        Player player;
        player.Initialize(QString());
        Watch watch(player);
        player.Open(Request(Home().path() + "/missing.mp3"));
        QVERIFY(watch.failed.wait(5000));
        QCOMPARE(watch.failed.last().at(0).toString(), QStringLiteral("No such file or directory"));
        QCOMPARE(player.State(), PlayerState::Stopped);

        const QString empty = WriteFile(Home().path() + "/empty.mp4", QByteArray());
        player.Open(Request(empty));
        QVERIFY(watch.failed.wait(5000));
        QCOMPARE(watch.failed.last().at(0).toString(),
                 QStringLiteral("Invalid data found when processing input"));
        QCOMPARE(player.LastError(), QStringLiteral("Invalid data found when processing input"));

        // A file deleted while it plays plays on from what is open, to its end.
        const QString doomed = Home().path() + "/media/doomed.mkv";
        QVERIFY(GenerateVideo(doomed, 1.0, 160, 120));
        player.Open(Request(doomed));
        QVERIFY(watch.pictures.wait(5000));
        QVERIFY(QFile::remove(doomed));
        QVERIFY(watch.waitForState(PlayerState::Ended));
        QCOMPARE(watch.opened.size(), 1);
    }

    void soundFilesKeepTimeAndShowTheirCover() {
        const QString cover = Home().path() + "/media/cover.png";
        const QString song = Home().path() + "/media/song.mp3";
        QVERIFY(GeneratePicture(cover, 96, 64));
        QVERIFY(GenerateTaggedTone(song, 1.5, {"title=Song"}, cover));
        Player player;
        player.Initialize(QString());
        Watch watch(player);
        QElapsedTimer clock;
        clock.start();
        player.Open(Request(song));
        QVERIFY(watch.waitForState(PlayerState::Ended));
        // Paced by its sound alone, the file still takes its length to play.
        QVERIFY2(clock.elapsed() >= 1400, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(watch.opened.first().at(1).toSize(), QSize());
        QVERIFY(player.Media().hasAudio);
        QCOMPARE(watch.pictures.size(), 1);
        QCOMPARE(watch.pictures.first().at(0).value<QImage>().size(), QSize(96, 64));
    }

    void commandsPlayPauseStopAndGoToTheEnd() {
        Player player;
        Watch watch(player);
        PlayerSettings settings;
        settings.filePath = m_video;
        settings.volume = 40;
        QCOMPARE(PlayerCommand(player, -1, settings), QString());
        QVERIFY(player.IsInitialized());
        QCOMPARE(player.Volume(), 40);
        QVERIFY(watch.opened.wait(5000));
        QCOMPARE(PlayerCommand(player, 1, settings), QString());
        QCOMPARE(player.State(), PlayerState::Paused);
        QCOMPARE(PlayerCommand(player, 1, settings), QString());
        QCOMPARE(player.State(), PlayerState::Playing);
        // Command 3 goes to the end, which ends the file at once.
        QCOMPARE(PlayerCommand(player, 3, settings), QString());
        QVERIFY(watch.waitForState(PlayerState::Ended, 3000));
        // Command 0 plays a stopped file again from the record's path.
        watch.opened.clear();
        QCOMPARE(PlayerCommand(player, 0, settings), QString());
        QVERIFY(watch.opened.wait(5000));
        QCOMPARE(PlayerCommand(player, 2, settings), QString());
        QCOMPARE(player.State(), PlayerState::Stopped);
    }

    void textSubtitlesAreDrawnOverThePicture() {
        const QString path = Home().path() + "/media/subtitled.mkv";
        QVERIFY(GenerateVideoWithSubtitles(path, 1.0, {"eng"}));
        QImage plain, subtitled;
        for (bool on : {false, true}) {
            Player player;
            player.Initialize(QString());
            Watch watch(player);
            PlayerOpenRequest request = Request(path);
            request.subtitleStream = on ? 2 : -1;
            player.Open(request);
            QVERIFY(watch.pictures.wait(5000));
            (on ? subtitled : plain) = watch.pictures.first().at(0).value<QImage>();
            QCOMPARE(player.Media().subtitleStreams.size(), 1);
            QCOMPARE(player.Media().subtitleStreams.first().index, 2);
        }
        QCOMPARE(plain.size(), subtitled.size());
        // The subtitle sits in the lower part of the picture; the upper part is the same.
        const int half = plain.height() / 2;
        QCOMPARE(plain.copy(0, 0, plain.width(), half / 2), subtitled.copy(0, 0, plain.width(), half / 2));
        QVERIFY(plain.copy(0, half, plain.width(), half) != subtitled.copy(0, half, plain.width(), half));
    }

    void snapshotsAreWrittenInEveryFormat() {
        Player player;
        player.Initialize(QString());
        Watch watch(player);
        PlayerOpenRequest request = Request(m_video, 1000000);
        request.box = QSize(100, 100); // the window is small; the snapshot keeps the frame's size
        player.Open(request);
        QVERIFY(watch.pictures.wait(5000));
        player.Pause();
        QCOMPARE(player.CurrentPicture().size(), QSize(100, 75));
        const QImage frame = player.Snapshot();
        QCOMPARE(frame.size(), QSize(320, 240));

        const QString folder = Home().path() + "/Pictures/";
        QDir().mkpath(folder);
        for (int filter = 1; filter <= 5; ++filter) {
            const QString path = SnapshotPath(folder + "Snapshot-00.00.01", filter);
            QCOMPARE(SnapshotPath(path, filter), path);
            QCOMPARE(SaveSnapshot(frame, path, filter), QString());
            QImageReader reader(path);
            QCOMPARE(reader.format(), QByteArray("png jpeg gif bmp tiff").split(' ').at(filter - 1));
            QCOMPARE(reader.read().size(), QSize(320, 240));
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 5);
        QVERIFY(!SaveSnapshot(frame, Home().path() + "/no/such/folder/x.png", 1).isEmpty());
        QVERIFY(!SaveSnapshot(frame, Home().path() + "/no/such/folder/x.gif", 3).isEmpty());
    }

    void aDvdFolderGivesItsTitlesInOrder() {
        const QString disc = Home().path() + "/disc/";
        for (const QString name : {"VTS_01_2.VOB", "video_ts.vob", "VTS_01_1.vob", "VTS_01_0.IFO"})
            WriteFile(disc + "VIDEO_TS/" + name);
        QCOMPARE(DvdSourceFolder(disc), disc + "VIDEO_TS/");
        QCOMPARE(DvdSourceFolder(disc + "VIDEO_TS"), disc + "VIDEO_TS/");
        const QStringList files = DvdVideoFiles(DvdSourceFolder(disc));
        QCOMPARE(files, QStringList({disc + "VIDEO_TS/VTS_01_1.vob", disc + "VIDEO_TS/VTS_01_2.VOB",
                                     disc + "VIDEO_TS/video_ts.vob"}));
        QVERIFY(DvdVideoFiles(Home().path()).isEmpty());
    }
};

TV_TEST_MAIN(PlayerTest)
#include "tst_player.moc"

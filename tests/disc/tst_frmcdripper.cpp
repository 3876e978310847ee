// The ripper window as a user meets it: a disc image chosen like a drive, its CD-Text and
// MusicBrainz information in the labels and rows, ticks, "Add to list" into the real main
// window's list with the disc's tags, Stop, closing while ripping, damaged and data-only discs.
#include "Config.h"
#include "DiscId.h"
#include "DiscTestSupport.h"
#include "MainWindowDriver.h"
#include "MediaItem.h"
#include "MediaItemTags.h"
#include "MessageBox.h"
#include "RipJob.h"
#include "TestEnv.h"
#include "TextServer.h"
#include "TrackListModel.h"
#include "WindowDriver.h"
#include "frmCDRipper.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <utility>

using namespace tv;
using namespace tv::test;

namespace {

QString Label(QWidget *window, int index) {
    return Find<QLabel>(window, QStringLiteral("lbl_CD(%1)").arg(index))->text();
}

QPushButton *Panel(QWidget *window, int index) {
    return Push(window, QStringLiteral("Cmd_Panel(%1)").arg(index));
}

frmCDRipper *OpenRipper(frmMain &main, const QString &image) {
    main.OpenCDRipper(image);
    return main.findChild<frmCDRipper *>(QStringLiteral("frmCDRipper"));
}

} // namespace

class TestFrmCDRipper : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // No test reaches the real web service.
        qputenv("TUNEVANE_LINK_MUSICBRAINZ", "http://127.0.0.1:1/ws/2/");
        qputenv("TUNEVANE_LINK_COVERART", "http://127.0.0.1:1/caa/");
        PrepareMainWindowTests();
    }

    void init() {
        if (CorpusImagesFolder().isEmpty())
            QSKIP("The corpus of disc images is absent.");
    }

    void discsWithoutAudioOrDamagedAreSaidSo() {
        MessageRecorder messages(AnsOk);
        frmCDRipper window({}, nullptr, CorpusImagesFolder() + QStringLiteral("/libcdio/isofs-m1.cue"));
        window.show();
        window.Form_Load();
        QTRY_COMPARE(window.trackList()->emptyText(),
                     QStringLiteral("The specified CD track is not an audio track!"));
        QCOMPARE(window.trackList()->rowCount(), 0);
        // Nothing to rip, and an image has no tray.
        QVERIFY(!Panel(&window, 4)->isEnabled());
        QVERIFY(!Panel(&window, 0)->isEnabled());

        // A damaged image is explained and leaves the drive box; the window stays usable.
        const QString bad = CorpusImagesFolder() + QStringLiteral("/libcdio/bad/bad-mode1.cue");
        window.OpenDiscImage(bad);
        QTRY_COMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts.constFirst().contains(QStringLiteral("bad-mode1.cue")),
                 qPrintable(messages.texts.constFirst()));
        auto *drives = Find<QComboBox>(&window, "ComboCdDrives");
        QTRY_VERIFY(drives->isEnabled());
        for (int i = 0; i < drives->count(); ++i)
            QVERIFY(!drives->itemText(i).contains(QStringLiteral("bad-mode1")));
    }

    void withoutDriveOrImageTheWindowCloses() {
        if (!ListCdDrives().isEmpty())
            QSKIP("This machine has a CD drive.");
        MessageRecorder messages(AnsOk);
        DialogCloser cancel;
        auto *window = new frmCDRipper({});
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<frmCDRipper> alive = window;
        window->show();
        window->Form_Load();
        QTRY_VERIFY(!alive);
        QCOMPARE(cancel.seen, QStringList{"dlgOpenDiscImage"});
        QCOMPARE(messages.texts, QStringList{"|No CD Drive available!"});
    }

    void ripGoesToTheMainListWithTheDiscTagsAndCover() {
        QTemporaryDir folder;
        TextServer server;
        qputenv("TUNEVANE_LINK_MUSICBRAINZ", server.url("/ws/2/").toUtf8());
        qputenv("TUNEVANE_LINK_COVERART", server.url("/caa/").toUtf8());
        const QString image = WriteToneImage(folder.path(), "album", {400, 500, 350},
                                             {"Tone Album", "The Tones", "Low", "Middle", "High"});
        const QString id = MusicBrainzDiscId(ReadDisc(image).toc);
        server.reply("/ws/2/discid/" + id,
                     "{\"releases\":[" + ReleaseJson("rel", "Tones", "1999-09-09", id, {}) + "]}");
        server.reply("/caa/release/rel/front-500", Jpeg(Qt::blue), "image/jpeg");

        auto main = StartMainWindow();
        QVERIFY(main);
        frmCDRipper *ripper = OpenRipper(*main, image);
        QVERIFY(ripper);
        QPointer<frmCDRipper> alive = ripper;
        QTRY_COMPARE(Label(ripper, 3), QStringLiteral("1999"));
        QCOMPARE(Label(ripper, 0), QStringLiteral("The Tones"));
        // Blue, not the light grey of the empty case the box shows until the cover arrives.
        const auto coverColour = [&]() {
            return Find<QLabel>(ripper, "Pic_CDCoverCaseLarge")->pixmap().toImage().pixelColor(50, 50);
        };
        QTRY_VERIFY(coverColour().blue() > 200 && coverColour().red() < 100);
        // The web service is asked once per disc.
        QCOMPARE(server.requests.filter(QStringLiteral("/ws/2/discid/")).size(), 1);
        TrackListModel *tracks = ripper->trackList();
        QCOMPARE(tracks->rowCount(), 3);
        QCOMPARE(tracks->title(1), QStringLiteral("Middle"));
        // Space on the focused track unticks it.
        auto *view = Find<QTableView>(ripper, "TrackViewMain");
        view->setFocus();
        view->setCurrentIndex(tracks->index(1, TrackListModel::TitleColumn));
        QTest::keyClick(view, Qt::Key_Space);
        QVERIFY(!tracks->isTicked(1));

        Panel(ripper, 4)->click();
        // A finished rip closes the window; the list holds one row per ticked track.
        QTRY_VERIFY_WITH_TIMEOUT(!alive, 30000);
        QTRY_COMPARE(main->fileList()->list()->rowCount(), 2);
        const QStringList titles{"Low", "High"};
        const QStringList numbers{"1", "3"};
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(ListItem(*main, row, Item::TagTitle), titles.at(row));
            QCOMPARE(ListItem(*main, row, Item::TagArtist), QStringLiteral("The Tones"));
            QCOMPARE(ListItem(*main, row, Item::TagAlbum), QStringLiteral("Tone Album"));
            QCOMPARE(ListItem(*main, row, Item::TagYear), QStringLiteral("1999"));
            QCOMPARE(ListItem(*main, row, Item::TagTrack), numbers.at(row));
            const QString thumbnail = ListItem(*main, row, Item::Thumbnail);
            QCOMPARE(QImage(thumbnail).pixelColor(30, 30).blue() > 200, true);
            // The disc's cover is what the row's outputs get as their cover.
            QCOMPARE(TagRecordOfItem(main->fileList()->list()->mediaItem(row)).picturePath, thumbnail);
        }
        // The rip log names each track's checksums, also in the next ripper window.
        frmCDRipper *again = OpenRipper(*main, image);
        const QString log = again->ripLog();
        for (int row = 0; row < 2; ++row) {
            const QByteArray samples = WavSamples(main->fileList()->list()->mediaItem(row).inputPath());
            QVERIFY(log.contains(ChecksumText(ReferenceCrc32(samples))));
        }
        DialogCloser closeLog([&](QWidget *dialog) {
            QVERIFY(dialog->findChild<QPlainTextEdit *>("Txt_Log")->toPlainText() == log);
            QMetaObject::invokeMethod(dialog, "reject");
        });
        QTRY_VERIFY(Find<QPushButton>(again, "Cmd_RipLog")->isEnabled());
        Find<QPushButton>(again, "Cmd_RipLog")->click();
        QCOMPARE(closeLog.seen, QStringList{"frmRipLog"});
        again->close();
    }

    void severalReleasesAreChosenByTheUser() {
        QTemporaryDir folder;
        TextServer server;
        qputenv("TUNEVANE_LINK_MUSICBRAINZ", server.url("/ws/2/").toUtf8());
        const QString image = WriteToneImage(folder.path(), "twice", {300, 300});
        const QString id = MusicBrainzDiscId(ReadDisc(image).toc);
        server.reply("/ws/2/discid/" + id, "{\"releases\":[" +
                                               ReleaseJson("e", "Early", "2001", id, {"A", "Early B"}) + "," +
                                               ReleaseJson("l", "Late", "2002", id, {"A", "Late B"}) + "]}");
        DialogCloser chooser([](QWidget *dialog) {
            dialog->findChild<QListWidget *>("List_Releases")->setCurrentRow(1);
            Push(dialog, "Cmd_Panels(1)")->click();
        });
        frmCDRipper window({}, nullptr, image);
        window.show();
        window.Form_Load();
        QTRY_COMPARE(Label(&window, 1), QStringLiteral("Late"));
        QCOMPARE(chooser.seen, QStringList{"frmReleaseChooser"});
        QCOMPARE(Label(&window, 0), QStringLiteral("Ann & Bob"));
        QCOMPARE(window.trackList()->title(1), QStringLiteral("Late B"));
    }

    void stopEndsOnlyTheTrackBeingReadAndClosingWhileRippingAsksFirst() {
        QTemporaryDir folder;
        const QString image =
            WriteToneImage(folder.path(), "long", {300, 27000, 300}, {"Album", "Artist", "A", "B", "C"});
        MessageRecorder messages(AnsNo);
        auto main = StartMainWindow();
        QVERIFY(main);
        frmCDRipper *ripper = OpenRipper(*main, image);
        QPointer<frmCDRipper> alive = ripper;
        QTRY_VERIFY(Panel(ripper, 4)->isEnabled());
        bool stopOnce = true;
        connect(ripper->ripper(), &CdRipper::trackProgress, ripper, [ripper, &stopOnce](int track, int) {
            if (track == 2 && std::exchange(stopOnce, false))
                Panel(ripper, 4)->click();
        });
        QSignalSpy finished(ripper->ripper(), &CdRipper::ripFinished);
        Panel(ripper, 4)->click();
        // Closing the program while ripping asks first; No leaves the rip and the program going.
        main->close();
        QCOMPARE(messages.texts, QStringList{"|Are you sure you want to terminate it ?"});
        QVERIFY(alive && ripper->isVisible() && main->isVisible());
        QVERIFY(finished.wait(60000));
        TrackListModel *tracks = ripper->trackList();
        QCOMPARE(tracks->statusText(1), QStringLiteral("Canceled!"));
        QTRY_COMPARE(main->fileList()->list()->rowCount(), 1);
        QCOMPARE(ListItem(*main, 0, Item::TagTitle), QStringLiteral("A"));
        // The stopped track keeps its tick for the next try; the finished one gave its up.
        QVERIFY(!tracks->isTicked(0));
        QVERIFY(tracks->isTicked(1));

        // Yes ends the next rip, the window and the program with it.
        messages.answer = AnsYes;
        Panel(ripper, 4)->click();
        main->close();
        QTRY_VERIFY(!alive);
        QVERIFY(!main->isVisible());
    }
};

TV_TEST_MAIN(TestFrmCDRipper)
#include "tst_frmcdripper.moc"

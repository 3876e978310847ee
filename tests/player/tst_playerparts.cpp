// The player's parts on their own: the clock and the sound feed across seeks, pauses and stale
// epochs, and subtitles (text lines and pictures) drawn where they belong.
#include "AudioOutput.h"
#include "PlayerClock.h"
#include "TestEnv.h"
#include "VideoPicture.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

using namespace tv;

namespace {

// Lets `ms` milliseconds pass, measured by a running clock of its own.
void LetTimePass(int ms) {
    PlayerClock reference;
    reference.reset(0, 1);
    reference.start(1);
    QTRY_VERIFY(reference.now() >= ms * 1000);
}

} // namespace

class PlayerPartsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theClockHoldsPausesAndIgnoresOldEpochs() {
        PlayerClock clock;
        clock.reset(5000000, 1);
        QVERIFY(!clock.running());
        LetTimePass(30);
        QCOMPARE(clock.now(), 5000000); // held until started
        clock.start(0);                 // a start of an older epoch changes nothing
        QVERIFY(!clock.running());
        clock.start(1);
        QTRY_VERIFY(clock.now() >= 5020000);

        clock.pause();
        const qint64 held = clock.now();
        LetTimePass(30);
        QCOMPARE(clock.now(), held);
        clock.anchor(9000000, 10000000, 1); // the card's report while paused is ignored
        QCOMPARE(clock.now(), held);
        clock.resume();
        QTRY_VERIFY(clock.now() > held);

        // Anchored by the card, the clock never runs past the sound it was given.
        clock.anchor(7000000, 7010000, 1);
        QTRY_COMPARE(clock.now(), 7010000);
        LetTimePass(20);
        QCOMPARE(clock.now(), 7010000);
        clock.anchor(1000000, 2000000, 0); // a report from before the last seek
        QCOMPARE(clock.now(), 7010000);
    }

    void theFeedDropsWhatASeekLeftBehind() {
        AudioFeed feed;
        feed.configure(1000, 1, true); // 1000 samples a second, 2 bytes each
        const int first = feed.clear(0);
        QByteArray second(2000, '\1'); // one second
        feed.push(second.constData(), second.size(), 0, first);
        QCOMPARE(feed.end(), 1000000);

        char out[4096];
        qint64 position = -1;
        int epoch = -1;
        QCOMPARE(feed.read(out, 1001, &position, &epoch), 1000); // whole samples only
        QCOMPARE(position, 0);
        QCOMPARE(epoch, first);
        QCOMPARE(feed.read(out, 4096, &position, &epoch), 1000);
        QCOMPARE(position, 500000);

        // After a seek, what the decoder still pushes for the old place is not played.
        const int sought = feed.clear(8000000);
        QCOMPARE(feed.end(), 8000000);
        feed.push(second.constData(), second.size(), 1000000, first);
        QCOMPARE(feed.read(out, 4096, &position, &epoch), 0);
        QCOMPARE(feed.end(), 8000000);
        feed.push(second.constData(), 200, 8000000, sought);
        QCOMPARE(feed.end(), 8100000);
        QCOMPARE(feed.read(out, 4096, &position, &epoch), 200);
        QCOMPARE(position, 8000000);
        QCOMPARE(epoch, sought);

        // Without a sound card nothing is stored; only the end of the sound moves.
        AudioFeed silent;
        silent.configure(1000, 1, false);
        const int e = silent.clear(0);
        silent.push(second.constData(), second.size(), 0, e);
        QCOMPARE(silent.end(), 1000000);
        QCOMPARE(silent.read(out, 4096, &position, &epoch), 0);
    }

    void subtitlesAreDrawnWhereAndWhenTheyBelong() {
        QCOMPARE(SubtitleTrack::PlainText("0,0,Default,,0,0,0,,{\\i1}Hello{\\i0}, world\\Nsecond line"),
                 QStringLiteral("Hello, world\nsecond line"));

        // A 20x10 picture subtitle at (100, 50) of a 200x100 canvas, shown on a 400x200 picture.
        uint8_t indices[20 * 10];
        std::fill(std::begin(indices), std::end(indices), uint8_t(1));
        uint32_t palette[4] = {0x00000000u, 0xffff0000u, 0, 0};
        AVSubtitleRect rect{};
        rect.x = 100;
        rect.y = 50;
        rect.w = 20;
        rect.h = 10;
        rect.nb_colors = 4;
        rect.type = SUBTITLE_BITMAP;
        rect.data[0] = indices;
        rect.linesize[0] = 20;
        rect.data[1] = reinterpret_cast<uint8_t *>(palette);
        AVSubtitleRect *rects[] = {&rect};
        AVSubtitle subtitle{};
        subtitle.num_rects = 1;
        subtitle.rects = rects;
        subtitle.end_display_time = 1000;

        SubtitleTrack track;
        track.add(subtitle, 2000000, 0, QSize(200, 100));
        QImage before(400, 200, QImage::Format_RGB32);
        before.fill(Qt::black);
        QImage early = before;
        track.draw(early, 1900000);
        QCOMPARE(early, before); // not yet
        QImage shown = before;
        track.draw(shown, 2500000);
        QCOMPARE(QColor(shown.pixel(220, 110)), QColor(Qt::red));
        QCOMPARE(QColor(shown.pixel(195, 110)), QColor(Qt::black));
        QCOMPARE(QColor(shown.pixel(220, 125)), QColor(Qt::black));
        QImage late = before;
        track.draw(late, 3000000);
        QCOMPARE(late, before); // its second is over, and it is forgotten
        QImage again = before;
        track.draw(again, 2500000);
        QCOMPARE(again, before);
    }
};

TV_TEST_MAIN(PlayerPartsTest)
#include "tst_playerparts.moc"

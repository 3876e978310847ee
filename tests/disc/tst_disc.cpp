// The ripper's logic on disc images: tables of contents and CD-Text as cd-info reads them,
// bit-exact secure rips with their CRC32 and AccurateRip checksums, read offsets, stopping, a
// disc that stops reading, damaged images, and the MusicBrainz and cover look-ups against a
// local server.
#include "Config.h"
#include "DiscId.h"
#include "DiscSession.h"
#include "DiscSource.h"
#include "DiscTestSupport.h"
#include "RipJob.h"
#include "TestEnv.h"
#include "TextServer.h"

#include <QImage>

using namespace tv;
using namespace tv::test;

namespace {

// The corpus images that hold a disc (the damaged ones are in bad/).
QStringList CorpusImages() {
    QStringList images;
    const QString folder = CorpusImagesFolder();
    for (const QString &sub : {QStringLiteral("libcdio"), QStringLiteral("libcdio-paranoia")}) {
        QDirIterator it(folder + QLatin1Char('/') + sub, {"*.cue", "*.toc", "*.nrg"}, QDir::Files);
        while (it.hasNext())
            images << it.next();
    }
    images.sort();
    return images;
}

// Plans every audio track of a disc into folder/NN.wav.
RipRequest PlanAll(const DiscToc &toc, const QString &source, const QString &folder) {
    RipRequest request;
    request.source = source;
    for (const DiscTrack &track : toc.audioTracks())
        request.tracks << PlanTrack(toc, track, QStringLiteral("%1/%2.wav").arg(folder).arg(track.number));
    return request;
}

RipOutcome Rip(const RipRequest &request) {
    TaskControl control;
    return RunRip(request, control, {}, {});
}

} // namespace

class TestDisc : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ReadConfiguration(); }

    void init() {
        if (CorpusImagesFolder().isEmpty())
            QSKIP("The corpus of disc images is absent.");
    }

    void tocCdTextAndDiscIdMatchCdInfo() {
        if (!HaveCdInfo())
            QSKIP("cd-info (libcdio-utils) is not installed.");
        // The program runs from anywhere: image names inside .toc files must not depend on it.
        QTemporaryDir elsewhere;
        QDir::setCurrent(elsewhere.path());
        int compared = 0;
        for (const QString &image : CorpusImages()) {
            const CdInfoDisc expected = RunCdInfo(image);
            const DiscReading reading = ReadDisc(image);
            const QString name = QFileInfo(image).fileName();
            if (!expected.ok) {
                QVERIFY2(reading.code != 0 && !reading.message.isEmpty(), qPrintable(name));
                continue;
            }
            QCOMPARE(reading.code, 0);
            const DiscToc &toc = reading.toc;
            // cd-info prints addresses beyond 99 minutes through two-digit minutes, wrapped.
            if (std::any_of(toc.tracks.cbegin(), toc.tracks.cend(),
                            [](const DiscTrack &t) { return t.startLsn > 99 * 60 * 75; }))
                continue;
            ++compared;
            QCOMPARE(toc.firstTrack, expected.first);
            QCOMPARE(toc.tracks.size(), expected.lsn.size());
            QCOMPARE(toc.leadoutLsn, expected.leadout);
            for (int i = 0; i < toc.tracks.size(); ++i) {
                const qint64 end = i + 1 < expected.lsn.size() ? expected.lsn.at(i + 1) : expected.leadout;
                QCOMPARE(toc.tracks.at(i).startLsn, expected.lsn.at(i));
                QCOMPARE(toc.tracks.at(i).sectors, qMax<qint64>(0, end - expected.lsn.at(i)));
                QVERIFY2(toc.tracks.at(i).audio == expected.audio.at(i), qPrintable(name));
            }
            QCOMPARE(reading.cdText.album, expected.album);
            QCOMPARE(reading.cdText.artist, expected.artist);
            for (auto it = expected.titles.cbegin(); it != expected.titles.cend(); ++it)
                QCOMPARE(reading.cdText.titles.value(it.key()), it.value());
        }
        QVERIFY(compared >= 8);

        // The MusicBrainz disc ID of the table read; an Enhanced CD's data track after the audio is
        // left out.
        for (const QString &name : {QStringLiteral("libcdio/cdda_4_5.cue"), QStringLiteral("libcdio/p1.cue"),
                                    QStringLiteral("libcdio-paranoia/mixed-mode-cd.cue")}) {
            const QString image = CorpusImagesFolder() + QLatin1Char('/') + name;
            const CdInfoDisc disc = RunCdInfo(image);
            QVector<qint64> addresses;
            for (const qint64 lsn : disc.lsn)
                addresses << lsn + 150;
            const QString expected =
                ReferenceDiscId(disc.first, disc.first + disc.lsn.size() - 1, addresses, disc.leadout + 150);
            QCOMPARE(MusicBrainzDiscId(ReadDisc(image).toc), expected);
        }
        const QString extra = CorpusImagesFolder() + QStringLiteral("/libcdio-paranoia/cd-extra.cue");
        const CdInfoDisc disc = RunCdInfo(extra);
        QCOMPARE(MusicBrainzDiscId(ReadDisc(extra).toc),
                 ReferenceDiscId(1, 1, {disc.lsn.at(0) + 150}, disc.lsn.at(1) + 150));
    }

    void damagedImagesAreExplained() {
        const QString bad = CorpusImagesFolder() + QStringLiteral("/libcdio/bad");
        QDirIterator it(bad, QDir::Files);
        int refused = 0;
        while (it.hasNext()) {
            const QString image = it.next();
            const DiscReading reading = ReadDisc(image);
            if (reading.code == 0) {
                // What opens anyway must be a usable disc.
                QVERIFY(!reading.toc.isEmpty());
                continue;
            }
            ++refused;
            QVERIFY2(reading.message.contains(QFileInfo(image).fileName()), qPrintable(reading.message));
        }
        QVERIFY(refused > 0);
        const DiscReading missing = ReadDisc(bad + QStringLiteral("/no-such-image.cue"));
        QCOMPARE(missing.code, -35);
        QVERIFY(missing.message.contains(QStringLiteral("does not exist")));
    }

    void ripsAreBitExactWithTheirChecksums() {
        QTemporaryDir out;
        int ripped = 0;
        for (const QString &image : CorpusImages()) {
            if (!image.endsWith(QLatin1String(".cue")))
                continue;
            const QString bin = image.left(image.size() - 4) + QStringLiteral(".bin");
            const DiscReading reading = ReadDisc(image);
            if (reading.code != 0 || reading.toc.audioTracks().isEmpty())
                continue;
            const QByteArray disc = ReadFile(bin);
            QVERIFY(!disc.isEmpty());
            RipRequest request = PlanAll(reading.toc, image, out.path());
            const RipOutcome outcome = Rip(request);
            QCOMPARE(outcome.result, 1);
            QCOMPARE(outcome.tracks.size(), request.tracks.size());
            for (int i = 0; i < request.tracks.size(); ++i) {
                const RipTrackPlan &plan = request.tracks.at(i);
                const RipTrackResult &result = outcome.tracks.at(i);
                const QByteArray samples = WavSamples(plan.outputPath);
                // A drive reads a track from its index 1 up to the next track: a pregap before
                // index 1 of the first track stays unread.
                QCOMPARE(samples, disc.mid(qint64(plan.firstSector) * 2352, qint64(plan.sectors) * 2352));
                QVERIFY(result.status == RipStatus::Done);
                QVERIFY(result.tested);
                QCOMPARE(result.testCrc, ReferenceCrc32(samples));
                QCOMPARE(result.copyCrc, result.testCrc);
                const ArSums sums =
                    ReferenceAccurateRip(samples, plan.firstAudioOfDisc, plan.lastAudioOfDisc);
                QCOMPARE(result.accurateRipV1, sums.v1);
                QCOMPARE(result.accurateRipV2, sums.v2);
                QCOMPARE(result.skips, 0);
                ++ripped;
            }
        }
        QVERIFY(ripped >= 6);
    }

    void readOffsetShiftsTheSamples() {
        const QString image = CorpusImagesFolder() + QStringLiteral("/libcdio/cdda.cue");
        const QByteArray disc = ReadFile(CorpusImagesFolder() + QStringLiteral("/libcdio/cdda.bin"));
        QTemporaryDir out;
        const DiscToc toc = ReadDisc(image).toc;
        for (const int offset : {667, -48}) {
            RipRequest request = PlanAll(toc, image, out.path());
            request.readOffset = offset;
            request.testAndCopy = false;
            const RipOutcome outcome = Rip(request);
            QCOMPARE(outcome.result, 1);
            QVERIFY(!outcome.tracks.constFirst().tested);
            const QByteArray samples = WavSamples(request.tracks.constFirst().outputPath);
            QCOMPARE(samples.size(), disc.size());
            // What lies beyond the disc's audio reads as silence.
            const QByteArray silence(qAbs(offset) * 4, '\0');
            if (offset > 0)
                QCOMPARE(samples, disc.mid(offset * 4) + silence);
            else
                QCOMPARE(samples, silence + disc.left(disc.size() + offset * 4));
        }
    }

    void stopEndsOnlyTheTrackBeingRead() {
        QTemporaryDir folder;
        // Six minutes for the second track: it is still being read when the stop arrives.
        const QString image = WriteToneImage(folder.path() + "/disc", "tones", {300, 27000, 300});
        const DiscReading reading = ReadDisc(image);
        QCOMPARE(reading.toc.tracks.size(), 3);
        QDir().mkpath(folder.path() + "/out");
        CdRipper ripper;
        QSignalSpy finished(&ripper, &CdRipper::ripFinished);
        QList<int> progressTracks;
        connect(&ripper, &CdRipper::trackProgress, this, [&](int track, int) {
            progressTracks << track;
            if (track == 2)
                ripper.stop();
        });
        QVERIFY(ripper.start(PlanAll(reading.toc, image, folder.path() + "/out")));
        QVERIFY(!ripper.start(PlanAll(reading.toc, image, folder.path() + "/out")));
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.constFirst().constFirst().toInt(), 0);
        QCOMPARE(ripper.results().size(), 2);
        QVERIFY(ripper.results().at(0).status == RipStatus::Done);
        QVERIFY(ripper.results().at(1).status == RipStatus::Canceled);
        QVERIFY(!progressTracks.contains(3));
        // Only the finished track's file is left; nothing half-written remains.
        const QStringList left = QDir(folder.path() + "/out").entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{"1.wav"});
        QCOMPARE(WavSamples(folder.path() + "/out/1.wav"),
                 ReadFile(folder.path() + "/disc/tones.bin").left(300 * 2352));
    }

    void unreadableOrChangedDiscsAreUnsuccessful() {
        QTemporaryDir folder;
        const QString image = WriteToneImage(folder.path(), "worn", {150, 150});
        const QString bin = folder.path() + "/worn.bin";
        const RipRequest request = PlanAll(ReadDisc(image).toc, image, folder.path());

        // The disc stops reading in the middle of its second track once the rip has begun.
        TaskControl control;
        bool worn = false;
        const RipOutcome outcome = RunRip(request, control,
                                          [&](qint64, qint64) {
                                              if (!worn)
                                                  worn = QFile::resize(bin, 200 * 2352);
                                          },
                                          {});
        QVERIFY(worn);
        QCOMPARE(outcome.result, 1);
        QVERIFY(outcome.tracks.at(0).status == RipStatus::Done);
        const RipTrackResult &bad = outcome.tracks.at(1);
        QVERIFY(bad.status == RipStatus::Unsuccessful);
        QVERIFY(bad.skips > 0);
        QVERIFY2(bad.error.contains(QStringLiteral("skipped")), qPrintable(bad.error));
        QVERIFY(!QFile::exists(request.tracks.at(1).outputPath));

        // Another disc in the drive than the one whose tracks were chosen.
        QFile::remove(request.tracks.at(0).outputPath);
        const RipOutcome changed = Rip(request);
        QVERIFY(changed.tracks.at(0).status == RipStatus::Done);
        QVERIFY(changed.tracks.at(1).status == RipStatus::Unsuccessful);
        QVERIFY2(changed.tracks.at(1).error.contains(QStringLiteral("changed")),
                 qPrintable(changed.tracks.at(1).error));
    }

    void musicBrainzAndCoverLookUps() {
        TextServer server;
        qputenv("TUNEVANE_LINK_MUSICBRAINZ", server.url("/ws/2/").toUtf8());
        qputenv("TUNEVANE_LINK_COVERART", server.url("/caa/").toUtf8());
        QTemporaryDir folder;
        // cdda.cue carries CD-Text; the tone image carries none.
        const QString withText = CorpusImagesFolder() + QStringLiteral("/libcdio/cdda.cue");
        const QString plain = WriteToneImage(folder.path(), "plain", {400, 500});

        DiscSession session;
        session.setCoverFolder(folder.path() + QLatin1Char('/'));
        QSignalSpy read(&session, &DiscSession::discRead);
        QSignalSpy info(&session, &DiscSession::discInfoReady);
        QSignalSpy choices(&session, &DiscSession::releasesFound);
        QSignalSpy done(&session, &DiscSession::lookupFinished);
        QSignalSpy cover(&session, &DiscSession::coverReady);
        auto readAndLook = [&](const QString &image) {
            for (QSignalSpy *spy : {&read, &info, &choices, &done, &cover})
                spy->clear();
            session.readDisc(image);
            QVERIFY(read.wait(10000));
            QCOMPARE(session.requestDiscInfo(), 0);
        };

        // One match: CD-Text stays first, the release fills the rest, the cover arrives.
        readAndLook(withText);
        const QString id = session.discId();
        server.reply("/ws/2/discid/" + id,
                     "{\"releases\":[" + ReleaseJson("r1", "Recorded", "1987-03-02", id, {"Hard"}) + "]}");
        server.reply("/caa/release/r1/front-500", Jpeg(Qt::red), "image/jpeg");
        QVERIFY(done.wait(10000));
        QCOMPARE(info.size(), 2);
        QCOMPARE(session.info().album, QStringLiteral("Join us now we have the software"));
        QCOMPARE(session.info().titles.value(1), QStringLiteral("Soft"));
        QCOMPARE(session.info().year, QStringLiteral("1987"));
        QCOMPARE(session.info().genre, QStringLiteral("Synth Pop"));
        QCOMPARE(cover.size(), 1);
        QCOMPARE(QImage(session.coverPath()).pixelColor(20, 20).red() > 200, true);
        QVERIFY(server.userAgents.constLast().startsWith(QStringLiteral("Tunevane/")));

        // Two matches: the user's pick decides; titles go to the audio tracks in order.
        readAndLook(plain);
        const QString plainId = session.discId();
        server.reply("/ws/2/discid/" + plainId,
                     "{\"releases\":[" + ReleaseJson("a", "First", "2001", plainId, {"One", "Two"}) + "," +
                         ReleaseJson("b", "Second", "2002-10", plainId, {"Uno", "Dos"}) + "]}");
        QVERIFY(choices.wait(10000));
        QCOMPARE(choices.constFirst().at(1).value<QVector<ReleaseCandidate>>().size(), 2);
        QCOMPARE(info.size(), 0);
        session.chooseRelease(1);
        QVERIFY(done.size() == 1 || done.wait(10000));
        QCOMPARE(session.info().artist, QStringLiteral("Ann & Bob"));
        QCOMPARE(session.info().album, QStringLiteral("Second"));
        QCOMPARE(session.info().year, QStringLiteral("2002"));
        QCOMPARE(session.info().titles.value(2), QStringLiteral("Dos"));
        QCOMPARE(cover.size(), 0); // the cover address answers 404

        // Unknown to the service: no information, no error.
        server.reply("/ws/2/discid/" + plainId, "{\"error\":\"Not Found\"}", "application/json", 404);
        readAndLook(plain);
        QVERIFY(done.wait(10000));
        QCOMPARE(info.size(), 1);
        QCOMPARE(info.constFirst().at(1).toBool(), false);
        QVERIFY(!session.infoAvailable());

        // A server that never answers: the time limit ends the wait.
        server.hang("/ws/2/discid/" + plainId);
        session.client()->setTimeLimit(300);
        readAndLook(plain);
        QVERIFY(done.wait(10000));
        QCOMPARE(info.constFirst().at(1).toBool(), false);

        // Offline: nothing is asked.
        const int asked = server.requests.size();
        session.setNetworkEnabled(false);
        readAndLook(withText);
        QVERIFY(done.wait(10000));
        QCOMPARE(info.size(), 1);
        QVERIFY(session.infoAvailable());
        QCOMPARE(server.requests.size(), asked);
    }
};

TV_TEST_MAIN_CORE(TestDisc)
#include "tst_disc.moc"

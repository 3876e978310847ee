// The burners' logic through the image recorder: an audio CD image read back by libcdio sample
// for sample with its CD-Text, a data disc image listed and extracted by xorriso, compilations
// too large for the disc refused before a byte is written, a stopped write that leaves nothing,
// the space gauge's figures and the speed lists.
#include "AudioImage.h"
#include "BurnSpace.h"
#include "Config.h"
#include "DataImage.h"
#include "DiscTestSupport.h"
#include "DiscWriter.h"
#include "MediaGen.h"
#include "MediaProbe.h"
#include "TestEnv.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace tv;
using namespace tv::test;

namespace {

// The writer of that kind with the image recorder chosen and its blank disc read.
void ChooseImageRecorder(DiscWriter &writer) {
    QSignalSpy listed(&writer, &DiscWriter::drivesListed);
    writer.Initialize();
    QVERIFY(listed.wait(30000));
    QVERIFY(!writer.drives().isEmpty());
    QVERIFY(writer.drives().constLast().image);
    QSignalSpy read(&writer, &DiscWriter::mediumRead);
    writer.SelectDrive(int(writer.drives().size()) - 1);
    QVERIFY(read.wait(30000));
}

} // namespace

class TestBurn : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ReadConfiguration(); }

    void audioImageHoldsEverySampleWithItsCdText() {
        QTemporaryDir dir;
        // Lengths that are no multiple of a sector, one of them shorter than two sectors, and
        // one WAV as the ffmpeg tool writes it (with a LIST chunk before the samples).
        const QString first = dir.filePath("one.wav");
        const QString third = dir.filePath("three.wav");
        const QString second = dir.filePath("two.wav");
        QVector<QByteArray> samples;
        samples << WriteCdWav(first, 44100 + 123, 1);
        QVERIFY(
            GenerateTone(second, 2.3711, 44100, 2, {"-metadata", "title=Tagged", "-acodec", "pcm_s16le"}));
        samples << DecodedSamples(second, {"-ar", "44100", "-ac", "2"});
        samples << WriteCdWav(third, 1000, 3);
        QVERIFY(!samples.at(1).isEmpty() && samples.at(1).size() % 2352 != 0);
        QCOMPARE(ReadWavInfo(second).dataBytes, qint64(samples.at(1).size()));

        DiscWriter writer(BurnKind::AudioCD);
        ChooseImageRecorder(writer);

        writer.AddTrack({first, QStringLiteral("First \"Song\""), QStringLiteral("Ann"), -1});
        writer.AddTrack({second, QStringLiteral("Ünïcödé Sécond"), QStringLiteral("Bo"), -1});
        writer.AddTrack({third, QString(), QString(), -1});
        writer.SetDiscText({QStringLiteral("Mïx Album"), QStringLiteral("Various")});
        const QString cue = dir.filePath("disc.cue");
        writer.SetImageTarget(dir.filePath("disc.bin"), false);
        QSignalSpy progress(&writer, &DiscWriter::OperationProgress);
        QCOMPARE(writer.Write(), 0);
        QCOMPARE(WaitForOperation(writer), 0);
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.constLast().at(0).toInt(), 100);
        QCOMPARE(Names(dir.path()), QStringList({"disc.bin", "disc.cue", "one.wav", "three.wav", "two.wav"}));

        const AudioImageContents image = ReadAudioImage(cue);
        QVERIFY2(image.ok, qPrintable(image.error));
        QCOMPARE(image.audio.size(), 3);
        QCOMPARE(image.lsn.constFirst(), 0);
        for (int t = 0; t < 3; ++t)
            QVERIFY2(image.audio.at(t) == PaddedToSectors(samples.at(t)), qPrintable(QString::number(t + 1)));
        // CD-Text is Latin-1 with no double quotes; a track without a title has none.
        QCOMPARE(image.titles, (QMap<int, QString>{{1, "First 'Song'"}, {2, "Ünïcödé Sécond"}}));
        QCOMPARE(image.performers, (QMap<int, QString>{{1, "Ann"}, {2, "Bo"}}));
        QCOMPARE(image.album, QStringLiteral("Mïx Album"));
        QCOMPARE(image.performer, QStringLiteral("Various"));
        // The space the compilation takes: the two-second pregap and the tracks' sectors.
        const qint64 sectors = 150 + image.sectors.at(0) + image.sectors.at(1) + image.sectors.at(2);
        QCOMPARE(writer.SizeA() - writer.SizeB(), sectors * 2048);

        // A second write to the same name is refused when replacing is not allowed.
        QSignalSpy errors(&writer, &DiscWriter::ErrorEx);
        QCOMPARE(writer.Write(), 0);
        QCOMPARE(WaitForOperation(writer), int(BurnTargetExists));
        QCOMPARE(errors.constLast().at(0).toInt(), int(BurnTargetExists));
        QCOMPARE(ReadAudioImage(cue).audio, image.audio);
    }

    void dataImageHoldsTheFilesUnderTheirNames() {
        if (!HaveXorriso())
            QSKIP("xorriso is not installed.");
        QTemporaryDir dir;
        const QString source = dir.filePath("source");
        const QString longName = QString(180, QLatin1Char('l')) + QStringLiteral(".mp3");
        WriteFile(source + "/Album/01 Ça va – 東京.mp3", QByteArray(70000, 'a'));
        WriteFile(source + "/Album/Sub Folder/" + longName, QByteArray(3000, 'b'));
        WriteFile(source + "/Album/.hidden", "h");
        WriteFile(source + "/Album/same.mp3", "inside");
        WriteFile(source + "/loose/same.mp3", "loose one");
        QVERIFY(QDir().mkpath(source + "/Album/Empty"));

        DiscWriter writer(BurnKind::DataCD);
        ChooseImageRecorder(writer);
        const DataEntry folder = DataEntryOf(source + "/Album");
        QCOMPARE(folder.files, 4);
        QCOMPARE(folder.folders, 3);
        writer.AddEntry(folder);
        writer.AddEntry(DataEntryOf(source + "/loose/same.mp3"));
        writer.AddEntry(DataEntryOf(source + "/Album/same.mp3"));
        writer.SetVolumeLabel(DiscLabelText(QStringLiteral("  Summer Mix  ")));
        const QString iso = dir.filePath("out/disc.iso");
        QVERIFY(QDir().mkpath(dir.filePath("out")));
        writer.SetImageTarget(iso, false);
        QCOMPARE(writer.Write(), 0);
        QCOMPARE(WaitForOperation(writer), 0);
        QCOMPARE(Names(dir.filePath("out")), QStringList{"disc.iso"});

        const QStringList expected = {"/Album/.hidden",
                                      "/Album/01 Ça va – 東京.mp3",
                                      "/Album/Sub Folder/" + longName,
                                      "/Album/same.mp3",
                                      "/same (2).mp3",
                                      "/same.mp3"};
        QCOMPARE(XorrisoFiles(iso), expected);
        QCOMPARE(PvdVolumeId(iso), QStringLiteral("Summer Mix"));
        const QString extracted = dir.filePath("extracted");
        QVERIFY(XorrisoExtract(iso, extracted));
        QVERIFY(QFileInfo(extracted + "/Album/Empty").isDir());
        QMap<QString, QByteArray> originals = FolderContents(source + "/Album");
        QMap<QString, QByteArray> wanted;
        for (auto it = originals.cbegin(); it != originals.cend(); ++it)
            wanted.insert("/Album" + it.key(), it.value());
        wanted.insert("/same.mp3", "loose one");
        wanted.insert("/same (2).mp3", "inside");
        QCOMPARE(FolderContents(extracted), wanted);
        // The writer's estimate holds the image, without wasting more than a little.
        const qint64 size = QFileInfo(iso).size();
        QVERIFY2(writer.compilationBytes() >= size && writer.compilationBytes() < size + 1024 * 1024,
                 qPrintable(QStringLiteral("%1 for %2").arg(writer.compilationBytes()).arg(size)));

        // A label of blanks only is written as an empty one.
        const QString blank = dir.filePath("out/blank.iso");
        writer.SetVolumeLabel(DiscLabelText(QStringLiteral("   ")));
        writer.SetImageTarget(blank, false);
        QCOMPARE(writer.Write(), 0);
        QCOMPARE(WaitForOperation(writer), 0);
        QCOMPARE(PvdVolumeId(blank), QString());
    }

    void compilationsLargerThanTheDiscAreRefusedBeforeWriting() {
        QTemporaryDir dir;
        // 80 minutes of CD audio, held sparse: more than the image recorder's CD takes.
        const qint64 audioBytes = qint64(80) * 60 * 44100 * 4;
        const QString big = dir.filePath("big.wav");
        if (!MakeSparseFile(big, 44 + audioBytes, CdWavHeader(audioBytes)))
            QSKIP("Sparse files cannot be made here.");
        DiscWriter audio(BurnKind::AudioCD);
        ChooseImageRecorder(audio);
        audio.AddTrack({big, QString(), QString(), -1});
        const DiscSpace space =
            CalcDiscSpace(audio.capacity(), audio.SizeA(), audio.SizeB(), BurnKind::AudioCD);
        QVERIFY(space.free < 0);
        QSignalSpy errors(&audio, &DiscWriter::ErrorEx);
        audio.SetImageTarget(dir.filePath("audio.cue"), false);
        QCOMPARE(audio.Write(), 0);
        QCOMPARE(WaitForOperation(audio), int(BurnNoSpace));
        QCOMPARE(errors.constLast().at(1).toString(),
                 QStringLiteral("This disc doesn't have enough free space for all the selected file."));

        // A DVD's worth of data is refused by the CD.
        const QString data = dir.filePath("data.bin");
        QVERIFY(MakeSparseFile(data, 800 * 1000 * 1000));
        DiscWriter cd(BurnKind::DataCD);
        ChooseImageRecorder(cd);
        cd.AddEntry(DataEntryOf(data));
        cd.SetImageTarget(dir.filePath("cd.iso"), false);
        QCOMPARE(cd.Write(), 0);
        QCOMPARE(WaitForOperation(cd), int(BurnNoSpace));
        QCOMPARE(Names(dir.path()), QStringList({"big.wav", "data.bin"}));
    }

    void stoppedWritesLeaveNoImage() {
        QTemporaryDir dir;
        const qint64 audioBytes = qint64(20) * 60 * 44100 * 4;
        const QString wav = dir.filePath("long.wav");
        if (!MakeSparseFile(wav, 44 + audioBytes, CdWavHeader(audioBytes)))
            QSKIP("Sparse files cannot be made here.");
        // The write is stopped as soon as it reports progress, from its own thread.
        TaskControl audioControl;
        int reports = 0;
        const BurnResult audio = WriteAudioImage(dir.filePath("a.cue"), {{wav, QString(), QString(), -1}}, {},
                                                 false, audioControl, [&](qint64, qint64) {
                                                     if (++reports == 2)
                                                         audioControl.cancel();
                                                 });
        QCOMPARE(audio.code, int(BurnAborted));
        QCOMPARE(Names(dir.path()), QStringList{"long.wav"});

        QVERIFY(QDir().mkpath(dir.filePath("data")));
        QVERIFY(MakeSparseFile(dir.filePath("data/big.bin"), 300 * 1000 * 1000));
        TaskControl dataControl;
        const BurnResult data =
            WriteDataImage(dir.filePath("d.iso"), {DataEntryOf(dir.filePath("data"))}, "L", false, 0,
                           dataControl, [&](qint64, qint64) { dataControl.cancel(); });
        QVERIFY2(data.code == int(BurnAborted), qPrintable(data.message));
        QCOMPARE(Names(dir.path()), QStringList{"long.wav"});
    }

    void gaugeFiguresFollowTheSizeTexts() {
        // A writer that reports no capacity gets the kind's own.
        const DiscSpace cd = CalcDiscSpace(0, 0, 0, BurnKind::AudioCD);
        QCOMPARE(FreeSpaceText(cd), QStringLiteral("669 MB"));
        const DiscSpace dvd = CalcDiscSpace(0, 0, 0, BurnKind::DataDVD);
        QCOMPARE(FreeSpaceText(dvd), QStringLiteral("4485 MB"));

        // Integer division twice: 350 used of 700 is 50 %, the eleventh gauge image.
        QCOMPARE(UsedSpacePercents(350, 700), 50);
        QCOMPARE(UsedSpacePercents(-5, 700), 0);
        QCOMPARE(UsedSpacePercents(10, 99), 0);
        const QList<QPair<int, int>> steps = {{0, 0},   {1, 1},   {5, 1},    {6, 2},   {50, 10},
                                              {90, 18}, {91, 19}, {100, 19}, {140, 19}};
        for (const auto &[percent, step] : steps)
            QCOMPARE(GaugeStep(percent), step);

        // 100 MB on a disc with 250 MB to burn: used, burn and free as the labels show them.
        const qint64 used = 100 * 1024 * 1024;
        const DiscSpace appendable =
            CalcDiscSpace(702000000, used, used - 250 * 1024 * 1024 - 300000, BurnKind::DataCD);
        QCOMPARE(UsedSpaceText(appendable), QStringLiteral("Used  100 MB"));
        QCOMPARE(BurnSpaceText(appendable), QStringLiteral("Burn  250 MB"));
        QCOMPARE(FreeSpaceText(appendable), QStringLiteral("319 MB"));
        QCOMPARE(appendable.percent, 100 / 6);
        QCOMPARE(FreeSpaceTag(DiscSpace()), QStringLiteral("0"));
    }

    void speedListsHoldWhatTheDriveAccepts() {
        QCOMPARE(CdSpeedText(1), QStringLiteral("1X  (172 KB/s)"));
        QCOMPARE(CdSpeedText(48), QStringLiteral("48X  (8.07 MB/s)"));
        QCOMPARE(DvdSpeedText(8.0), QStringLiteral("8.0X  (10.5 MB/s)"));

        // A drive that rounds down to 48, 24, 16, 8 or 4 lists exactly those.
        const QVector<int> offered = {48, 24, 16, 8, 4};
        const QVector<int> cd = DetectCdSpeeds(
            [&](int s) {
                for (int o : offered)
                    if (o <= s)
                        return o;
                return 0;
            },
            {});
        QCOMPARE(cd, offered);
        QVERIFY(DetectCdSpeeds([](int) { return 0; }, {}).isEmpty());

        // A DVD writer that accepts every speed still gives eleven entries.
        const QVector<double> every = DetectDvdSpeeds([](double s) { return s; }, {});
        QCOMPARE(every.size(), 11);
        QCOMPARE(every.constFirst(), 20.0);
        QCOMPARE(every.constLast(), 19.0);
        const QVector<double> some = DetectDvdSpeeds(
            [](double s) { return s >= 16    ? 16.0
                                  : s >= 8   ? 8.0
                                  : s >= 2.4 ? 2.4
                                             : 0.0; }, {});
        QCOMPARE(some, (QVector<double>{16.0, 8.0, 2.4}));
    }
};

TV_TEST_MAIN_CORE(TestBurn)
#include "tst_burn.moc"

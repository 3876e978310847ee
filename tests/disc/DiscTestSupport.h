#pragma once
// What the disc tests share: the corpus images and what cd-info says about them, tone images and
// CD-audio WAVs written by the test, independent CRC32 / AccurateRip / disc id computations, and
// images read back with tools that are not the program's own (libcdio for BIN/CUE, xorriso for
// ISO 9660).

#include <QByteArray>
#include <QColor>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tv {
class DiscWriter;
}

namespace tv::test {

// The corpus folder of disc images, "" when it is absent.
QString CorpusImagesFolder();
bool HaveCdInfo();

// A disc as cd-info reports it (run in the image's folder, as its users do).
struct CdInfoDisc {
    bool ok = false;
    int first = 0;
    QVector<qint64> lsn; // by track, in order
    QVector<bool> audio;
    qint64 leadout = 0;
    QString album; // CD-Text of the disc
    QString artist;
    QMap<int, QString> titles; // CD-Text by track number
};
CdInfoDisc RunCdInfo(const QString &image);

// Writes folder/name.bin and folder/name.cue: one track per length (in sectors), each a tone of
// its own pitch, left and right apart. cdText, when given, is the disc's album and artist and
// then the track titles, written into the sheet as CD-Text. Answers the cue sheet's path.
QString WriteToneImage(const QString &folder, const QString &name, const QVector<int> &trackSectors,
                       const QStringList &cdText = {});

// Checks the header of a CD-audio WAV file and answers its samples ("" when it is not one).
QByteArray WavSamples(const QString &path);

// The zip CRC32 bit by bit, and the AccurateRip sums by their definition.
quint32 ReferenceCrc32(const QByteArray &bytes);
struct ArSums {
    quint32 v1 = 0;
    quint32 v2 = 0;
};
ArSums ReferenceAccurateRip(const QByteArray &samples, bool firstTrack, bool lastTrack);

// A 60 x 60 JPEG picture of one colour (a cover for the local server to serve).
QByteArray Jpeg(Qt::GlobalColor colour);

// A MusicBrainz disc id from addresses (LSN + 150; offsets[0] is the lead-out).
QString ReferenceDiscId(int first, int last, const QVector<qint64> &addresses, qint64 leadout);

// A MusicBrainz release by Ann & Bob whose second medium is the disc with that id.
QByteArray ReleaseJson(const QString &id, const QString &title, const QString &date, const QString &discId,
                       const QStringList &tracks);

// The 44-byte header of a 44.1 kHz 16-bit stereo WAV holding dataBytes of samples.
QByteArray CdWavHeader(qint64 dataBytes);

// Writes a 44.1 kHz 16-bit stereo WAV of exactly `frames` sample pairs of noise that depends on
// seed; answers its samples (the bytes after the header).
QByteArray WriteCdWav(const QString &path, qint64 frames, quint32 seed);

// Samples followed by the silence that fills their last CD sector.
QByteArray PaddedToSectors(QByteArray samples);

// An audio CD image as libcdio reads it.
struct AudioImageContents {
    bool ok = false;
    QString error;
    QVector<int> lsn;          // start of each track
    QVector<int> sectors;      // sectors of each track
    QVector<QByteArray> audio; // each track's sectors, read as audio
    QString album;             // CD-Text of the disc
    QString performer;
    QMap<int, QString> titles; // CD-Text by track number
    QMap<int, QString> performers;
};
AudioImageContents ReadAudioImage(const QString &cuePath);

// xorriso's view of an ISO image.
bool HaveXorriso();
QStringList XorrisoFiles(const QString &iso);                   // "/name", "/folder/name" … of every file
bool XorrisoExtract(const QString &iso, const QString &folder); // the whole tree into folder
// The volume id field of the primary volume descriptor as written, trailing blanks removed.
QString PvdVolumeId(const QString &iso);

// Every file below folder as "/relative/path" → content.
QMap<QString, QByteArray> FolderContents(const QString &folder);

// The names in a folder, hidden work files included.
QStringList Names(const QString &folder);

// Makes path a sparse file of that size (no blocks on the disk); false where that is refused.
bool MakeSparseFile(const QString &path, qint64 bytes, const QByteArray &head = QByteArray());

// Waits (running events) until the writer's operation ends; answers its code, or 1 on timeout.
int WaitForOperation(DiscWriter &writer, int timeoutMs = 120000);

} // namespace tv::test

#pragma once
// What the disc tests share: the corpus images and what cd-info says about them, tone images
// written by the test, and independent CRC32 / AccurateRip / disc id computations and WAV reading.

#include <QByteArray>
#include <QColor>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

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

} // namespace tv::test

#pragma once
// What the burning tests share: CD-audio WAV files of exact lengths, images read back with
// tools that are not the program's own (libcdio for BIN/CUE, xorriso for ISO 9660), and the
// wait for a writer's operation.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tv {
class DiscWriter;
}

namespace tv::test {

// The 44-byte header of a 44.1 kHz 16-bit stereo WAV holding dataBytes of samples.
QByteArray CdWavHeader(qint64 dataBytes);

// Writes a 44.1 kHz 16-bit stereo WAV of exactly `frames` sample pairs of noise that depends on
// seed; answers its samples (the bytes after the header).
QByteArray WriteCdWav(const QString &path, qint64 frames, quint32 seed);

// The samples of any sound file as 44.1 kHz 16-bit stereo, decoded by the ffmpeg tool.
QByteArray DecodedPcm(const QString &path);

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
QString XorrisoVolumeId(const QString &iso);                    // the primary volume id as xorriso shows it
bool XorrisoExtract(const QString &iso, const QString &folder); // the whole tree into folder
// The volume id field of the primary volume descriptor as written, trailing blanks removed
// (xorriso shows a blank one as "ISOIMAGE").
QString PvdVolumeId(const QString &iso);

// Every file below folder as "/relative/path" → content.
QMap<QString, QByteArray> FolderContents(const QString &folder);

// Makes path a sparse file of that size (no blocks on the disk); false where that is refused.
bool MakeSparseFile(const QString &path, qint64 bytes, const QByteArray &head = QByteArray());

// Waits (running events) until the writer's operation ends; answers its code, or 1 on timeout.
int WaitForOperation(DiscWriter &writer, int timeoutMs = 120000);

} // namespace tv::test

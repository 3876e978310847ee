#pragma once
// An audio CD as a disc image: the tracks' CD audio (WAV files) laid out as raw 2352-byte
// sectors in a BIN file, described by a cue sheet with the index points, the two-second pregap
// before the first track and the CD-Text of the titles. This is what a blank disc written with
// these tracks holds; the BIN and CUE only take their names once both are complete.

#include "Task.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tv {

inline constexpr int kFirstPregapSectors = 150; // two seconds of silence before track 1

// The audio of a WAV file: where its samples lie and what they are.
struct WavInfo {
    bool ok = false;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    qint64 dataOffset = 0; // where the samples begin
    qint64 dataBytes = 0;  // how many bytes of samples follow
    QString error;         // why the file is not a WAV file that can be read

    // 44.1 kHz, 16-bit, stereo PCM: what an audio CD holds.
    bool isCdAudio() const { return ok && channels == 2 && sampleRate == 44100 && bitsPerSample == 16; }
    qint64 lengthMs() const;
};
// Reads the header of a WAV file (RIFF chunks, PCM or extensible PCM). Blocks on the file.
WavInfo ReadWavInfo(const QString &path);

// One track to write and its CD-Text.
struct AudioTrackSource {
    QString wavPath;
    QString title;
    QString performer;
    qint64 bytes = -1; // the WAV's bytes of samples when known (-1: read from its header)
};
// The disc's own CD-Text: the album and its performer.
struct AudioDiscText {
    QString title;
    QString performer;
};

// The disc's CD-Text from its tracks' albums and artists: the album (and the artist) that the
// tracks which have one all share, "" when they differ.
AudioDiscText SharedDiscText(const QStringList &albums, const QStringList &artists);

// Sectors of a track holding that many bytes of samples (the last one padded with silence).
int AudioTrackSectors(qint64 dataBytes);
// Sectors the disc holds for tracks of these sizes in bytes, the first pregap included.
qint64 AudioDiscSectors(const QVector<qint64> &trackBytes);

// A text as CD-Text carries it: ISO-8859-1 ("?" for what it lacks), no double quotes or
// control characters, at most 80 characters.
QByteArray CdTextBytes(const QString &text);

// The cue sheet of an image whose BIN file is binName, with tracks of these sector counts.
// CD-Text lines are written only when a track or the disc has a title.
QByteArray CueSheetText(const QString &binName, const QVector<AudioTrackSource> &tracks,
                        const QVector<int> &trackSectors, const AudioDiscText &disc);

// How a write, an erase or a session deletion ended.
struct BurnResult {
    int code = 0;    // 0 done; otherwise one of the BurnError codes
    QString message; // what went wrong, in words the user is shown
    bool ok() const { return code == 0; }
};

// The writer's error codes.
enum BurnError : int {
    BurnNoDrive = -101,      // no writer found
    BurnNotStarted = -103,   // the writing library could not start
    BurnAborted = -104,      // the user stopped the operation
    BurnFailed = -110,       // the drive or the file system refused
    BurnNoSpace = -111,      // the compilation does not fit
    BurnTargetExists = -112, // the image name is taken and may not be replaced
    BurnNotWritable = -113,  // no writable medium
    BurnNotErasable = -114,  // the medium cannot be erased
    BurnNothingToWrite = -115,
};

// Writes cuePath and the BIN beside it (same name, ".bin"). With replace false an existing
// file under either name stops the write before anything is written. progress reports bytes.
BurnResult WriteAudioImage(const QString &cuePath, const QVector<AudioTrackSource> &tracks,
                           const AudioDiscText &disc, bool replace, TaskControl &control,
                           const TaskProgress &progress);

// The BIN path of a cue sheet path, and the cue sheet of a chosen image name (".bin" or no
// extension becomes ".cue").
QString BinPathOfCue(const QString &cuePath);
QString CuePathOfImage(const QString &imagePath);

} // namespace tv

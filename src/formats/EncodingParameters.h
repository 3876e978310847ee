#pragma once
// The per-job encoding record and the option text the engine receives, plus the computed
// choice lists of the settings editor (audio and video bitrates) and its fixed option tables.

#include <QString>
#include <QStringList>

namespace tv {

class Chooser;

// One record per job, filled by the conversion driver from the format settings and the row.
struct JobParameters {
    QString AudioCodec;    // display name, e.g. "MP3"
    QString FileExtention; // upper case, e.g. "MP3"
    qint32 Channels = 0;   // chooser index: 0 "Mono", 1 "Stereo", 2 "5.1 Surround"
    QString AudioBitrate;  // number without unit, e.g. "128"
    QString SampleRate;    // number without unit, e.g. "44100"
    QString AudioSize;     // "8 bit" … "32 bit"
    bool Merge = false;
    QString TrimStart;    // hh:mm:ss.fff
    QString TrimDuration; // hh:mm:ss.fff
};

// The option text of one job, e.g. " -ac 2 -ar 44100 -ab 128k -acodec libmp3lame -vn -t 00:03:25.120".
// Answers "-1" on failure.
QString BuildAudioArguments(const JobParameters &job);

// The encoder option of a codec display name (" -acodec libmp3lame"), "" when unknown.
QString CodecOption(const QString &audioCodec, const QString &audioSize);

// A text as a 16-bit whole number (nearest, halves to even), or the default when it is empty,
// not a number or out of range.
qint16 ParseShortOr(const QString &text, qint16 defaultValue);

// Bitrate choices ("96 kbps;112 kbps;…") for a codec, a sample rate choice ("44100 Hz"),
// a channel choice ("Stereo") and a sample width ("16 bit"); "" when none apply.
QString AudioBitrateChoices(const QString &audioCodec, const QString &sampleRate, const QString &channels,
                            const QString &audioSize);

// Video bitrate estimate for a picture size and frame rate text ("23.976 fps", "Original");
// motion 1, 2 or 4; unit flag 1 gives kilobits. 1500 when the arithmetic overflows.
qint32 EstimateVideoBitrate(qint32 width, qint32 height, const QString &frameRate, qint16 motion,
                            qint32 unitFlag);
qint32 MinVideoBitrate(qint32 width, qint32 height, qint32 cap);
qint32 MaxVideoBitrate(qint32 width, qint32 height, qint32 cap);

// "Smart Fit;" + the fixed bitrates between the bounds + "Custom;", or "-;" for a cap of 0.
QString VideoBitrateChoices(qint32 width, qint32 height, qint32 cap);

// The fixed option tables and their ";"-terminated list form.
const QStringList &PictureSizeTable();
const QStringList &FrameRateTable();
const QStringList &AspectRatioTable();
QString ChoiceListText(const QStringList &table);

// Empties the chooser and adds every item of a ";"-terminated list (the text after the last
// ";" is not an item), each with every fixed marker "#" removed.
void FillChoiceList(const QString &list, Chooser &chooser);

} // namespace tv

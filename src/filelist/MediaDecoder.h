#pragma once
// The decoder of the file list: opens one media file with the FFmpeg libraries and answers
// its streams, properties, container tags and one picture. Each probing worker owns its own
// decoder; a decoder is used by one thread at a time.
//
// Reads answer "0", 0 or -1 when a property is absent, which is what the probe relies on.

#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>
#include <memory>

namespace tv {

class MediaDecoder {
public:
    MediaDecoder();
    ~MediaDecoder();
    MediaDecoder(const MediaDecoder &) = delete;
    MediaDecoder &operator=(const MediaDecoder &) = delete;

    // Reading stops when the flag is set (by any thread) or the time limit of one open and
    // one picture has passed, so a file that makes the libraries loop cannot hold a worker.
    void setCancelFlag(const std::atomic_bool *cancel);
    void setTimeLimit(int milliseconds);

    // Opens the file; answers false and keeps a reason for MediaErrorText on failure. A file
    // without any audio or video stream does not open.
    bool OpenMedia(const QString &path, const QString &options = QString());
    QString MediaErrorText() const;

    // The container's duration in microseconds as two halves; the unknown pair when absent.
    qint32 DurationLow() const;
    qint32 DurationHigh() const;

    // The default streams of the container, -1 when there is none. Cover pictures stored as
    // a picture stream are not video streams.
    int DefaultVideoStream() const;
    int DefaultAudioStream() const;
    int DefaultSubtitleStream() const;

    // Answer whether the stream of that index exists and make it the one the reads below use.
    bool VideoStream(int &index);
    bool AudioStream(int &index);
    bool SubtitleStream(int &index);

    int SubtitleCount() const;
    int VideoStreamCount() const;
    int AudioStreamCount() const;

    // Properties of the chosen video stream ("" / -1 / 0 without one).
    QString VideoCodecName() const;
    int VideoWidth() const;
    int VideoHeight() const;
    qint64 VideoBitRate() const;
    int VideoFrameRateNumerator() const;
    int VideoFrameRateDenominator() const;
    int VideoAspectNumerator() const;
    int VideoAspectDenominator() const;
    double VideoAspectValue() const;
    QString VideoLanguage() const;

    // Properties of the chosen audio stream.
    QString AudioCodecName() const;
    qint64 AudioBitRate() const;
    int AudioSampleRate() const;
    int AudioChannels() const;
    qint32 AudioDurationLow() const;
    QString AudioLanguage() const;

    // A container tag by its name ("track", "title", "artist", "album", "year", "genre",
    // "copyright", "comment"); "0" when the file has none.
    QString Tag(const QString &name) const;

    // One picture of the video stream (or of the cover picture when there is no video): seek
    // to the position, decode the frame there, draw it fitted into a box of the given size.
    bool SeekMedia(qint64 microseconds);
    bool DecodeFrame();
    QImage DrawFrame(const QSize &box) const;

    void CloseMedia();

private:
    struct State;
    std::unique_ptr<State> d;
};

// Keeps the libraries' own log lines off the standard error: they go to the logging category
// "tunevane.libav" (silent unless enabled). Called once by every decoder; the engine's log
// window may install its own callback later.
void InstallQuietLibavLog();

} // namespace tv

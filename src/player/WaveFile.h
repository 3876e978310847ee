#pragma once
// A PCM WAV file opened for its samples: the format from its header, the samples mapped into
// memory and handed out as 16-bit values whatever width the file stores (8, 16, 24 or 32-bit
// integers, 32 or 64-bit floats). The trim window's waveform and its analysis read it.
//
// Threads: an opened WaveFile is only read, so one thread may build the peaks while another
// draws from it; opening and closing belong to its owner.

#include <QString>
#include <QtGlobal>

namespace tv {

struct WaveFormat {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    bool isFloat = false;
    int blockAlign = 0; // bytes per frame
    qint64 dataOffset = 0;
    qint64 frames = 0;
};

class WaveFile {
public:
    WaveFile() = default;
    ~WaveFile();
    WaveFile(const WaveFile &) = delete;
    WaveFile &operator=(const WaveFile &) = delete;

    // 0 when the file is a WAV this class reads, otherwise a sound-control code:
    // SoundError::InvalidSoundFile (no such file, not a WAV, a compressed WAV), or
    // SoundError::NotEnoughMemory when the samples cannot be mapped.
    int open(const QString &path);
    void close();
    bool isOpen() const { return m_open; }

    const WaveFormat &format() const { return m_format; }
    qint64 frames() const { return m_format.frames; }
    int channels() const { return m_format.channels; }
    int sampleRate() const { return m_format.sampleRate; }
    // The length in whole milliseconds (the part of a millisecond at the end is dropped).
    qint64 lengthMs() const;

    // Frames [first, first + count) as interleaved 16-bit samples into out (count × channels
    // values); frames beyond the end read as silence.
    void readFrames(qint64 first, qint64 count, qint16 *out) const;
    // The stored samples when they are 16-bit already (the common case); null otherwise.
    const qint16 *samples16() const;
    // The start of the stored samples, and a hint that they are about to be read in order.
    const uchar *storedSamples() const { return m_samples; }
    void adviseSequential() const;
    // Maps the pages of frames [first, first + count) in one go, ahead of reading them.
    void prefetch(qint64 first, qint64 count) const;

private:
    int m_fd = -1;
    WaveFormat m_format;
    void *m_map = nullptr; // the mapping, from the page that holds the data chunk's start
    size_t m_mapLength = 0;
    const uchar *m_samples = nullptr; // mapped data chunk (null when it is empty)
    bool m_open = false;
};

// Converts `count` stored samples of the format to 16-bit values.
void ConvertSamplesTo16(const uchar *stored, qint64 count, const WaveFormat &format, qint16 *out);

} // namespace tv

#pragma once
// The checksums careful rippers give per track: the CRC32 of the audio data (the same one for
// the test read and the copy, so the two can be compared) and the AccurateRip v1 and v2
// checksums that the AccurateRip database keeps for each pressing.

#include <QtGlobal>

namespace tv {

// CRC32 (the zip polynomial) of a byte stream.
class Crc32 {
public:
    void add(const void *data, qint64 bytes);
    quint32 value() const { return m_crc; }

private:
    quint32 m_crc = 0;
};

// The AccurateRip checksums of one track, fed with its 16-bit stereo samples in order. The first
// track of a disc leaves out its first five sectors but one sample, the last track its last
// five sectors, as the database does (drives cannot read those reliably at every offset).
class AccurateRipSum {
public:
    // totalSamples: the track's length in stereo samples (sectors * 588).
    AccurateRipSum(qint64 totalSamples, bool firstTrack, bool lastTrack);
    // Little-endian stereo samples, 4 bytes each; bytes is a multiple of 4.
    void add(const char *data, qint64 bytes);
    quint32 v1() const { return m_v1; }
    quint32 v2() const { return m_v2; }

private:
    quint64 m_position = 0; // 1-based number of the next sample
    quint64 m_first = 1;
    quint64 m_last = 0;
    quint32 m_v1 = 0;
    quint32 m_v2 = 0;
};

} // namespace tv

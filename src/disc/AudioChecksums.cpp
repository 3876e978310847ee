#include "AudioChecksums.h"

#include "DiscToc.h"

#include <cstring>
#include <zlib.h>

namespace tv {

void Crc32::add(const void *data, qint64 bytes) {
    const auto *bytePointer = static_cast<const Bytef *>(data);
    // zlib takes at most an unsigned int per call.
    while (bytes > 0) {
        const auto chunk = static_cast<uInt>(qMin<qint64>(bytes, 1 << 30));
        m_crc = static_cast<quint32>(crc32(m_crc, bytePointer, chunk));
        bytePointer += chunk;
        bytes -= chunk;
    }
}

AccurateRipSum::AccurateRipSum(qint64 totalSamples, bool firstTrack, bool lastTrack) : m_position(1) {
    const quint64 skip = 5 * kSamplesPerSector;
    m_first = firstTrack ? skip - 1 : 1;
    m_last = static_cast<quint64>(qMax<qint64>(0, totalSamples));
    if (lastTrack)
        m_last = m_last > skip ? m_last - skip : 0;
}

void AccurateRipSum::add(const char *data, qint64 bytes) {
    const qint64 count = bytes / 4;
    for (qint64 i = 0; i < count; ++i, ++m_position) {
        if (m_position < m_first || m_position > m_last)
            continue;
        const auto *p = reinterpret_cast<const unsigned char *>(data + i * 4);
        const quint32 sample = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
        const quint64 product = quint64(sample) * m_position;
        m_v1 += static_cast<quint32>(product);
        m_v2 += static_cast<quint32>(product) + static_cast<quint32>(product >> 32);
    }
}

} // namespace tv

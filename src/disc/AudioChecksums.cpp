#include "AudioChecksums.h"

#include "DiscToc.h"

#include <QtEndian>
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
    if (count <= 0)
        return;
    const quint64 start = m_position; // the number of the chunk's first sample
    m_position += static_cast<quint64>(count);
    // Only the samples inside the counted range; the loop itself has no test, so it stays fast.
    const quint64 from = qMax(start, m_first);
    const quint64 to = qMin(m_position - 1, m_last);
    quint32 v1 = m_v1;
    quint32 v2 = m_v2;
    for (quint64 n = from; n <= to; ++n) {
        const quint64 product = quint64(qFromLittleEndian<quint32>(data + (n - start) * 4)) * n;
        v1 += static_cast<quint32>(product);
        v2 += static_cast<quint32>(product) + static_cast<quint32>(product >> 32);
    }
    m_v1 = v1;
    m_v2 = v2;
}

} // namespace tv

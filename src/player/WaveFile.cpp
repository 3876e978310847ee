#include "WaveFile.h"

#include "SoundErrors.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tv {

namespace {

quint16 Le16(const uchar *p) {
    return quint16(p[0] | (p[1] << 8));
}

quint32 Le32(const uchar *p) {
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

quint64 Le64(const uchar *p) {
    return quint64(Le32(p)) | (quint64(Le32(p + 4)) << 32);
}

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;

// The header fields that decide whether the samples can be read.
bool ReadFormatChunk(const QByteArray &chunk, WaveFormat &format) {
    if (chunk.size() < 16)
        return false;
    const auto *p = reinterpret_cast<const uchar *>(chunk.constData());
    quint16 tag = Le16(p);
    format.channels = Le16(p + 2);
    format.sampleRate = int(Le32(p + 4));
    format.blockAlign = Le16(p + 12);
    format.bitsPerSample = Le16(p + 14);
    if (tag == kFormatExtensible) {
        if (chunk.size() < 40)
            return false;
        tag = Le16(p + 24); // the first two bytes of the sub-format identifier
    }
    if (tag == kFormatPcm)
        format.isFloat = false;
    else if (tag == kFormatFloat)
        format.isFloat = true;
    else
        return false;
    const int bits = format.bitsPerSample;
    const bool widthOk =
        format.isFloat ? (bits == 32 || bits == 64) : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    return widthOk && format.channels > 0 && format.channels <= 64 && format.sampleRate > 0 &&
           format.blockAlign == format.channels * bits / 8;
}

} // namespace

WaveFile::~WaveFile() {
    close();
}

int WaveFile::open(const QString &path) {
    close();
    // Plain descriptors and a plain mapping: the analysis may hold the file on a worker
    // thread after its owner has let go of it.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close();
        return SoundError::InvalidSoundFile;
    }
    const qint64 fileSize = info.st_size;
    const auto read = [this](qint64 at, qint64 size) {
        QByteArray bytes(int(size), Qt::Uninitialized);
        const ssize_t got = ::pread(m_fd, bytes.data(), size_t(size), off_t(at));
        bytes.resize(got < 0 ? 0 : int(got));
        return bytes;
    };
    const QByteArray riff = read(0, 12);
    if (riff.size() < 12 || (!riff.startsWith("RIFF") && !riff.startsWith("RF64")) ||
        riff.mid(8, 4) != "WAVE") {
        close();
        return SoundError::InvalidSoundFile;
    }
    const bool rf64 = riff.startsWith("RF64");
    WaveFormat format;
    bool haveFormat = false;
    qint64 dataSize64 = -1; // from the ds64 chunk of an RF64 file
    qint64 dataBytes = -1;
    qint64 position = 12;
    while (position + 8 <= fileSize) {
        const QByteArray head = read(position, 8);
        if (head.size() < 8)
            break;
        const auto *h = reinterpret_cast<const uchar *>(head.constData());
        const qint64 size = Le32(h + 4);
        const QByteArray id = head.left(4);
        if (id == "fmt ") {
            haveFormat = ReadFormatChunk(read(position + 8, std::min<qint64>(size, 64)), format);
            if (!haveFormat)
                break;
        } else if (id == "ds64" && rf64) {
            const QByteArray ds = read(position + 8, 24);
            if (ds.size() == 24)
                dataSize64 = qint64(Le64(reinterpret_cast<const uchar *>(ds.constData()) + 8));
        } else if (id == "data") {
            format.dataOffset = position + 8;
            dataBytes = (rf64 && size == 0xFFFFFFFF && dataSize64 >= 0) ? dataSize64 : size;
            // The samples usually come last; a format chunk after them is still looked for.
            if (haveFormat)
                break;
        }
        position += 8 + size + (size & 1);
    }
    if (!haveFormat || dataBytes < 0) {
        close();
        return SoundError::InvalidSoundFile;
    }
    // A writer that stopped early (or could not go back to fix the sizes) leaves a data size
    // beyond the end of the file: what is there is what counts.
    dataBytes = std::min(dataBytes, fileSize - format.dataOffset);
    format.frames = dataBytes / format.blockAlign;
    m_format = format;
    if (format.frames > 0) {
        const qint64 page = ::sysconf(_SC_PAGESIZE);
        const qint64 mapStart = format.dataOffset / page * page;
        m_mapLength = size_t(format.dataOffset - mapStart + format.frames * format.blockAlign);
        void *map = ::mmap(nullptr, m_mapLength, PROT_READ, MAP_SHARED, m_fd, off_t(mapStart));
        if (map == MAP_FAILED) {
            close();
            return SoundError::NotEnoughMemory;
        }
        m_map = map;
        m_samples = static_cast<const uchar *>(map) + (format.dataOffset - mapStart);
    }
    m_open = true;
    return 0;
}

void WaveFile::close() {
    if (m_map)
        ::munmap(m_map, m_mapLength);
    m_map = nullptr;
    m_mapLength = 0;
    m_samples = nullptr;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_format = WaveFormat();
    m_open = false;
}

void WaveFile::adviseSequential() const {
    if (m_map)
        ::madvise(m_map, m_mapLength, MADV_SEQUENTIAL);
}

void WaveFile::prefetch(qint64 first, qint64 count) const {
#ifdef MADV_POPULATE_READ
    if (!m_samples || count <= 0)
        return;
    static const qint64 page = ::sysconf(_SC_PAGESIZE);
    const auto start = reinterpret_cast<quintptr>(m_samples + first * m_format.blockAlign);
    const quintptr aligned = start / page * page;
    const auto end = reinterpret_cast<quintptr>(m_samples + (first + count) * m_format.blockAlign);
    ::madvise(reinterpret_cast<void *>(aligned), size_t(end - aligned), MADV_POPULATE_READ);
#else
    Q_UNUSED(first)
    Q_UNUSED(count)
#endif
}

qint64 WaveFile::lengthMs() const {
    if (m_format.sampleRate <= 0)
        return 0;
    return m_format.frames * 1000 / m_format.sampleRate;
}

const qint16 *WaveFile::samples16() const {
    if (!m_samples || m_format.isFloat || m_format.bitsPerSample != 16)
        return nullptr;
    return reinterpret_cast<const qint16 *>(m_samples);
}

void WaveFile::readFrames(qint64 first, qint64 count, qint16 *out) const {
    const int channels = std::max(1, m_format.channels);
    qint64 inside = 0;
    if (m_samples && first < m_format.frames && first + count > 0) {
        const qint64 from = std::max<qint64>(0, first);
        const qint64 to = std::min(m_format.frames, first + count);
        const qint64 lead = from - first;
        std::fill(out, out + lead * channels, qint16(0));
        inside = to - from;
        ConvertSamplesTo16(m_samples + from * m_format.blockAlign, inside * channels, m_format,
                           out + lead * channels);
        std::fill(out + (lead + inside) * channels, out + count * channels, qint16(0));
        return;
    }
    std::fill(out, out + count * channels, qint16(0));
}

void ConvertSamplesTo16(const uchar *stored, qint64 count, const WaveFormat &format, qint16 *out) {
    if (format.isFloat) {
        for (qint64 i = 0; i < count; ++i) {
            double v;
            if (format.bitsPerSample == 32) {
                float f;
                std::memcpy(&f, stored + i * 4, 4);
                v = f;
            } else {
                std::memcpy(&v, stored + i * 8, 8);
            }
            if (std::isnan(v))
                v = 0;
            out[i] = qint16(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
        }
        return;
    }
    switch (format.bitsPerSample) {
    case 8:
        for (qint64 i = 0; i < count; ++i)
            out[i] = qint16((int(stored[i]) - 128) << 8);
        break;
    case 16:
        std::memcpy(out, stored, size_t(count) * 2);
        break;
    case 24:
        // The upper two bytes of each little-endian sample.
        for (qint64 i = 0; i < count; ++i)
            out[i] = qint16(Le16(stored + i * 3 + 1));
        break;
    case 32:
        for (qint64 i = 0; i < count; ++i)
            out[i] = qint16(Le16(stored + i * 4 + 2));
        break;
    default:
        std::fill(out, out + count, qint16(0));
        break;
    }
}

} // namespace tv

#include "PeakPyramid.h"

#include "WaveFile.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tv {

namespace {

constexpr Peak kEmptyPeak{32767, -32768};

void Merge(Peak &into, const Peak &other) {
    into.min = std::min(into.min, other.min);
    into.max = std::max(into.max, other.max);
}

void MergeSample(Peak &into, qint16 sample) {
    into.min = std::min(into.min, sample);
    into.max = std::max(into.max, sample);
}

// Folds `frames` interleaved frames into one peak per channel.
void Scan(const qint16 *s, int frames, int channels, Peak *peaks) {
    const int n = frames * channels;
    int i = 0;
#if defined(__SSE2__)
    // Eight lanes at a time: with 1, 2, 4 or 8 channels every lane keeps to one channel.
    if (channels == 1 || channels == 2 || channels == 4 || channels == 8) {
        __m128i lo = _mm_set1_epi16(32767);
        __m128i hi = _mm_set1_epi16(-32768);
        __m128i lo2 = lo;
        __m128i hi2 = hi;
        for (; i + 16 <= n; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + 8));
            lo = _mm_min_epi16(lo, a);
            hi = _mm_max_epi16(hi, a);
            lo2 = _mm_min_epi16(lo2, b);
            hi2 = _mm_max_epi16(hi2, b);
        }
        alignas(16) qint16 lows[8];
        alignas(16) qint16 highs[8];
        _mm_store_si128(reinterpret_cast<__m128i *>(lows), _mm_min_epi16(lo, lo2));
        _mm_store_si128(reinterpret_cast<__m128i *>(highs), _mm_max_epi16(hi, hi2));
        for (int lane = 0; lane < 8; ++lane) {
            Peak &p = peaks[lane % channels];
            p.min = std::min(p.min, lows[lane]);
            p.max = std::max(p.max, highs[lane]);
        }
    }
#endif
    // What is left starts on a frame boundary (i is a multiple of 16 and of the channel count).
    for (int c = 0; i < n; ++i) {
        MergeSample(peaks[c], s[i]);
        if (++c == channels)
            c = 0;
    }
}

} // namespace

qint64 PeakPyramid::blockCount(int level) const {
    if (level < 0 || level >= levelCount() || m_channels <= 0)
        return 0;
    return qint64(m_levels[size_t(level)].size()) / m_channels;
}

Peak PeakPyramid::peak(int level, qint64 block, int channel) const {
    if (block < 0 || block >= blockCount(level) || channel < 0 || channel >= m_channels)
        return Peak();
    return m_levels[size_t(level)][size_t(block * m_channels + channel)];
}

qint64 PeakPyramid::memoryBytes() const {
    qint64 bytes = 0;
    for (const std::vector<Peak> &level : m_levels)
        bytes += qint64(level.capacity() * sizeof(Peak));
    return bytes;
}

PeakPyramid::Builder::Builder(int channels, qint64 expectedFrames)
    : m_channels(std::max(1, channels)), m_open(size_t(m_channels), kEmptyPeak) {
    m_base.reserve(size_t((expectedFrames / kBaseFrames + 1) * m_channels));
}

void PeakPyramid::Builder::add(const qint16 *samples, qint64 frameCount) {
    while (frameCount > 0) {
        const int take = int(std::min<qint64>(frameCount, kBaseFrames - m_inBlock));
        Scan(samples, take, m_channels, m_open.data());
        m_inBlock += take;
        m_frames += take;
        samples += qint64(take) * m_channels;
        frameCount -= take;
        if (m_inBlock == kBaseFrames)
            closeBlock();
    }
}

void PeakPyramid::Builder::closeBlock() {
    m_base.insert(m_base.end(), m_open.begin(), m_open.end());
    std::fill(m_open.begin(), m_open.end(), kEmptyPeak);
    m_inBlock = 0;
}

std::vector<Peak> PeakPyramid::Builder::takeBlocks() {
    if (m_inBlock > 0)
        closeBlock();
    return std::move(m_base);
}

PeakPyramid PeakPyramid::Builder::finish() {
    const qint64 frames = m_frames;
    std::vector<std::vector<Peak>> parts;
    parts.push_back(takeBlocks());
    return Join(m_channels, frames, std::move(parts));
}

PeakPyramid PeakPyramid::Join(int channels, qint64 frames, std::vector<std::vector<Peak>> parts) {
    PeakPyramid pyramid;
    pyramid.m_channels = std::max(1, channels);
    pyramid.m_frames = frames;
    std::vector<Peak> base = std::move(parts.front());
    for (size_t i = 1; i < parts.size(); ++i)
        base.insert(base.end(), parts[i].begin(), parts[i].end());
    if (base.empty())
        return pyramid;
    base.shrink_to_fit();
    pyramid.m_levels.push_back(std::move(base));
    const size_t width = size_t(pyramid.m_channels);
    // Each level pairs the blocks of the one below, until one block covers the whole sound.
    while (pyramid.m_levels.back().size() > width) {
        const std::vector<Peak> &below = pyramid.m_levels.back();
        const size_t blocks = below.size() / width;
        std::vector<Peak> level(((blocks + 1) / 2) * width);
        for (size_t b = 0; b < blocks; b += 2) {
            for (size_t c = 0; c < width; ++c) {
                Peak p = below[b * width + c];
                if (b + 1 < blocks)
                    Merge(p, below[(b + 1) * width + c]);
                level[(b / 2) * width + c] = p;
            }
        }
        pyramid.m_levels.push_back(std::move(level));
    }
    return pyramid;
}

void ViewColumns(const PeakPyramid &pyramid, const WaveFile &wave, int channel, double start,
                 double perColumn, int columns, std::vector<ColumnPeak> &out) {
    out.assign(size_t(std::max(0, columns)), ColumnPeak());
    const qint64 frames = pyramid.frames();
    if (columns <= 0 || frames <= 0 || perColumn <= 0 || channel < 0 || channel >= pyramid.channels())
        return;
    const bool fromSamples = perColumn < PeakPyramid::kBaseFrames && wave.isOpen() && wave.frames() == frames;
    if (!fromSamples) {
        int level = perColumn < PeakPyramid::kBaseFrames
                        ? 0
                        : int(std::floor(std::log2(perColumn / PeakPyramid::kBaseFrames)));
        level = std::clamp(level, 0, pyramid.levelCount() - 1);
        const qint64 block = PeakPyramid::blockFrames(level);
        const qint64 lastBlock = pyramid.blockCount(level) - 1;
        for (int x = 0; x < columns; ++x) {
            const double f0 = std::max(0.0, start + x * perColumn);
            const double f1 = std::min(double(frames), start + (x + 1) * perColumn);
            if (f1 <= f0)
                continue;
            const qint64 b0 = qint64(f0) / block;
            const qint64 b1 = std::min(lastBlock, (qint64(std::ceil(f1)) - 1) / block);
            Peak p = kEmptyPeak;
            for (qint64 b = b0; b <= b1; ++b)
                Merge(p, pyramid.peak(level, b, channel));
            out[size_t(x)] = {p, true};
        }
        return;
    }
    // Close up: the samples themselves, read once for the whole view.
    const qint64 first = std::clamp<qint64>(qint64(std::floor(start)), 0, frames);
    const qint64 end = std::clamp<qint64>(qint64(std::ceil(start + columns * perColumn)) + 1, 0, frames);
    if (end <= first)
        return;
    const int channels = pyramid.channels();
    std::vector<qint16> buffer;
    const qint16 *samples = wave.samples16();
    if (samples) {
        samples += first * channels;
    } else {
        buffer.resize(size_t((end - first) * channels));
        wave.readFrames(first, end - first, buffer.data());
        samples = buffer.data();
    }
    for (int x = 0; x < columns; ++x) {
        const double c0 = start + x * perColumn;
        const double c1 = c0 + perColumn;
        if (c1 <= 0 || c0 >= double(frames))
            continue;
        // A column narrower than a frame shows the frame it lies on.
        const qint64 f0 = std::max(first, qint64(std::floor(std::max(0.0, c0))));
        const qint64 f1 = std::min(end, std::max(f0 + 1, qint64(std::ceil(c1))));
        Peak p = kEmptyPeak;
        for (qint64 f = f0; f < f1; ++f)
            MergeSample(p, samples[(f - first) * channels + channel]);
        if (f1 > f0)
            out[size_t(x)] = {p, true};
    }
}

} // namespace tv

#include "TruePeak.h"

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

constexpr int kTapsPerPhase = 12; // 48 taps at 4 times, as the loudness meters of broadcasting use
constexpr size_t kBlock = 1024;

// One fractional phase over a block: out[i] = sum of taps[k] * x[i - k]; answers the largest
// |out[i]|. Built for the processor's widest vectors where it has them.
__attribute__((target_clones("arch=haswell", "default"))) float
PhasePeak(const float *taps, const float *x, float *__restrict__ out, size_t frames) {
    for (size_t i = 0; i < frames; ++i)
        out[i] = 0.0f;
    for (int k = 0; k < kTapsPerPhase; ++k) {
        const float tap = taps[k];
        const float *__restrict__ shifted = x - k;
        for (size_t i = 0; i < frames; ++i)
            out[i] += tap * shifted[i];
    }
    float peak = 0.0f;
    for (size_t i = 0; i < frames; ++i)
        peak = std::max(peak, std::abs(out[i]));
    return peak;
}

} // namespace

TruePeakMeter::TruePeakMeter(int channels, int sampleRate)
    : m_channels(std::max(1, channels)), m_factor(sampleRate < 96000    ? 4
                                                  : sampleRate < 192000 ? 2
                                                                        : 1) {
    // A windowed sinc of factor * taps + 1 points centred on a whole sample: phase 0 gives the
    // samples themselves, the others the points between them.
    const int length = m_factor * kTapsPerPhase + 1;
    const double centre = (length - 1) / 2.0;
    std::vector<double> taps(static_cast<size_t>(length));
    for (int m = 0; m < length; ++m) {
        const double x = (m - centre) / m_factor;
        const double sinc = x == 0.0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x);
        const double window = 0.5 - 0.5 * std::cos(2.0 * M_PI * (m + 0.5) / (length + 0.0)); // Hann
        taps[static_cast<size_t>(m)] = sinc * window;
    }
    for (int p = 1; p < m_factor; ++p) {
        std::vector<float> phase;
        double sum = 0.0;
        double absolute = 0.0;
        for (int k = 0; k * m_factor + p < length; ++k) {
            phase.push_back(static_cast<float>(taps[static_cast<size_t>(k * m_factor + p)]));
            sum += phase.back();
            absolute += std::abs(phase.back());
        }
        // Each phase passes a steady level unchanged.
        for (float &t : phase)
            t = static_cast<float>(t / sum);
        m_gain = std::max(m_gain, absolute / sum);
        m_phase.push_back(std::move(phase));
    }
    m_lines.assign(static_cast<size_t>(m_channels), std::vector<float>(kTapsPerPhase, 0.0f));
}

void TruePeakMeter::add(const float *interleaved, size_t frames) {
    while (frames > 0) {
        const size_t n = std::min(frames, kBlock);
        addBlock(interleaved, n);
        interleaved += n * static_cast<size_t>(m_channels);
        frames -= n;
    }
}

void TruePeakMeter::addBlock(const float *interleaved, size_t frames) {
    const size_t history = kTapsPerPhase;
    for (int c = 0; c < m_channels; ++c) {
        std::vector<float> &line = m_lines[static_cast<size_t>(c)];
        line.resize(history + frames);
        float highest = 0.0f;
        for (size_t i = 0; i < history; ++i)
            highest = std::max(highest, std::abs(line[i]));
        for (size_t i = 0; i < frames; ++i) {
            const float v = interleaved[i * static_cast<size_t>(m_channels) + static_cast<size_t>(c)];
            line[history + i] = v;
            highest = std::max(highest, std::abs(v));
        }
        m_peak = std::max(m_peak, static_cast<double>(highest)); // phase 0: the samples themselves
        // Between the samples nothing can pass gain * highest: a block that cannot raise the
        // peak is not interpolated.
        if (highest * m_gain > m_peak) {
            m_out.resize(frames);
            // The line's history supplies the samples before the block that the taps reach.
            for (const std::vector<float> &phase : m_phase) {
                const float blockPeak = PhasePeak(phase.data(), line.data() + history, m_out.data(), frames);
                m_peak = std::max(m_peak, static_cast<double>(blockPeak));
            }
        }
        std::copy(line.end() - static_cast<std::ptrdiff_t>(history), line.end(), line.begin());
        line.resize(history);
    }
}

} // namespace tv

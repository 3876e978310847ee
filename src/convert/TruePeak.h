#pragma once
// The true peak of a sound: its highest level between the samples too, found by oversampling
// (4 times below 96 kHz, twice below 192 kHz) with a windowed-sinc interpolator. Blocks whose
// samples lie too low to raise the peak found so far are not interpolated at all, which makes
// the meter cheap on music.

#include <cstddef>
#include <vector>

namespace tv {

class TruePeakMeter {
public:
    TruePeakMeter(int channels, int sampleRate);

    // Interleaved float samples, any number of frames.
    void add(const float *interleaved, size_t frames);
    // The highest level so far, linear (1.0 = full scale).
    double peak() const { return m_peak; }

private:
    void addBlock(const float *interleaved, size_t frames);

    int m_channels;
    int m_factor;                            // oversampling factor
    std::vector<std::vector<float>> m_phase; // the taps of each fractional phase (1 .. factor-1)
    double m_gain = 1.0;                     // the largest sum of |taps| of a phase: y <= gain * max|x|
    std::vector<std::vector<float>> m_lines; // per channel: history, then the current block
    std::vector<float> m_out;                // one phase of the current block
    double m_peak = 0.0;
};

} // namespace tv

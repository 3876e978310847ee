#pragma once
// The EBU R128 meter behind a measurement, shared by the meter and the album loudness.

#include <ebur128.h>

namespace tv {

struct LoudnessMeterState {
    explicit LoudnessMeterState(ebur128_state *state) : meter(state) {}
    ~LoudnessMeterState() { ebur128_destroy(&meter); }
    LoudnessMeterState(const LoudnessMeterState &) = delete;
    LoudnessMeterState &operator=(const LoudnessMeterState &) = delete;

    ebur128_state *meter;
};

} // namespace tv

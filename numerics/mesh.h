#pragma once
// The uniform mesh of N elements on [0, 1]: h = 1/N, x_0 = 0, x_i = i * h
// for 0 < i < N (the integer converted, then one product; never i / N), and
// x_N = 1 exactly, not N * h. The set-up, the solver and whoever forms a
// value at a node again (the mesh-study tool) all take x from here.
#include <cstdint>

namespace kestrelfold {

inline double element_length(std::int32_t N) { return 1.0 / N; }

inline double x_no(std::int64_t N, double h, std::int64_t i) {
    if (i == 0) return 0.0;
    if (i == N) return 1.0;
    return static_cast<double>(i) * h;
}

}  // namespace kestrelfold

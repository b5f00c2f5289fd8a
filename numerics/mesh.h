#pragma once
// The uniform mesh of N elements on [0, 1]: h = 1/N, x_0 = 0, x_i = i * h
// for 0 < i < N (the integer converted, then one product; never i / N), and
// x_N = 1 exactly, not N * h. No run stores the mesh: the solver, the
// writers and whoever forms a value at a node again (the mesh-study tool)
// all take x from here, so they all see the same double at a node.
#include <cstdint>

namespace kestrelfold {

inline double element_length(std::int32_t N) { return 1.0 / N; }

// x at an interior node 0 < i < N. Node indices are 64-bit throughout: at
// N = 2^31 - 1 the node count N + 1 does not fit 32 bits.
inline double x_interior(double h, std::int64_t i) { return static_cast<double>(i) * h; }

// The node where T(1/2) is read: N / 2, for an odd N the node half an
// element left of x = 1/2.
inline std::int32_t no_meio(std::int32_t N) { return N / 2; }

inline double x_no(std::int64_t N, double h, std::int64_t i) {
    if (i == 0) return 0.0;
    if (i == N) return 1.0;
    return x_interior(h, i);
}

}  // namespace kestrelfold

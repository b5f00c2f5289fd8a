#pragma once
// The uniform mesh of N elements on [0, 1]: h = 1/N, x_0 = 0, x_i = i * h
// for 0 < i < N (the integer converted, then one product; never i / N), and
// x_N = 1 exactly, not N * h. No run stores the mesh: the solver, the
// writers and whoever forms a value at a node again (the mesh-study tool)
// all take x from here, so they all see the same value at a node. Real is
// the number type of the run: double, or Quad for kestrelfold-quad.
#include <cstdint>

namespace kestrelfold {

template <typename Real = double>
inline Real element_length(std::int32_t N) { return Real(1) / static_cast<Real>(N); }

// x at an interior node 0 < i < N. Node indices are 64-bit throughout: at
// N = 2^31 - 1 the node count N + 1 does not fit 32 bits.
template <typename Real>
inline Real x_interior(Real h, std::int64_t i) { return static_cast<Real>(i) * h; }

// The node where T(1/2) is read: N / 2, for an odd N the node half an
// element left of x = 1/2.
inline std::int32_t no_meio(std::int32_t N) { return N / 2; }

template <typename Real>
inline Real x_no(std::int64_t N, Real h, std::int64_t i) {
    if (i == 0) return 0;
    if (i == N) return 1;
    return x_interior(h, i);
}

}  // namespace kestrelfold

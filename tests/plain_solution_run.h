#pragma once
// The solution run written the plain way, one loop per step over whole
// fields, straight from the formulas of the model problem: the reference
// that the program's one-pass solution run must match bit for bit.
#include <cmath>
#include <cstdint>
#include <vector>

#include "numerics/correctly_rounded_exp.h"

namespace kestrelfold::test_support {

struct PlainRun {
    std::vector<double> Te, aw, aP, ae, bP, T;
    double inclinacao = 0;
    double T_media = 0;
};

inline double plain_exact(std::int32_t fonte, double x) {
    switch (fonte) {
    case 0: return (correctly_rounded_exp(x) - 1) / 1.718281828459045;
    case 1: return x;
    case 2: return x * x;
    case 3: return (x * x) * x;
    default: return (x * x) * (x * x);
    }
}

inline double plain_source(std::int32_t fonte, double x) {
    switch (fonte) {
    case 0: return correctly_rounded_exp(x) / 1.718281828459045;
    case 1: return 0;
    case 2: return 2;
    case 3: return x * 6;
    default: return (12 * x) * x;
    }
}

// The mean's sum in its fixed grouping: term i (T_(i-1) + T_i) goes, in
// increasing i, to partial sum (i - 1) mod 8; the eight are paired.
inline double plain_trapezoid_sum(const std::vector<double>& T, std::int32_t N) {
    double p[8] = {};
    for (std::int32_t i = 1; i <= N; ++i) p[(i - 1) % 8] += T[i - 1] + T[i];
    return ((p[0] + p[1]) + (p[2] + p[3])) + ((p[4] + p[5]) + (p[6] + p[7]));
}

inline PlainRun plain_solution_run(std::int32_t fonte, std::int32_t N, double h,
                                   const std::vector<double>& x) {
    const std::size_t nodes = static_cast<std::size_t>(N) + 1;
    PlainRun r{std::vector<double>(nodes), std::vector<double>(nodes), std::vector<double>(nodes),
               std::vector<double>(nodes), std::vector<double>(nodes), std::vector<double>(nodes)};
    for (std::int32_t i = 0; i <= N; ++i) r.Te[i] = plain_exact(fonte, x[i]);
    if (fonte == 0) {
        r.Te[0] = 0;
        r.Te[N] = 1;
    }
    for (std::int32_t i = 0; i <= N; ++i) r.bP[i] = plain_source(fonte, x[i]);
    r.bP[0] = 0, r.aw[0] = 0, r.ae[0] = 0, r.aP[0] = 1;
    r.aw[N] = 0, r.ae[N] = 0, r.aP[N] = 1, r.bP[N] = 1;
    for (std::int32_t i = 1; i < N; ++i) {
        r.aw[i] = 1, r.ae[i] = 1, r.aP[i] = 2;
        r.bP[i] = r.bP[i] * (0 - h * h);
    }
    std::vector<double> P(nodes), Q(nodes);
    P[0] = r.ae[0] / r.aP[0];
    Q[0] = r.bP[0] / r.aP[0];
    for (std::int32_t i = 1; i <= N; ++i) {
        const double d = r.aP[i] - P[i - 1] * r.aw[i];
        P[i] = r.ae[i] / d;
        Q[i] = (r.aw[i] * Q[i - 1] + r.bP[i]) / d;
    }
    r.T[N] = Q[N];
    for (std::int32_t i = N - 1; i >= 0; --i) r.T[i] = r.T[i + 1] * P[i] + Q[i];
    r.inclinacao = ((3 * r.T[N] + r.T[N - 2]) - 4 * r.T[N - 1]) / (h + h);
    r.T_media = (0.5 * h) * plain_trapezoid_sum(r.T, N);
    return r;
}

}  // namespace kestrelfold::test_support

#include "numerics/calcula_variaveis.h"

#include <cstddef>

#include "numerics/node_blocks.h"
#include "numerics/nodes.h"

namespace kestrelfold {

namespace {

constexpr std::size_t kPartialSums = 8;

// s = sum over i = 1..last of (T_(i-1) + T_i), grouped as calcula_T_media
// documents. Each block of eight terms goes to p_0..p_7 in order; the tail
// of fewer than eight terms continues the same pattern from p_0.
template <typename Real>
Real soma_trapezios(const Real* T, std::size_t last) {
    Real p[kPartialSums] = {};
    const std::size_t blocks_end = 1 + last / kPartialSums * kPartialSums;
    for_each_block(1, blocks_end, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; i += kPartialSums) {
            for (std::size_t k = 0; k < kPartialSums; ++k) p[k] += T[i + k - 1] + T[i + k];
        }
    });
    std::size_t i = blocks_end;
    for (std::size_t k = 0; i <= last; ++i, ++k) p[k] += T[i - 1] + T[i];
    return ((p[0] + p[1]) + (p[2] + p[3])) + ((p[4] + p[5]) + (p[6] + p[7]));
}

}  // namespace

template <typename Real>
Real calcula_inclinacao(std::int32_t N, Real h, Values<Real> T) {
    require_nodes("calcula_inclinacao", N, 2, {T.size()});
    return ((3 * T[N] + T[N - 2]) - 4 * T[N - 1]) / (h + h);
}

template <typename Real>
Real calcula_T_media(std::int32_t N, Real h, Values<Real> T) {
    require_nodes("calcula_T_media", N, 0, {T.size()});
    return (Real(0.5) * h) * soma_trapezios(T.data(), static_cast<std::size_t>(N));
}

template <typename Real>
VariaveisNumericasDe<Real> calcula_variaveis(std::int32_t N, Real h, Values<Real> T) {
    return {calcula_inclinacao(N, h, T), calcula_T_media(N, h, T)};
}

template double calcula_inclinacao(std::int32_t, double, std::span<const double>);
template Quad calcula_inclinacao(std::int32_t, Quad, std::span<const Quad>);
template double calcula_T_media(std::int32_t, double, std::span<const double>);
template Quad calcula_T_media(std::int32_t, Quad, std::span<const Quad>);
template VariaveisNumericas calcula_variaveis(std::int32_t, double, std::span<const double>);
template VariaveisNumericasDe<Quad> calcula_variaveis(std::int32_t, Quad, std::span<const Quad>);

}  // namespace kestrelfold

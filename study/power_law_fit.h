#pragma once
// A power law fitted to the meshes of a study: |E| = C * s^p for a
// measure s of the mesh (h for the discretisation error, N for round-off),
// by least squares on log10 |E| against log10 s. Both components of the
// error follow such a law over many decades, so a straight line in log-log
// is what a reader of the plot sees; its scatter says how well the law holds.
#include <cstddef>
#include <optional>
#include <span>

namespace kestrelfold::study {

struct PowerLaw {
    double coefficient;  // C
    double exponent;     // p
    std::size_t points;  // meshes the fit is over
    double scatter;      // root mean square of the residuals of log10 |E|, in decades

    double at(double s) const;
};

// The law through the points (s_k, |E_k|) with s_k > 0 and E_k != 0 (the
// others are left out). Nothing with fewer than two such points or when
// every s is the same.
std::optional<PowerLaw> fit_power_law(std::span<const double> s, std::span<const double> E);

// Where the discretisation law C h^p, falling as h = 1/N falls, meets the
// round-off law K N^q, rising with N: N* = (C / K)^(1 / (p + q)). Nothing
// when the two laws do not cross once (p + q <= 0).
std::optional<double> crossing_mesh(const PowerLaw& discretisation, const PowerLaw& roundoff);

}  // namespace kestrelfold::study

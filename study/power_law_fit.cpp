#include "study/power_law_fit.h"

#include <cmath>
#include <vector>

namespace kestrelfold::study {

double PowerLaw::at(double s) const { return coefficient * std::pow(s, exponent); }

std::optional<PowerLaw> fit_power_law(std::span<const double> s, std::span<const double> E) {
    std::vector<double> u;  // log10 s
    std::vector<double> v;  // log10 |E|
    for (std::size_t k = 0; k < s.size() && k < E.size(); ++k) {
        if (s[k] > 0 && E[k] != 0 && std::isfinite(E[k])) {
            u.push_back(std::log10(s[k]));
            v.push_back(std::log10(std::abs(E[k])));
        }
    }
    const double n = static_cast<double>(u.size());
    if (u.size() < 2) return std::nullopt;
    double mean_u = 0;
    double mean_v = 0;
    for (std::size_t k = 0; k < u.size(); ++k) {
        mean_u += u[k] / n;
        mean_v += v[k] / n;
    }
    double suu = 0;
    double suv = 0;
    for (std::size_t k = 0; k < u.size(); ++k) {
        suu += (u[k] - mean_u) * (u[k] - mean_u);
        suv += (u[k] - mean_u) * (v[k] - mean_v);
    }
    if (suu == 0) return std::nullopt;
    const double slope = suv / suu;
    const double intercept = mean_v - slope * mean_u;
    double squares = 0;
    for (std::size_t k = 0; k < u.size(); ++k) {
        const double residual = v[k] - (intercept + slope * u[k]);
        squares += residual * residual;
    }
    return PowerLaw{std::pow(10.0, intercept), slope, u.size(), std::sqrt(squares / n)};
}

std::optional<double> crossing_mesh(const PowerLaw& discretisation, const PowerLaw& roundoff) {
    const double rate = discretisation.exponent + roundoff.exponent;
    if (!(rate > 0)) return std::nullopt;
    const double N = std::pow(discretisation.coefficient / roundoff.coefficient, 1 / rate);
    if (!std::isfinite(N)) return std::nullopt;
    return N;
}

}  // namespace kestrelfold::study

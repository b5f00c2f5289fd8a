#include "study/estimators.h"

#include <algorithm>
#include <cmath>

#include "study/quantities.h"

namespace kestrelfold::study {
namespace {

// The fixed-point iteration for the apparent order is under-relaxed: plain
// iteration oscillates without end when r32 is much larger than r21.
constexpr double kRelaxation = 0.5;
constexpr double kOrderTolerance = 1e-12;
constexpr int kMaxIterations = 1000;

constexpr double kGciFsObserved = 1.25;
constexpr double kGciFsFormal = 3.0;
constexpr double kGciSmallestOrder = 0.5;
constexpr double kGciLargestOrder = 2.5;

}  // namespace

std::optional<double> finite(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> median(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    if (values.size() % 2 == 1) return values[middle];
    return (values[middle - 1] + values[middle]) / 2;
}

std::optional<double> observed_order(double E_coarse, double E_fine, double r) {
    if (E_coarse == 0 || E_fine == 0) return std::nullopt;
    return finite((std::log(std::fabs(E_coarse)) - std::log(std::fabs(E_fine))) / std::log(r));
}

std::optional<double> apparent_order(double phi3, double phi2, double phi1, double r32, double r21) {
    const double eps21 = phi2 - phi1;
    const double eps32 = phi3 - phi2;
    if (eps21 == 0 || eps32 == 0) return std::nullopt;
    const double L = std::log(std::fabs(eps32)) - std::log(std::fabs(eps21));
    const double ln_r21 = std::log(r21);
    if (r21 == r32) return finite(L / ln_r21);

    const double s = (eps32 > 0) == (eps21 > 0) ? 1.0 : -1.0;
    double p = L / ln_r21;
    for (int i = 0; i < kMaxIterations; ++i) {
        const double quotient = (std::pow(r21, p) - s) / (std::pow(r32, p) - s);
        if (!(quotient > 0) || !std::isfinite(quotient)) return std::nullopt;
        const double next = (1 - kRelaxation) * p + kRelaxation * (L + std::log(quotient)) / ln_r21;
        if (!std::isfinite(next)) return std::nullopt;
        if (std::fabs(next - p) <= kOrderTolerance) return next;
        p = next;
    }
    return std::nullopt;
}

std::optional<double> convergence_ratio(double phi3, double phi2, double phi1) {
    if (phi2 == phi3) return std::nullopt;
    return finite((phi1 - phi2) / (phi2 - phi3));
}

Convergence convergence_type(double phi3, double phi2, double phi1) {
    if (phi1 == phi2) return Convergence::no_change;
    const std::optional<double> R = convergence_ratio(phi3, phi2, phi1);
    if (!R || std::fabs(*R) >= 1) return Convergence::divergent;
    return *R > 0 ? Convergence::monotone : Convergence::oscillatory;
}

Richardson richardson(double phi2, double phi1, double r, double p) {
    const double U = (phi1 - phi2) / (std::pow(r, p) - 1);
    return {phi1 + U, U};
}

std::optional<double> effectivity(double U, double E) {
    if (E == 0) return std::nullopt;
    return finite(U / E);
}

Gci gci(double phi2, double phi1, double r, std::optional<double> p_U) {
    const bool observed = p_U && *p_U >= kGciSmallestOrder && *p_U <= kGciLargestOrder;
    const double Fs = observed ? kGciFsObserved : kGciFsFormal;
    const double p = observed ? *p_U : kFormalOrder;
    return {Fs * std::fabs(phi2 - phi1) / (std::pow(r, p) - 1), Fs, p, observed};
}

}  // namespace kestrelfold::study

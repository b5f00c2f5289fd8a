#include "study/roundoff.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrelfold::study {
namespace {

bool below_one(const std::optional<double>& p) { return p && *p < 1; }

// The first mesh where the error stopped falling; size() when none.
std::size_t first_marked(std::span<const double> errors, std::span<const std::optional<double>> p_E) {
    for (std::size_t k = 1; k < errors.size(); ++k) {
        if (below_one(p_E[k]) && below_one(p_E[k - 1])) return k - 1;
        if (std::fabs(errors[k]) > std::fabs(errors[k - 1])) return k;
    }
    return errors.size();
}

}  // namespace

std::vector<bool> roundoff_marks(std::span<const double> errors, std::span<const std::optional<double>> p_E) {
    std::vector<bool> marks(errors.size(), false);
    for (std::size_t k = first_marked(errors, p_E); k < marks.size(); ++k) marks[k] = true;
    return marks;
}

double roundoff_level(std::int32_t N, double exact) {
    const double n = static_cast<double>(N);
    return std::numeric_limits<double>::epsilon() * n * n * std::max(1.0, std::fabs(exact));
}

bool exact_quantity(std::span<const std::int32_t> N, std::span<const double> errors,
                    std::span<const double> exact) {
    if (errors.empty()) return false;
    for (std::size_t k = 0; k < errors.size(); ++k) {
        if (!(std::fabs(errors[k]) <= roundoff_level(N[k], exact[k]))) return false;
    }
    return true;
}

std::size_t optimal_mesh(std::span<const double> errors) {
    std::size_t best = 0;
    for (std::size_t k = 1; k < errors.size(); ++k) {
        if (std::fabs(errors[k]) < std::fabs(errors[best])) best = k;
    }
    return best;
}

}  // namespace kestrelfold::study

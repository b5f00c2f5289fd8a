#include "study/error_split.h"

#include <cmath>

namespace kestrelfold::study {

ErrorSplit split_error(double value, __float128 reference, __float128 exact) {
    return {static_cast<double>(exact - reference), static_cast<double>(reference - static_cast<__float128>(value))};
}

bool is_cancellation(const ErrorSplit& split) {
    if (split.discretisation == 0 || split.roundoff == 0) return false;
    if (std::signbit(split.discretisation) == std::signbit(split.roundoff)) return false;
    const double d = std::abs(split.discretisation);
    const double r = std::abs(split.roundoff);
    return std::min(d, r) > std::max(d, r) / 2;
}

std::optional<std::size_t> first_significant_roundoff(std::span<const ErrorSplit> splits) {
    for (std::size_t k = 0; k < splits.size(); ++k) {
        if (std::abs(splits[k].roundoff) > std::abs(splits[k].discretisation) * kRoundoffShare) return k;
    }
    return std::nullopt;
}

}  // namespace kestrelfold::study

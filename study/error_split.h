#pragma once
// The true error of a double-precision value split in two by a run of the
// same equations in binary128: its round-off is some 10^18 times smaller, so
// the quad value is the discrete solution itself, and
//   error = exact - value = (exact - reference) + (reference - value)
//         = discretisation error + round-off error.
// Both differences are formed in binary128, where they are exact or nearly,
// and only then rounded to double.
#include <cstddef>
#include <optional>
#include <span>

namespace kestrelfold::study {

struct ErrorSplit {
    double discretisation;  // exact - reference
    double roundoff;        // reference - value
};

ErrorSplit split_error(double value, __float128 reference, __float128 exact);

// Whether a total error is mostly a cancellation of its components: they
// have opposite signs and the smaller is more than half the larger, so that
// the total is less than half of the larger. A mesh where that happens can
// have the smallest error of a study by luck; it is no optimum.
bool is_cancellation(const ErrorSplit& split);

// Round-off counts from the first mesh where it exceeds a tenth of the
// discretisation error: from there on, an estimate that assumes the
// discretisation error alone is off by more than ten percent. Meshes coarse
// to fine; nothing when it never does.
inline constexpr double kRoundoffShare = 0.1;
std::optional<std::size_t> first_significant_roundoff(std::span<const ErrorSplit> splits);

}  // namespace kestrelfold::study

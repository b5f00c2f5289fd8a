#pragma once
// The reference for e^x of the tests and the fuzz target: MPFR's exp at 53
// bits, rounded to nearest, with the exponent range of a double (subnormals
// and overflow included); and the program's floating-point mode for a while.
#include <mpfr.h>

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>

#include "driver/floating_point_mode.h"

namespace kestrelfold::test_support {

// MPFR reads and writes doubles through the floating-point unit: it is
// called in the platform's default mode only.
inline double reference_exp(double x) {
    static const bool kRangeSet = [] {
        mpfr_set_emin(-1073);  // 2^-1074 = 0.5 * 2^-1073
        mpfr_set_emax(1024);
        return true;
    }();
    (void)kRangeSet;
    mpfr_t value;
    mpfr_init2(value, 53);
    mpfr_set_d(value, x, MPFR_RNDN);
    const int ternary = mpfr_exp(value, value, MPFR_RNDN);
    mpfr_subnormalize(value, ternary, MPFR_RNDN);
    const double result = mpfr_get_d(value, MPFR_RNDN);
    mpfr_clear(value);
    return result;
}

// The program's floating-point mode for the life of the object (subnormals
// flushed to zero and read as zero), then the mode as it was.
class RunFloatingPointMode {
public:
    RunFloatingPointMode() {
        std::fegetenv(&saved_);
        set_floating_point_mode();
    }
    ~RunFloatingPointMode() { std::fesetenv(&saved_); }
    RunFloatingPointMode(const RunFloatingPointMode&) = delete;
    RunFloatingPointMode& operator=(const RunFloatingPointMode&) = delete;

private:
    std::fenv_t saved_;
};

inline bool same_double(double a, double b) {
    return std::isnan(a) ? std::isnan(b) : std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

}  // namespace kestrelfold::test_support

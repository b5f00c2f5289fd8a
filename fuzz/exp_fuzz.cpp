// correctly_rounded_exp against MPFR on arguments drawn from the fuzz bytes.
//
// Every 8 bytes give three arguments: the double of those bits (any value:
// NaNs, infinities, subnormals, huge), the bits' top 53 as a double of
// [0, 1) (the meshes' interval) and the same fraction spread over
// [-746, 710), where e^x goes from zero through the subnormals to overflow.
// Each must be the double MPFR rounds e^x to, bit for bit, in the default
// floating-point mode and in the run's (subnormals flushed to zero and read
// as zero); any difference aborts with the argument.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "numerics/correctly_rounded_exp.h"
#include "tests/exp_reference.h"

namespace {

using kestrelfold::test_support::reference_exp;
using kestrelfold::test_support::RunFloatingPointMode;
using kestrelfold::test_support::same_double;

void check(double x) {
    const double expected = reference_exp(x);
    const double in_default_mode = kestrelfold::correctly_rounded_exp(x);
    double in_run_mode;
    {
        const RunFloatingPointMode mode;
        in_run_mode = kestrelfold::correctly_rounded_exp(x);
    }
    if (same_double(in_default_mode, expected) && same_double(in_run_mode, expected)) return;
    std::fprintf(stderr, "exp(%a): %a in the default mode, %a in the run's mode, correctly rounded %a\n", x,
                 in_default_mode, in_run_mode, expected);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; at + 8 <= size; at += 8) {
        std::uint64_t bits;
        std::memcpy(&bits, data + at, 8);
        const double fraction = static_cast<double>(bits >> 11) * 0x1p-53;
        check(std::bit_cast<double>(bits));
        check(fraction);
        check(-746 + fraction * 1456);
    }
    return 0;
}

#include "driver/floating_point_mode.h"

#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace kestrelfold {

void set_floating_point_mode() {
#if defined(__x86_64__) || defined(_M_X64)
    constexpr unsigned kFlushToZero = 0x8000;
    constexpr unsigned kDenormalsAreZero = 0x0040;
    _mm_setcsr(_mm_getcsr() | kFlushToZero | kDenormalsAreZero);
#elif defined(__aarch64__)
    constexpr std::uint64_t kFlushToZero = std::uint64_t{1} << 24;
    std::uint64_t fpcr = 0;
    asm volatile("mrs %0, fpcr" : "=r"(fpcr));
    fpcr |= kFlushToZero;
    asm volatile("msr fpcr, %0" : : "r"(fpcr));
#endif
}

}  // namespace kestrelfold

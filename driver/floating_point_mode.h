#pragma once
// The floating-point mode of the whole run: results that would be subnormal
// are stored as zero (flush-to-zero) and subnormal operands are read as zero
// (denormals-are-zero). Rounding stays to nearest and every exception stays
// masked, so a division by zero gives an infinity and the run goes on.

namespace kestrelfold {

// x86-64: MXCSR bits 15 (FTZ) and 6 (DAZ). AArch64: FPCR bit 24 (FZ), which
// covers both. Elsewhere the platform's default mode is left as it is.
void set_floating_point_mode();

}  // namespace kestrelfold

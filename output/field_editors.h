#pragma once
// Field editors: each renders one item into a field of exactly w bytes and
// returns false when the item does not fit; the field then holds w asterisks.
// Pure functions: the layout walker owns the record, the column and the scale
// factor, and hands an editor only what it needs.
#include <cstdint>
#include <string_view>

#include "numerics/binary128.h"

namespace kestrelfold {

// Iw: right-justified digits, a minus sign for a negative value, no plus.
bool edit_integer(std::int32_t value, int w, char* field);

// Fw.d: right-justified, rounded to d decimals; a 0 before the point only
// when the integer part is 0 and the field has room (or d is 0); no sign for
// a value that rounds to zero. NaN, Infinity, -Infinity right-justified, or
// Inf, -Inf when narrower.
bool edit_fixed(double value, int w, int d, char* field);

// Ew.d under the scale factor k (-d < k < d + 2, else std::logic_error):
// k digits before the point for k > 0 (1P gives d.ddd), 0.ddd for k = 0.
// The exponent is E+dd up to 99 in magnitude and +ddd (no E) up to 999.
// Zero of either sign has no sign and exponent +00. NaN and the infinities
// leave the first column blank and are left-adjusted from the second.
bool edit_scientific(double value, int w, int d, int scale, char* field);

// The same for a binary128 value: its correctly rounded digits, laid out
// by the same rules.
bool edit_scientific(Quad value, int w, int d, int scale, char* field);

// Aw: the leftmost w bytes of a longer text, or the text right-justified.
void edit_text(std::string_view text, int w, char* field);

}  // namespace kestrelfold

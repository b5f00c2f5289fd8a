#pragma once
// e^x correctly rounded where the double path of correctly_rounded_exp
// leaves it undecided: the value within a proven relative error of 2^-71.6
// as a double-double sum s + lo, whose rounding is taken only when every
// value within the bound rounds the same way. Nothing for |x| outside
// [2^-60, 708) (NaN included) nor, for about one argument in 10^5, when the
// rounding is not decided: exp_by_fixed_point then decides it exactly.
#include <optional>

namespace kestrelfold {

std::optional<double> exp_by_double_double(double x);

}  // namespace kestrelfold

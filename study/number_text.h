#pragma once
// Numbers as the study's files show them, independent of any locale.
#include <optional>
#include <string>

#include "numerics/binary128.h"

namespace kestrelfold::study {

// Scientific notation with `significant` digits: "3.7754066879814550e-01"
// for 17. Nothing for NaN or an infinity: the caller leaves the cell empty.
std::optional<std::string> scientific(double value, int significant);

// The same for a binary128 value, correctly rounded: 36 significant digits
// give every binary128 back.
std::optional<std::string> scientific(Quad value, int significant);

// Fixed notation with `decimals` digits after the point: "2.003" for 3.
std::optional<std::string> fixed(double value, int decimals);

}  // namespace kestrelfold::study

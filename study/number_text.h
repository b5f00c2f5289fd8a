#pragma once
// Numbers as the study's files show them, independent of any locale.
#include <optional>
#include <string>

namespace kestrelfold::study {

// Scientific notation with `significant` digits: "3.7754066879814550e-01"
// for 17. Nothing for NaN or an infinity: the caller leaves the cell empty.
std::optional<std::string> scientific(double value, int significant);

// Fixed notation with `decimals` digits after the point: "2.003" for 3.
std::optional<std::string> fixed(double value, int decimals);

}  // namespace kestrelfold::study

#pragma once
#include <cstddef>
#include <string_view>

#include "driver/run.h"

namespace kestrelfold {

// The listing's last record: the processing time in an F field of this
// width with three decimals, then the label. What reads a listing takes it
// as the sign that the run wrote the listing to its end.
inline constexpr std::size_t kTempoWidth = 14;
inline constexpr std::string_view kTempoLabel = " = tempo de processamento (segundos)";

// The quantities of interest with their errors and the processing time, on
// the listing; then the extrapolation data file, shown in the editor.
template <typename Real>
void variaveis_interesse(RunOf<Real>& run);

}  // namespace kestrelfold

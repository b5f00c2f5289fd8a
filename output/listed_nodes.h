#pragma once
// The nodes that the coefficient table, the solution table and the plot data
// file list: 0, freq, 2*freq, ... up to N - 1, then node N, always and once.
#include <cstdint>

namespace kestrelfold {

// Calls row(i) for each listed node i in increasing order. The number of
// steps is (N + freq - 1) / freq, truncated, worked out in 64 bits so that a
// large freq cannot overflow it. A freq of 0 or less has no step (a zero
// would divide by zero): only node N is listed.
template <class Row>
void for_each_listed_node(std::int32_t N, std::int32_t freq, Row&& row) {
    if (freq > 0) {
        const std::int64_t steps = (std::int64_t{N} + freq - 1) / freq;
        std::int64_t i = 0;
        for (std::int64_t step = 0; step < steps; ++step, i += freq) {
            row(static_cast<std::int32_t>(i));
        }
    }
    row(N);
}

}  // namespace kestrelfold

#include "numerics/relogio.h"

#include <chrono>
#include <optional>

namespace kestrelfold {

double relogio() {
    using Clock = std::chrono::steady_clock;
    static std::optional<Clock::time_point> start;  // the run is single-threaded
    const Clock::time_point now = Clock::now();
    if (!start) {
        start = now;
        return 0.0;
    }
    return std::chrono::duration<double>(now - *start).count();
}

}  // namespace kestrelfold

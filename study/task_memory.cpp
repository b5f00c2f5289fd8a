#include "study/task_memory.h"

#include "numerics/run_memory.h"

namespace kestrelfold::study {

std::uint64_t task_memory_mib(std::int32_t N) {
    return (run_memory_bytes(N) + kProcessReserveBytes + kMebibyte - 1) / kMebibyte;
}

}  // namespace kestrelfold::study

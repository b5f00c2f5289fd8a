#include "study/task_memory.h"

namespace kestrelfold::study {

std::uint64_t task_memory_mib(std::uint64_t run_bytes) {
    return (run_bytes + kProcessReserveBytes + kMebibyte - 1) / kMebibyte;
}

}  // namespace kestrelfold::study

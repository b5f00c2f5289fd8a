#pragma once
// The memory a batch system is to grant one run of a study: the figure the
// program itself checks for its mesh, and what its process holds beyond the
// fields, in whole MiB (the unit of Slurm's --mem).
#include <cstdint>

namespace kestrelfold::study {

// What a run's processes hold beyond the figure, measured with GNU time
// (%M, the peak resident set) on the job line of N = 10^8: kestrelfold 4.0 MB
// above it (its code, libraries, stack and unit buffers), and each of the
// two shells of the editor stand-in it starts at most 1.6 MB, with dash as
// /bin/sh. Slurm adds up the resident sets of a task's processes; 32 MiB
// leaves room for larger shells (bash as /bin/sh) and libraries elsewhere.
inline constexpr std::uint64_t kProcessReserveBytes = std::uint64_t{32} << 20;

inline constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20;

// The MiB to grant a job line whose runs hold at most `run_bytes` (the
// figure the programs check; Job::memory), rounded up.
std::uint64_t task_memory_mib(std::uint64_t run_bytes);

}  // namespace kestrelfold::study

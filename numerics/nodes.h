#pragma once
// The numerical kernels work on fields of the nodes 0..N handed over as
// spans. A negative N, an N below what a kernel needs, or a field too short
// for N + 1 nodes is a caller's mistake; it is reported as
// std::invalid_argument before any node is read or written, so that no
// kernel ever addresses memory outside its fields.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace kestrelfold {

// N + 1, the number of nodes of a mesh of N >= 0 elements, computed in a
// type where N = 2^31 - 1 does not overflow.
inline std::size_t node_count(std::int32_t N) { return static_cast<std::size_t>(N) + 1; }

// Throws std::invalid_argument, naming `kernel`, unless N >= smallest_N,
// N >= 0, and each of `field_sizes` holds at least the nodes 0..N.
void require_nodes(const char* kernel, std::int32_t N, std::int32_t smallest_N,
                   std::initializer_list<std::size_t> field_sizes);

// Throws std::invalid_argument, naming `kernel`, unless node i is one of the
// nodes 0..N of a mesh of N >= 1 elements: for those that form one node's
// values (its coordinate, its equation, its exact solution).
void require_node(const char* kernel, std::int32_t N, std::int64_t i);

// Throws std::invalid_argument, naming `kernel`, unless fonte is 0..4: only
// those have a source term and an exact solution.
void require_fonte(const char* kernel, std::int32_t fonte);

}  // namespace kestrelfold

#pragma once
// The long loops over the mesh look at the run's interruption
// (driver/interruption.h) once per block of kNodesBetweenLooks nodes: a run
// stopped by a signal stops within a block. Most loops go block by block,
// each block the plain loop it was. The forward pass of the solution looks
// from inside its loop instead: split into a nest of two loops, it was
// compiled without some of the paired divisions it has now, and took up to
// a tenth longer.
#include <cstddef>

#include "driver/interruption.h"

namespace kestrelfold {

static_assert((kNodesBetweenLooks & (kNodesBetweenLooks - 1)) == 0, "blocks are found by the low bits of a node");

// body(begin, end) for the blocks of [first, last), from first upward.
template <typename Body>
inline void for_each_block(std::size_t first, std::size_t last, Body&& body) {
    while (first < last) {
        stop_if_interrupted();
        const std::size_t end = last - first > kNodesBetweenLooks ? first + kNodesBetweenLooks : last;
        body(first, end);
        first = end;
    }
}

// body(begin, end) for the blocks of [first, last), from last downward.
template <typename Body>
inline void for_each_block_downward(std::size_t first, std::size_t last, Body&& body) {
    while (first < last) {
        stop_if_interrupted();
        const std::size_t begin = last - first > kNodesBetweenLooks ? last - kNodesBetweenLooks : first;
        body(begin, last);
        last = begin;
    }
}

// For a loop that goes `step` nodes at a time and stays one loop: true for
// exactly one `next` of each block, whatever node the loop started from.
constexpr bool starts_block(std::size_t next, std::size_t step) {
    return (next & (kNodesBetweenLooks - 1)) < step;
}

}  // namespace kestrelfold

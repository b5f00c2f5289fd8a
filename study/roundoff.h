#pragma once
// Where round-off takes over from the discretisation error. On fine meshes
// the error of a double-precision solution stops falling as h^2 and grows
// again, noisily; the estimators that assume the asymptotic range must leave
// those meshes out. Sequences run coarse to fine.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kestrelfold::study {

// True from the first mesh where the error has stopped falling on: |E| grew
// while h fell, or the observed order stayed below 1 on two meshes in a row
// (both are marked). Every finer mesh is marked too: once round-off leads,
// a smaller error further on is chance, not convergence.
std::vector<bool> roundoff_marks(std::span<const double> errors, std::span<const std::optional<double>> p_E);

// The largest error round-off alone can give on a mesh of N elements, for a
// quantity of about |exact|: machine epsilon times N^2 (the condition number
// of the second-difference matrix grows as N^2) times max(1, |exact|).
double roundoff_level(std::int32_t N, double exact);

// Whether the quantity is exact for the source term: its error stays within
// the round-off level on every mesh (`exact` holds its exact value on each
// mesh). A sequence whose coarsest mesh is already past the round-off floor
// looks the same.
bool exact_quantity(std::span<const std::int32_t> N, std::span<const double> errors,
                    std::span<const double> exact);

// The mesh with the smallest |E| (the first of equals); 0 for an empty list.
std::size_t optimal_mesh(std::span<const double> errors);

}  // namespace kestrelfold::study

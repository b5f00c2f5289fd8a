#pragma once
// Repeated Richardson extrapolation over a whole mesh sequence (Richardson
// and Gaunt's deferred approach to the limit). Level 0 holds the values of
// the meshes; a cell of level m combines meshes k - m .. k and removes the
// first m terms of the error expansion, so that its error falls with the
// order of term m + 1. Built from the true errors, the tableau shows which
// sequence of orders a quantity really follows.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "numerics/binary128.h"

namespace kestrelfold::study {

struct TableauLevel {
    int order;                                 // the order its errors should fall with
    std::vector<std::optional<double>> value;  // by mesh; nothing where the cell is left out
    std::vector<std::optional<double>> error;  // exact - value
    std::vector<std::optional<double>> p_E;    // observed order against the cell above
    std::optional<double> observed_order;      // the median of p_E: the order the level follows
};

// Levels 0, 1, ... as long as a level has a cell. A cell is left out when
// one of its meshes is marked for round-off, when a cell it builds on is
// left out, and from the mesh on where its level stops gaining: its error is
// larger than the level below's on the same mesh (the extrapolation made it
// worse), or than its own on the mesh before (it grew while h fell), or fell
// with less than half the level's order; the rest of that level is left out
// too. `order(m)` is the order of term m >= 1 of
// the expansion; N and the other spans run coarse to fine.
//
// The extrapolations are worked out in binary128, so that their own
// arithmetic adds nothing to the noise of the values: the values of
// kestrelfold-quad go several levels deeper than double ones.
std::vector<TableauLevel> repeated_richardson(std::span<const std::int32_t> N, std::span<const Quad> values,
                                              std::span<const Quad> exact, const std::vector<bool>& marked,
                                              const std::function<int(int)>& order);
std::vector<TableauLevel> repeated_richardson(std::span<const std::int32_t> N, std::span<const double> values,
                                              std::span<const double> exact, const std::vector<bool>& marked,
                                              const std::function<int(int)>& order);

// The limit through the points (h_j, values_j), j = 0..m, of
// value = X + sum_i c_i h^orders_i (m = orders.size()), with h_j = 1/N_j:
// the value X of the one expansion with these orders through them all.
std::optional<Quad> extrapolated_limit(std::span<const std::int32_t> N, std::span<const Quad> values,
                                       std::span<const int> orders);
std::optional<double> extrapolated_limit(std::span<const std::int32_t> N, std::span<const double> values,
                                         std::span<const int> orders);

}  // namespace kestrelfold::study

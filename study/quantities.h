#pragma once
// The three quantities of interest of a run, as a study names and treats
// them: their names in the CSV, their labels in the listing's Portuguese,
// and the powers of h their discretisation error is made of.
#include <array>
#include <cstdint>
#include <string_view>

namespace kestrelfold::study {

enum class Quantity { T_meio, T_media, inclinacao };

inline constexpr std::array<Quantity, 3> kQuantities = {Quantity::T_meio, Quantity::T_media,
                                                         Quantity::inclinacao};

// The CSV's `qoi` column: T_meio, T_media, inclinacao.
std::string_view csv_name(Quantity q);

// The label of the text report (UTF-8): "T(1/2)", "média de T", "inclinação em x = 1".
std::string_view label(Quantity q);

// The order of the m-th term (m >= 1) of the error expansion in h. T at a
// node and the trapezoid mean of nodal values carry even powers only
// (2, 4, 6, ...); the one-sided three-point slope at x = 1 carries every
// power from the second on (2, 3, 4, ...). Term 1 is the formal order.
int expansion_order(Quantity q, int m);

inline constexpr int kFormalOrder = 2;

}  // namespace kestrelfold::study

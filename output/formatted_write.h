#pragma once
// The formatted write: one statement applies a layout to items and writes
// one or more records to a unit.
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <variant>

#include "numerics/binary128.h"
#include "output/layout.h"
#include "output/units.h"

namespace kestrelfold {

// A text for an A* descriptor: the width is evaluated when the write reaches
// the descriptor; outside 0..32767 it is a fatal "variable format expression
// value error".
struct SizedText {
    std::string_view text;
    std::int32_t width;
};

// A binary128 value (kestrelfold-quad) goes to an E descriptor only.
using Item = std::variant<std::int32_t, double, std::string_view, SizedText, Quad>;

// Writes the statement's records; a numeric field that does not fit is
// filled with asterisks and the statement ends with the conversion warning.
// Items left when the layout ends start a new record and the layout again
// from its start. An item of the wrong kind for its descriptor, items for a
// layout without data descriptors, and a scale factor in force at an F
// descriptor are programming errors (std::logic_error).
void write_formatted(Unit& unit, const Layout& layout, std::initializer_list<Item> items = {});

}  // namespace kestrelfold

#pragma once
// The free-form (list-directed) read of one value from the input file.
//
// Every read starts at the beginning of the next record and takes the first
// value it finds there or on the following records; whatever follows that
// value on its record is passed over, so a value may carry a comment.
//
// - Blanks, tabs and record ends before the value are passed over.
// - A value ends at a blank, tab, comma, slash or record end.
// - A slash where the value would start, or a comma before any value, is a
//   null value: the read returns nothing and the variable keeps what it held.
// - An integer is an optional sign and decimal digits that fit in 32 bits.
// - A text is either delimited by ' or " up to the matching delimiter (a
//   doubled delimiter stands for one; the text may go on over record ends,
//   which add nothing to it, as gfortran reads a continued character
//   constant), or undelimited up to the next blank, tab, comma, slash or
//   record end. It is cut or blank-filled to the variable's length; its bytes
//   are kept as they are.
//
// FatalError "end-of-file during read" when the file ends before the value
// (or inside a delimited text), "list-directed I/O syntax error" when an
// integer is malformed or does not fit in 32 bits.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "output/units.h"

namespace kestrelfold {

std::optional<std::int32_t> read_integer(Unit& unit);

// The text cut or blank-filled to exactly `length` bytes.
std::optional<std::string> read_text(Unit& unit, std::size_t length);

}  // namespace kestrelfold

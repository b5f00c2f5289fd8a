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
// Failures are FatalErrors whose message keeps the record layer's frame and
// adds where and what, for the value named by the caller:
//   "end-of-file during read, unit 7, file Kestrelfold.in: N (the 3rd value)
//    is missing: the file ends after line 2" (or "...: the file is empty",
//    "...: lines 3 to 5 are blank and end the file", "...: the text opened
//    with ' on line 8 is never closed");
//   "list-directed I/O syntax error, unit 7, file Kestrelfold.in: line 3 (N):
//    '1O' is not an integer" (or "... does not fit a 32-bit integer").
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driver/input_file.h"
#include "output/units.h"

namespace kestrelfold {

std::optional<std::int32_t> read_integer(Unit& unit, const InputValue& value);

struct TextValue {
    std::string text;        // cut or blank-filled to the variable's length
    std::size_t length = 0;  // characters of the text in the file, before the cut
    std::int64_t line = 0;   // the line it starts on
};

std::optional<TextValue> read_text(Unit& unit, std::size_t length, const InputValue& value);

// The same read, saying what made a null value: the comma or slash found
// where the text would start, and its line. A slash there is most often an
// unquoted path, which the caller may want to explain.
struct TextRead {
    std::optional<TextValue> value;  // nothing for a null value
    char null_mark = 0;              // ',' or '/' for a null value
    std::int64_t line = 0;           // the line the value or the null value is on
};

TextRead read_text_or_null(Unit& unit, std::size_t length, const InputValue& value);

// Bytes of the input file as a message shows them: between apostrophes (or
// double quotes when the text holds an apostrophe and no double quote),
// control characters as \xNN so that none reaches the console raw, and
// beyond `at_most` characters cut and followed by "...".
std::string quoted_input(std::string_view bytes, std::size_t at_most = std::string_view::npos);

// "1st", "2nd", "3rd", "4th", ..., "11th", ..., "21st".
std::string ordinal(int number);

}  // namespace kestrelfold

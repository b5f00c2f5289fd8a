#pragma once
// Sources are UTF-8; the files the program writes are ISO 8859-1, one byte per
// character. Literal texts cross over here, once, when a layout is parsed.
#include <string>
#include <string_view>

namespace kestrelfold {

// The Latin-1 bytes of a UTF-8 text. std::invalid_argument when the text is
// not valid UTF-8 or holds a character outside Latin-1 (above U+00FF).
std::string utf8_to_latin1(std::string_view utf8);

}  // namespace kestrelfold

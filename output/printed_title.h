#pragma once
// Texts of the input as the output shows them. The title and the listing
// name are read as fixed-length, blank-filled texts; every place that prints
// or names something with them wants them without the blanks around them.
#include <cstdint>
#include <string_view>

namespace kestrelfold {

// The text moved to the left over its leading blanks, then cut before its
// trailing blanks. Only the blank (0x20) counts: every other byte of the
// input is part of the text and is written back as it was read.
std::string_view adjusted_trimmed(std::string_view text);

// The title as printed in the listing header, the results block and the plot
// titles; its length, 0 to 90, is the width of the field that prints it.
std::string_view printed_title(std::string_view titulo);
std::int32_t title_width(std::string_view printed);

// The listing name as used to name files: "saida.txt" for "  saida.txt   ".
std::string_view trimmed_caso(std::string_view caso);

}  // namespace kestrelfold

#pragma once
// Texts of the input are blank-filled to their declared length; where a text
// names a file, its leading and trailing blanks are not part of the name.
#include <string_view>

namespace kestrelfold {

inline std::string_view trim_blanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace kestrelfold

#include "output/fatal_error.h"

#include <array>
#include <charconv>

namespace kestrelfold {

std::string unit_message(std::string_view what, int unit, std::string_view file) {
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), unit).ptr;
    const std::string_view parts[] = {what, ", unit ", {digits.data(), end}, ", file ", file};
    std::string message;
    for (const std::string_view part : parts) message.append(part);
    return message;
}

}  // namespace kestrelfold

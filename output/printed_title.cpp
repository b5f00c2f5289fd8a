#include "output/printed_title.h"

namespace kestrelfold {

std::string_view adjusted_trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string_view printed_title(std::string_view titulo) { return adjusted_trimmed(titulo); }

std::int32_t title_width(std::string_view printed) {
    return static_cast<std::int32_t>(printed.size());
}

std::string_view trimmed_caso(std::string_view caso) { return adjusted_trimmed(caso); }

}  // namespace kestrelfold

#include "driver/posix/proc_fields.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

namespace kestrelfold {

std::optional<std::uint64_t> kilobyte_field(std::string_view text, std::string_view key) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.starts_with(key) || line.substr(key.size(), 1) != ":") continue;
        line.remove_prefix(key.size() + 1);
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        std::uint64_t kilobytes = 0;
        const char* last = line.data() + line.size();
        const auto [next, error] = std::from_chars(line.data(), last, kilobytes);
        if (error != std::errc() || next == line.data() || std::string_view(next, last) != " kB") return std::nullopt;
        return kilobytes;
    }
    return std::nullopt;
}

std::string file_text(const char* name) {
    std::ifstream file(name);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace kestrelfold

#pragma once
// The kernel's text files under /proc that list one "Key:   1234 kB" per
// line (/proc/meminfo, /proc/self/status), as the memory checks read them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrelfold {

// The number of the line "key: n kB" (blanks or tabs before n), in kB;
// nothing when no line has that key or its value is not "n kB".
std::optional<std::uint64_t> kilobyte_field(std::string_view text, std::string_view key);

// The whole text of a file; empty when it cannot be read.
std::string file_text(const char* name);

}  // namespace kestrelfold

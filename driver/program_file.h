#pragma once
// The file of the running program, as the system knows it: where the
// program was installed, and the examples beside it.
#include <filesystem>
#include <optional>

namespace kestrelfold {

// Nothing when the system does not say.
std::optional<std::filesystem::path> program_file();

}  // namespace kestrelfold

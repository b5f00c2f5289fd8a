#pragma once
// Which kestrelfold a study runs: the one installed beside kestrelfold-study
// (in the build tree too: both are built into one folder), else the first on
// PATH. The job lines name it by its absolute path, so that they run the same
// program wherever they are run.
#include <filesystem>
#include <optional>
#include <string_view>

namespace kestrelfold::study {

// An executable regular file named `name` in `folder`, made absolute.
std::optional<std::filesystem::path> executable_in(const std::filesystem::path& folder, std::string_view name);

// The first executable `name` in the folders of a PATH value (an empty entry
// is the current folder).
std::optional<std::filesystem::path> executable_on_path(std::string_view path, std::string_view name);

inline constexpr std::string_view kDoubleProgram = "kestrelfold";
inline constexpr std::string_view kQuadProgram = "kestrelfold-quad";

// The program `name` beside this executable, else on PATH; nothing when neither.
std::optional<std::filesystem::path> find_program(std::string_view name);

// This program by its absolute path, for the commands it prints: they run
// the same kestrelfold-study whatever PATH holds. Its bare name when the
// system does not say where it is.
std::filesystem::path study_program();

}  // namespace kestrelfold::study

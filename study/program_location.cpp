#include "study/program_location.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace kestrelfold::study {
namespace fs = std::filesystem;

std::optional<fs::path> executable_in(const fs::path& folder, std::string_view name) {
    std::error_code error;
    const fs::path candidate = fs::absolute(folder / name, error);
    if (error || !fs::is_regular_file(candidate, error)) return std::nullopt;
    if (::access(candidate.c_str(), X_OK) != 0) return std::nullopt;
    return candidate.lexically_normal();
}

std::optional<fs::path> executable_on_path(std::string_view path, std::string_view name) {
    for (;;) {
        const std::size_t colon = path.find(':');
        const std::string_view entry = path.substr(0, colon);
        if (auto found = executable_in(entry.empty() ? fs::path(".") : fs::path(entry), name)) return found;
        if (colon == std::string_view::npos) return std::nullopt;
        path.remove_prefix(colon + 1);
    }
}

fs::path study_program() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path("kestrelfold-study") : self;
}

std::optional<fs::path> find_program(std::string_view name) {
    const fs::path self = study_program();
    if (self.is_absolute()) {
        if (auto beside = executable_in(self.parent_path(), name)) return beside;
    }
    const char* path = std::getenv("PATH");
    return executable_on_path(path ? path : "", name);
}

}  // namespace kestrelfold::study

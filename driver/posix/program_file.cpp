#include "driver/program_file.h"

#include <system_error>

namespace kestrelfold {

std::optional<std::filesystem::path> program_file() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return self;
}

}  // namespace kestrelfold

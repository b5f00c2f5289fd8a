#include "driver/program_file.h"

#include <windows.h>

namespace kestrelfold {

std::optional<std::filesystem::path> program_file() {
    // In the ANSI code page, as every other name of the run.
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    return std::filesystem::path(std::string(path, length));
}

}  // namespace kestrelfold

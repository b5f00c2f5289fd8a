#include "driver/examples_folder.h"

#include <filesystem>
#include <system_error>

#include "driver/program_file.h"

namespace kestrelfold {
namespace {

namespace fs = std::filesystem;

// Set by the build: the examples' install folder relative to the program's
// (share/kestrelfold/examples from bin/), which holds under any install
// prefix, and the source tree's examples/.
constexpr const char* kInstalledFromProgram = KESTRELFOLD_EXAMPLES_FROM_PROGRAM;
constexpr const char* kInSourceTree = KESTRELFOLD_SOURCE_EXAMPLES;

bool is_folder(const fs::path& folder) {
    std::error_code error;
    return fs::is_directory(folder, error);
}

}  // namespace

std::string where_the_examples_are() {
    if (const std::optional<fs::path> self = program_file()) {
        const fs::path installed = (self->parent_path() / kInstalledFromProgram).lexically_normal();
        if (is_folder(installed)) return "the examples are in " + installed.string();
    }
    if (is_folder(kInSourceTree)) return "the examples are in " + std::string(kInSourceTree);
    return "the examples are installed in share/kestrelfold/examples";
}

}  // namespace kestrelfold

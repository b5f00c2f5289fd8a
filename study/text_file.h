#pragma once
// Files a study writes whole: under a temporary name beside the target, then
// renamed over it, so that a reader (or an interrupted study) never finds a
// half-written file under the real name.
#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace kestrelfold::study {

// A file the study could not write or read; the message names it and why.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes `bytes` as the file `path` (mode 0644, or 0755 when `executable`).
// FileError on failure, with no temporary file left behind.
void write_file(const std::filesystem::path& path, std::string_view bytes, bool executable = false);

}  // namespace kestrelfold::study

#pragma once
// Files a study writes whole: under a temporary name beside the target, then
// renamed over it, so that a reader (or an interrupted study) never finds a
// half-written file under the real name.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <stdexcept>
#include <string_view>

namespace kestrelfold::study {

// A file the study could not write or read; the message names it and why.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes `bytes` as the file `path` (mode 0644, or 0755 when `executable`).
// FileError on failure, with no temporary file left behind. An old file of
// that name is unlinked just before the rename, not replaced by it: ext4
// writes out a file renamed over another at once, at the cost of a disk
// write per file.
void write_file(const std::filesystem::path& path, std::string_view bytes, bool executable = false);

// Writes `bytes` over the file `path` in place (created 0644 when missing),
// for a file whose torn copy nobody would take for a whole one: a mesh's
// input file, checked before its results count. FileError on failure.
void write_file_in_place(const std::filesystem::path& path, std::string_view bytes);

// The whole of a file of at most `most` bytes; nothing when it is larger or
// cannot be opened or read.
std::optional<std::string> read_file(const std::filesystem::path& path, std::size_t most);

// The last `count` bytes of a file (all of a shorter one), without reading
// the rest: a listing with its tables can be large. Nothing when it cannot
// be opened or read.
std::optional<std::string> read_tail(const std::filesystem::path& path, std::size_t count);

}  // namespace kestrelfold::study

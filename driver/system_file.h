#pragma once
// The files of the current folder as the system keeps them: opened by name,
// read and written as raw bytes at a position, cut to a length. The bytes
// pass unchanged both ways (no text mode: the records' CR LF stay CR LF), and
// a name reaches the system byte for byte (Latin-1 names on Windows through
// its ANSI functions). A file is never inherited by the programs the run
// starts.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace kestrelfold {

// An open file: the system's descriptor or handle.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

struct OpenedFile {
    FileHandle handle = kNoFile;
    bool writable = false;
    // Why the system refused to open it for writing, in its words, when it
    // is open for reading only.
    std::string read_only_because;
    // Which file it is, whatever the name it was opened under (device and
    // inode; volume and file index on Windows); nothing when unknown.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> identity;
};

// Opens for reading and writing, creating the file when it is missing and
// never truncating it; a file the user may only read (an input file kept
// read-only) is opened read-only. On failure, handle kNoFile and the
// system's reason in `reason`.
OpenedFile open_file(const std::string& name, std::string& reason);

// Moves the position of the next read or write; false on failure.
bool seek_file(FileHandle file, std::int64_t offset);

// Writes from the position; the bytes the system took (fewer when it refused
// the rest: a full disk, a file-size limit), and then the system's reason in
// `refused_because` (empty when it gave none).
std::size_t write_file(FileHandle file, const char* data, std::size_t size, std::string& refused_because);

// Reads from the position: the bytes read, 0 at the end of the file,
// nothing when the system refuses.
std::optional<std::size_t> read_file(FileHandle file, char* data, std::size_t size);

// The length of the file; nothing on failure.
std::optional<std::int64_t> file_length(FileHandle file);

// Cuts the file to `length` bytes, the position unchanged; false on failure.
bool cut_file(FileHandle file, std::int64_t length);

// False when the close reports a failure (a delayed write refused).
bool close_file(FileHandle file);

// The system's reason for the failure of the call just made on a file, in
// its words ("No space left on device").
std::string file_failure_reason();

}  // namespace kestrelfold

#include "study/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace kestrelfold::study {
namespace {

[[noreturn]] void fail(const std::filesystem::path& path, int error) {
    throw FileError("cannot write " + path.string() + ": " + std::strerror(error));
}

// Every byte, through short writes and interrupted calls.
bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

void write_file(const std::filesystem::path& path, std::string_view bytes, bool executable) {
    std::string temporary = path.string() + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) fail(path, errno);
    const bool written = ::fchmod(fd, executable ? 0755 : 0644) == 0 && write_all(fd, bytes);
    const int write_error = errno;
    const bool closed = ::close(fd) == 0;
    const int close_error = errno;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = !written ? write_error : !closed ? close_error : errno;
        ::unlink(temporary.c_str());
        fail(path, error);
    }
}

}  // namespace kestrelfold::study

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
    if (written && closed && ::unlink(path.c_str()) != 0 && errno != ENOENT) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail(path, error);
    }
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = !written ? write_error : !closed ? close_error : errno;
        ::unlink(temporary.c_str());
        fail(path, error);
    }
}

void write_file_in_place(const std::filesystem::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail(path, errno);
    const bool written = write_all(fd, bytes);
    const int write_error = errno;
    if (::close(fd) != 0 || !written) fail(path, written ? errno : write_error);
}

namespace {

// From the end of the file, `count` bytes or all of a shorter one, unless
// the file holds more than `most`.
std::optional<std::string> read_end(const std::filesystem::path& path, std::size_t count, std::size_t most) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && static_cast<std::size_t>(status.st_size) <= most) {
        const auto size = static_cast<std::size_t>(status.st_size);
        const std::size_t wanted = size < count ? size : count;
        std::string buffer(wanted, '\0');
        std::size_t done = 0;
        while (done < wanted) {
            const ssize_t n =
                ::pread(fd, buffer.data() + done, wanted - done, static_cast<off_t>(size - wanted + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        if (done == wanted) bytes = std::move(buffer);
    }
    ::close(fd);
    return bytes;
}

}  // namespace

std::optional<std::string> read_file(const std::filesystem::path& path, std::size_t most) {
    return read_end(path, most, most);
}

std::optional<std::string> read_tail(const std::filesystem::path& path, std::size_t count) {
    return read_end(path, count, static_cast<std::size_t>(-1));
}

}  // namespace kestrelfold::study

#include "driver/system_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestrelfold {
namespace {

int descriptor(FileHandle file) { return static_cast<int>(file); }

}  // namespace

OpenedFile open_file(const std::string& name, std::string& reason) {
    OpenedFile opened;
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    opened.writable = fd >= 0;
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        const int first_errno = errno;
        fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) errno = first_errno;
        opened.read_only_because = std::strerror(first_errno);
    }
    if (fd < 0) {
        reason = std::strerror(errno);
        return opened;
    }
    opened.handle = fd;
    struct stat identity {};
    if (::fstat(fd, &identity) == 0 && identity.st_ino != 0) {
        opened.identity = {static_cast<std::uint64_t>(identity.st_dev), static_cast<std::uint64_t>(identity.st_ino)};
    }
    return opened;
}

bool seek_file(FileHandle file, std::int64_t offset) {
    return ::lseek(descriptor(file), offset, SEEK_SET) == offset;
}

std::size_t write_file(FileHandle file, const char* data, std::size_t size, std::string& refused_because) {
    std::size_t done = 0;
    refused_because.clear();
    while (done < size) {
        const ssize_t written = ::write(descriptor(file), data + done, size - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) refused_because = std::strerror(errno);
        if (written <= 0) break;
        done += static_cast<std::size_t>(written);
    }
    return done;
}

std::optional<std::size_t> read_file(FileHandle file, char* data, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(descriptor(file), data, size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        return static_cast<std::size_t>(got);
    }
}

std::optional<std::int64_t> file_length(FileHandle file) {
    struct stat status {};
    if (::fstat(descriptor(file), &status) != 0) return std::nullopt;
    return static_cast<std::int64_t>(status.st_size);
}

bool cut_file(FileHandle file, std::int64_t length) { return ::ftruncate(descriptor(file), length) == 0; }

// EINTR leaves the descriptor closed on Linux: it is not retried, and it is
// no failure of the file's bytes.
bool close_file(FileHandle file) { return ::close(descriptor(file)) == 0 || errno == EINTR; }

std::string file_failure_reason() { return std::strerror(errno); }

}  // namespace kestrelfold

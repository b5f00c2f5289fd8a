// A library preloaded into the program under test (LD_PRELOAD), never linked
// into it: write(2) to one file fails with ENOSPC once the file would grow
// past a byte limit. Like a full disk, a write that crosses the limit first
// stores what still fits and returns a short count; the next one is refused.
// The limit counts file offsets, so for a file that is written after some
// records were read (a plot script) the records kept are below it as well.
//
//   KESTRELFOLD_WRITE_LIMIT_FILE    the file, by any name that reaches it
//   KESTRELFOLD_WRITE_LIMIT_BYTES   the bytes it may hold
//   KESTRELFOLD_WRITE_LIMIT_SIGNAL  when set, a signal number: instead of
//       being refused, the first write that reaches past the limit sends
//       that signal to the process and goes through, as a Ctrl-C in the
//       middle of writing a large file would
//
// The variables and LD_PRELOAD are removed from the environment at load, so
// the programs that the run starts (editor, plotting program) are left alone.
#include <dlfcn.h>
#include <errno.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using WriteFunction = ssize_t (*)(int, const void*, size_t);

char limited_file[4096];
std::int64_t byte_limit = -1;
int signal_at_limit = 0;  // 0: writes past the limit are refused

WriteFunction next_write() {
    static const auto function = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "write"));
    return function;
}

__attribute__((constructor)) void read_settings() {
    const char* file = std::getenv("KESTRELFOLD_WRITE_LIMIT_FILE");
    const char* bytes = std::getenv("KESTRELFOLD_WRITE_LIMIT_BYTES");
    if (file && bytes && std::strlen(file) < sizeof limited_file) {
        std::strcpy(limited_file, file);
        byte_limit = std::strtoll(bytes, nullptr, 10);
        if (const char* signal = std::getenv("KESTRELFOLD_WRITE_LIMIT_SIGNAL")) signal_at_limit = std::atoi(signal);
    }
    unsetenv("KESTRELFOLD_WRITE_LIMIT_FILE");
    unsetenv("KESTRELFOLD_WRITE_LIMIT_BYTES");
    unsetenv("KESTRELFOLD_WRITE_LIMIT_SIGNAL");
    unsetenv("LD_PRELOAD");
}

bool is_limited(int fd) {
    if (byte_limit < 0) return false;
    struct stat open_file {};
    struct stat named_file {};
    if (fstat(fd, &open_file) != 0 || stat(limited_file, &named_file) != 0) return false;
    return open_file.st_dev == named_file.st_dev && open_file.st_ino == named_file.st_ino;
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    if (size > 0 && is_limited(fd)) {
        const off_t at = lseek(fd, 0, SEEK_CUR);
        if (at >= 0 && signal_at_limit != 0) {
            if (static_cast<std::int64_t>(at + static_cast<off_t>(size)) > byte_limit) {
                kill(getpid(), signal_at_limit);
                signal_at_limit = 0;
                byte_limit = -1;  // once; every write goes through
            }
        } else if (at >= 0) {
            const std::int64_t room = byte_limit - static_cast<std::int64_t>(at);
            if (room <= 0) {
                errno = ENOSPC;
                return -1;
            }
            if (static_cast<std::uint64_t>(room) < size) size = static_cast<size_t>(room);
        }
    }
    return next_write()(fd, data, size);
}

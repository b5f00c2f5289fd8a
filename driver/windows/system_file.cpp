#include "driver/system_file.h"

#include <windows.h>

#include <algorithm>

namespace kestrelfold {
namespace {

HANDLE handle_of(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// The system's own words for an error, without the line end it adds.
std::string system_message(DWORD error) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

// Other programs may read, write, rename or delete the file while the run
// has it open, as they may on Linux: the editor on the extrapolation data
// file, which stays open. Opened without a security descriptor, the handle
// is not inherited by the programs the run starts.
HANDLE create_file(const std::string& name, DWORD access, DWORD disposition) {
    constexpr DWORD kShared = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    return ::CreateFileA(name.c_str(), access, kShared, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> identity_of(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information)) return std::nullopt;
    const std::uint64_t index = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    return std::pair<std::uint64_t, std::uint64_t>{information.dwVolumeSerialNumber, index};
}

std::optional<std::int64_t> position_of(HANDLE file) {
    LARGE_INTEGER position{};
    if (!::SetFilePointerEx(file, LARGE_INTEGER{}, &position, FILE_CURRENT)) return std::nullopt;
    return position.QuadPart;
}

}  // namespace

OpenedFile open_file(const std::string& name, std::string& reason) {
    OpenedFile opened;
    HANDLE file = create_file(name, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    opened.writable = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED) {
        opened.read_only_because = system_message(ERROR_ACCESS_DENIED);
        file = create_file(name, GENERIC_READ, OPEN_EXISTING);
        if (file == INVALID_HANDLE_VALUE) ::SetLastError(ERROR_ACCESS_DENIED);
    }
    if (file == INVALID_HANDLE_VALUE) {
        reason = system_message(::GetLastError());
        return opened;
    }
    opened.handle = reinterpret_cast<FileHandle>(file);
    opened.identity = identity_of(file);
    return opened;
}

bool seek_file(FileHandle file, std::int64_t offset) {
    LARGE_INTEGER to{};
    to.QuadPart = offset;
    return ::SetFilePointerEx(handle_of(file), to, nullptr, FILE_BEGIN) != 0;
}

std::size_t write_file(FileHandle file, const char* data, std::size_t size, std::string& refused_because) {
    constexpr std::size_t kMostAtOnce = 1u << 30;  // a write takes a 32-bit count
    std::size_t done = 0;
    refused_because.clear();
    while (done < size) {
        DWORD written = 0;
        const auto part = static_cast<DWORD>(std::min(size - done, kMostAtOnce));
        const bool took = ::WriteFile(handle_of(file), data + done, part, &written, nullptr) != 0;
        if (!took) refused_because = system_message(::GetLastError());
        done += written;
        if (!took || written == 0) break;
    }
    return done;
}

std::optional<std::size_t> read_file(FileHandle file, char* data, std::size_t size) {
    DWORD got = 0;
    const auto part = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(handle_of(file), data, part, &got, nullptr)) return std::nullopt;
    return got;
}

std::optional<std::int64_t> file_length(FileHandle file) {
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(handle_of(file), &length)) return std::nullopt;
    return length.QuadPart;
}

// Windows cuts a file at its position: the position goes there and back.
bool cut_file(FileHandle file, std::int64_t length) {
    const std::optional<std::int64_t> position = position_of(handle_of(file));
    if (!position || !seek_file(file, length)) return false;
    const bool cut = ::SetEndOfFile(handle_of(file)) != 0;
    return seek_file(file, *position) && cut;
}

bool close_file(FileHandle file) { return ::CloseHandle(handle_of(file)) != 0; }

std::string file_failure_reason() { return system_message(::GetLastError()); }

}  // namespace kestrelfold

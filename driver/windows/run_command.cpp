#include "driver/run_command.h"

#include <windows.h>

#include <optional>
#include <string>

#include "driver/interruption.h"
#include "output/console.h"
#include "driver/windows/interruption_event.h"

namespace kestrelfold {
namespace {

// The system's own command processor, by its full path: a cmd.exe in the
// current folder or on PATH is never the one started.
std::optional<std::string> command_processor() {
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    return std::string(folder, length) + "\\cmd.exe";
}

// Closes the handle at the end of the scope, however the scope ends.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle() { ::CloseHandle(handle_); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The exit code of the process, or -1 when the wait or the code fails. An
// interruption of the run ends the wait (Interrupted) and leaves the program
// running: the run is to end promptly, and a program started from the
// console got the console's Ctrl-C as well.
std::int32_t wait_for(const OwnedHandle& process) {
    const HANDLE waited[] = {process.get(), interruption_event()};
    // Without the event (the system had none to give), the program's end alone.
    const DWORD count = waited[1] != nullptr ? 2 : 1;
    const DWORD woken = ::WaitForMultipleObjects(count, waited, FALSE, INFINITE);
    stop_if_interrupted();
    if (woken != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.get(), &code)) return -1;
    return static_cast<std::int32_t>(code);
}

}  // namespace

// The program starts with the handles, the environment and the folder of
// the run, as cmd.exe would start it from the console.
std::int32_t run_command(std::string_view text) {
    flush_console();
    stop_if_interrupted();  // a run interrupted already starts nothing more
    const std::optional<std::string> processor = command_processor();
    if (!processor) return -1;
    std::string line = *processor + " /c " + std::string(text.substr(0, text.find_last_not_of(' ') + 1));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(processor->c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &started)) {
        return -1;
    }
    ::CloseHandle(started.hThread);
    const OwnedHandle process(started.hProcess);
    return wait_for(process);
}

}  // namespace kestrelfold

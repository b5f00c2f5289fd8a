// A stand-in for `notepad` and `wgnuplot` in the tests of the Windows
// programs, built under both names: it appends "<name> [<argument>]..." and
// a line feed to the file commands.log in the current folder, the very line
// the Linux tests' shell stand-ins write, so that the two systems' runs can
// be compared byte for byte, commands included. Its exit status is 3, a
// status the run must store and ignore.
//
// When KESTRELFOLD_STAND_IN_WAIT names it ("wgnuplot"), it then creates
// <name>.started and waits until a file "go" exists, both in the current
// folder: a test interrupts the run meanwhile.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The program's own name, without its folder and its .exe.
std::string own_name() {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    name = name.substr(name.find_last_of("\\/") + 1);
    return name.substr(0, name.rfind('.'));
}

void wait_if_asked(const std::string& name) {
    const char* waiting = std::getenv("KESTRELFOLD_STAND_IN_WAIT");
    if (waiting == nullptr || name != waiting) return;
    if (std::FILE* started = std::fopen((name + ".started").c_str(), "wb")) std::fclose(started);
    while (::GetFileAttributesA("go") == INVALID_FILE_ATTRIBUTES) ::Sleep(20);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string name = own_name();
    std::string line = name;
    for (int k = 1; k < argc; ++k) line += " [" + std::string(argv[k]) + "]";
    line += '\n';
    if (std::FILE* log = std::fopen("commands.log", "ab")) {
        std::fwrite(line.data(), 1, line.size(), log);
        std::fclose(log);
    }
    wait_if_asked(name);
    return 3;
}

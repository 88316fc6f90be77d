// installer_host NOTIFYWND TARGETWND FILE: stands in for VakoQuit in the test of a
// VakoQuit that ends during a capture. Installs the hook on the target's thread
// through the helper,
// writes "helper PID" (or "error TEXT") into FILE, then waits to be ended, at
// most a minute.
#include "capture/hook_installer.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    auto notify =
        reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(argv[1], nullptr, 10)));
    auto target =
        reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(argv[2], nullptr, 10)));
    capture::THookInstaller installer(std::string(), capture::THookInstaller::Route::Helper);
    std::string error;
    std::string line;
    if (installer.Install(notify, target, &error))
        line = "helper " + std::to_string(GetProcessId(installer.HelperProcess()));
    else
        line = "error " + error;
    // Written aside and renamed, so that the test never reads half a line.
    std::string part = std::string(argv[3]) + ".part";
    if (FILE* f = std::fopen(part.c_str(), "wb")) {
        std::fputs(line.c_str(), f);
        std::fclose(f);
        MoveFileA(part.c_str(), argv[3]);
    }
    Sleep(60000);
    return 0;
}

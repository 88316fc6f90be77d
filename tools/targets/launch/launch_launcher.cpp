// launch_launcher.exe: a launcher, as games ship them, that starts the real
// program and ends at once.
//
//   launch_launcher.exe PROGRAM [ARG...]
//
// Starts PROGRAM with the arguments that follow (each quoted again), does not
// wait for it, and ends with 0; 2 when PROGRAM is missing, 3 when it could not be
// started.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " \"" : "\"") + std::string(argv[i]) + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return 3;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}

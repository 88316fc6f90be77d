// VakoHook64.exe: installs the capture hook on the thread of a 64-bit program,
// which VakoQuit's 32-bit library cannot enter. It loads VakoHook64.dll from its
// own folder, hooks the thread, tells VakoQuit, and keeps its own thread alive
// (the hook belongs to it) until VakoQuit gives the word or ends. It has no window
// and never waits without a bound. Asked for it, it reads a 64-bit process's
// command line instead, which VakoQuit's own 32-bit process cannot.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/text.h"
#include "hook/helper_protocol.h"
#include "win/module.h"
#include "win/process_command_line.h"

namespace {

using InitFn = unsigned char(WINAPI*)(HWND, DWORD);
using UnhookFn = unsigned char(WINAPI*)();

// How often the wait for the word wakes up to check the parent again; the
// parent's end wakes it at once anyway.
constexpr DWORD kWaitSliceMs = 500;

// A whole unsigned decimal number, nothing else.
bool ParseNumber(const char* s, unsigned long long* out) {
    if (!s || !*s)
        return false;
    unsigned long long v = 0;
    for (const char* p = s; *p; ++p) {
        if (*p < '0' || *p > '9' || v > (~0ull - 9) / 10)
            return false;
        v = v * 10 + static_cast<unsigned>(*p - '0');
    }
    *out = v;
    return true;
}

template <typename T> T AsHandle(unsigned long long v) {
    // Handles and windows travel as their 32-bit values; widen them with the sign.
    return reinterpret_cast<T>(
        static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(v))));
}

bool IsSystemLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != FALSE;
}

// Writes the command line of process `n[0]` into the mapping `n[1]`.
int WriteCommandLine(const unsigned long long n[2]) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE,
                                 static_cast<DWORD>(n[0]));
    if (!process)
        return vakohook::kHelperNoCommandLine;
    std::wstring commandLine;
    const bool read = win::ReadProcessCommandLine(process, commandLine);
    CloseHandle(process);
    const unsigned long bytes = static_cast<unsigned long>(commandLine.size() * sizeof(wchar_t));
    if (!read || bytes + 4 > vakohook::kCommandLineMappingBytes)
        return vakohook::kHelperNoCommandLine;
    void* view = MapViewOfFile(AsHandle<HANDLE>(n[1]), FILE_MAP_WRITE, 0, 0, 0);
    if (!view)
        return vakohook::kHelperNoCommandLine;
    auto* out = static_cast<unsigned char*>(view);
    std::memcpy(out, &bytes, 4);
    std::memcpy(out + 4, commandLine.data(), bytes);
    UnmapViewOfFile(view);
    return vakohook::kHelperDone;
}

int Run(int argc, char** argv) {
    unsigned long long n[5] = {};
    if (argc == 4 && std::strcmp(argv[1], vakohook::kCommandLineRequest) == 0) {
        if (!ParseNumber(argv[2], &n[0]) || !ParseNumber(argv[3], &n[1]))
            return vakohook::kHelperBadArgs;
        return WriteCommandLine(n);
    }
    if (argc != 6)
        return vakohook::kHelperBadArgs;
    for (int i = 0; i < 5; ++i) {
        if (!ParseNumber(argv[i + 1], &n[i]))
            return vakohook::kHelperBadArgs;
    }
    HWND notifyWnd = AsHandle<HWND>(n[0]);
    DWORD thread = static_cast<DWORD>(n[1]);
    HANDLE parent = AsHandle<HANDLE>(n[2]);
    HANDLE ready = AsHandle<HANDLE>(n[3]);
    HANDLE stop = AsHandle<HANDLE>(n[4]);

    text::SetLeadByteTest(IsSystemLeadByte);
    // By full path only: a library of the same name elsewhere on the search path
    // must never be the one that enters other programs.
    std::string dll = text::FolderPart(win::ModulePath()) + vakohook::kHelperDll;
    HMODULE lib = LoadLibraryExA(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!lib)
        return vakohook::kHelperNoDll;
    auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(lib, "InitDLL")));
    auto unhook =
        reinterpret_cast<UnhookFn>(reinterpret_cast<void*>(GetProcAddress(lib, "UnhookDLL")));
    if (!init || !unhook)
        return vakohook::kHelperNoExports;
    if (!init(notifyWnd, thread))
        return vakohook::kHelperNoHook;
    SetEvent(ready);

    HANDLE waits[2] = {stop, parent};
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(2, waits, FALSE, kWaitSliceMs, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0 || r == WAIT_OBJECT_0 + 1 || r == WAIT_FAILED)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    unhook();
    return vakohook::kHelperDone;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return Run(__argc, __argv);
}

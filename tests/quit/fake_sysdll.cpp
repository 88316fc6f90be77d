// Stands in for PSAPI.DLL and for the Toolhelp part of Kernel32.dll, so that the
// process walks can be driven into the answers the real system gives only rarely:
// a failing EnumProcesses, more processes than a first buffer holds, unreadable module names, a
// snapshot that cannot be taken. The mode comes from the environment variable
// VAKO_FAKE_MODE of the loading process. It has no QueryFullProcessImageNameW, so
// it also stands in for a system without that function.
#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

struct Entry32 { // PROCESSENTRY32, ANSI: 296 bytes in a 32-bit process, 304 in a 64-bit one
    DWORD dwSize;
    DWORD cntUsage;
    DWORD th32ProcessID;
    ULONG_PTR th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    LONG pcPriClassBase;
    DWORD dwFlags;
    CHAR szExeFile[MAX_PATH];
};
static_assert(sizeof(Entry32) == (sizeof(void*) == 4 ? 296 : 304), "the system's layout");

bool Mode(const char* m) {
    char buf[64];
    DWORD n = GetEnvironmentVariableA("VAKO_FAKE_MODE", buf, sizeof buf);
    return n > 0 && n < sizeof buf && std::strcmp(buf, m) == 0;
}

constexpr DWORD kManyProcesses = 4100;

int g_nameCalls = 0;
int g_next = 0;

const struct {
    const char* name;
    DWORD pid;
} kSnapshot[] = {{" spaced.exe\t", 11}, {"second.exe", 22}, {"third.exe", 33}};

bool Fill(Entry32* e, int i) {
    if (i >= 3 || e->dwSize != sizeof(Entry32)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return false;
    }
    e->th32ProcessID = kSnapshot[i].pid;
    std::memset(e->szExeFile, 'x', sizeof e->szExeFile); // no stale bytes show through
    std::strcpy(e->szExeFile, kSnapshot[i].name);
    return true;
}

} // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI EnumProcesses(DWORD* pids, DWORD bytes, DWORD* returned) {
    if (Mode("fail")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (Mode("full")) { // more processes than a first buffer of 2048 IDs holds twice over
        DWORD n = bytes / 4 < kManyProcesses ? bytes / 4 : kManyProcesses;
        for (DWORD i = 0; i < n; ++i)
            pids[i] = GetCurrentProcessId();
        *returned = n * 4;
        return TRUE;
    }
    // "names": this process, one that does not exist, this process again.
    DWORD list[] = {GetCurrentProcessId(), 0x7FFFFFF0, GetCurrentProcessId()};
    std::memcpy(pids, list, sizeof list);
    *returned = sizeof list;
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    EnumProcessModules(HANDLE, HMODULE* modules, DWORD, DWORD* needed) {
    *modules = GetModuleHandleA(nullptr);
    *needed = sizeof(HMODULE);
    return TRUE;
}

// The first name read is padded with blanks and controls; every later one fails,
// as for a process whose modules cannot be read.
__declspec(dllexport) DWORD WINAPI GetModuleFileNameExW(HANDLE, HMODULE, LPWSTR buf, DWORD size) {
    if (g_nameCalls++ > 0 || size < 32)
        return 0;
    std::wcscpy(buf, L"  C:\\Fake\\padded.exe \t\r\n");
    return static_cast<DWORD>(std::wcslen(buf));
}

__declspec(dllexport) HANDLE WINAPI CreateToolhelp32Snapshot(DWORD flags, DWORD pid) {
    if (Mode("nosnap") || flags != 15 || pid != 0)
        return INVALID_HANDLE_VALUE;
    g_next = 0;
    return CreateEventA(nullptr, TRUE, FALSE, nullptr); // closed by the walk
}

__declspec(dllexport) BOOL WINAPI Process32First(HANDLE, Entry32* e) {
    g_next = 1;
    return Fill(e, 0);
}

__declspec(dllexport) BOOL WINAPI Process32Next(HANDLE, Entry32* e) {
    return Fill(e, g_next++);
}

} // extern "C"

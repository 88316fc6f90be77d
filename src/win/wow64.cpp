#include "win/wow64.h"

#include "win/handles.h"

namespace win {
namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

IsWow64ProcessFn IsWow64Function() {
    static const auto fn =
        ProcAddress<IsWow64ProcessFn>(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    return fn;
}

} // namespace

bool RunsUnderWow64() {
    static const bool wow64 = [] {
        BOOL wow = FALSE;
        return IsWow64Function() && IsWow64Function()(GetCurrentProcess(), &wow) && wow;
    }();
    return wow64;
}

bool IsNative64Process(HANDLE process) {
    BOOL wow = TRUE;
    return RunsUnderWow64() && IsWow64Function()(process, &wow) && !wow;
}

} // namespace win

#include "win/shutdown.h"

#include "win/error_text.h"
#include "win/exception.h"
#include "win/handles.h"

#include <windows.h>

namespace win {

namespace {

[[noreturn]] void RaiseLastError(const char* step) {
    const DWORD code = GetLastError();
    throw Exception(std::string(step) + "\n" + SystemErrorText(code));
}

// A process holds SeShutdownPrivilege disabled; ExitWindowsEx refuses without it.
void EnableShutdownPrivilege() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
        RaiseLastError("シャットダウンの権限を得られませんでした。");
    Handle token(raw);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        RaiseLastError("シャットダウンの権限を得られませんでした。");
    // Succeeding is not enough: ERROR_NOT_ALL_ASSIGNED says the account lacks it.
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) ||
        GetLastError() != ERROR_SUCCESS)
        RaiseLastError("シャットダウンの権限を得られませんでした。");
}

} // namespace

void ShutDownWindows() {
    EnableShutdownPrivilege();
    if (!ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, SHTDN_REASON_MAJOR_APPLICATION |
                                                        SHTDN_REASON_MINOR_OTHER |
                                                        SHTDN_REASON_FLAG_PLANNED))
        RaiseLastError("Windowsをシャットダウンできませんでした。");
}

} // namespace win

#pragma once
// The program file another process runs, whole (UTF-16): QueryFullProcessImageNameW
// needs only the limited query right and reaches a 64-bit process from a 32-bit
// program. It exists from Vista on and is bound at run time.
#include <windows.h>

#include <string>

namespace win {

// Whether the system has the function at all (false before Vista).
bool CanReadProcessImagePath();

// The path of the program file `process` runs (opened with at least
// PROCESS_QUERY_LIMITED_INFORMATION); empty where it cannot be read.
std::wstring ProcessImagePath(HANDLE process);

} // namespace win

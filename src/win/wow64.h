#pragma once
// A 32-bit program on 64-bit Windows: whether it runs so, and which processes it
// cannot enter. IsWow64Process is bound at run time (XP SP2 on) and asked once.
#include <windows.h>

namespace win {

// True for a 32-bit program on 64-bit Windows, where the file system redirects
// System32 to SysWOW64; false where the system cannot tell.
bool RunsUnderWow64();

// Whether `process` is a 64-bit process seen from this 32-bit program on 64-bit
// Windows: its modules cannot be read and a 32-bit hook cannot enter it. False
// everywhere else and where the system cannot tell.
bool IsNative64Process(HANDLE process);

} // namespace win

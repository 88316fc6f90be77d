#pragma once
// The command line another process was started with, as the system keeps it for
// that process (UTF-16). Windows 8.1 and later answer for it directly; older
// systems and Wine 8 (which returns STATUS_INVALID_INFO_CLASS for that question)
// keep it only in the process's own memory, in the process parameters its PEB
// points to. Built into VakoQuit and into its 64-bit helper.
#include <windows.h>

#include <string>

namespace win {

// The system's answer alone (Windows 8.1 and later), which needs no access to the
// process's memory and reaches a 64-bit process from a 32-bit program too.
bool QueryProcessCommandLine(HANDLE process, std::wstring& commandLine);

// The system's answer, else the process parameters. `process` needs
// PROCESS_QUERY_(LIMITED_)INFORMATION and PROCESS_VM_READ. A 32-bit program cannot
// read a 64-bit process's memory: its helper reads for it. False when it cannot be
// read (a protected process, rights refused).
bool ReadProcessCommandLine(HANDLE process, std::wstring& commandLine);

} // namespace win

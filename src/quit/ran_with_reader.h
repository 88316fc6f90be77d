#pragma once
// Reading what a running program runs with, just before it is asked to quit: the
// arguments of its process and the place of its main window. A 64-bit process is
// read through VakoHook64.exe, whose folder is VakoQuit's own.
#include "core/ran_with.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The arguments of process `processId` in the code page (empty where they are not
// spelled exactly there) and the place of `mainWindow` (none for a null or hidden
// one); neither for a process whose command line cannot be read.
TRanWith ReadRanWith(uint32_t processId, HWND mainWindow);

// The UTF-16 command line of process `processId` and the full path of its program
// file; false when the command line cannot be read (rights refused, a protected
// process, the helper missing). The path may stay empty.
bool ReadCommandLineOf(uint32_t processId, std::wstring& commandLine, std::wstring& imagePath);

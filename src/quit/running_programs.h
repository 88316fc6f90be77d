#pragma once
// The programs that run now on the user's desktop and may be registered from there:
// a program shows at least one top-level window, hidden or not, and a tray program
// has only hidden ones, so the owners of the desktop's windows are exactly the
// programs a user means to quit.
#include <windows.h>

#include <string>
#include <vector>

struct TRunningProgram {
    // As the program keeps it: the code page's exact spelling, else the short form.
    std::string Path;
    // The path as the system reported it, whole.
    std::wstring WidePath;
    // It lies in the Windows folder (or below it).
    bool InWindowsFolder = false;
};

// The program file of process `processId` as the system reports it, whole; empty
// when it cannot be read (the process has ended, access is denied).
using ImagePathReader = std::wstring (*)(DWORD processId);
std::wstring ProcessImagePathW(DWORD processId);

// Every program file that owns a top-level window of this desktop, once each, in the
// Z-order of its first window; never process `ownProcessId`. A path the code page
// cannot hold and that has no short form is left out: it could not be registered.
std::vector<TRunningProgram> ReadRunningPrograms(DWORD ownProcessId,
                                                 ImagePathReader readImage = &ProcessImagePathW);

// Whether `program` may be offered for registering at all: never this program
// (`ownProgram`), its helpers beside it, nor the system's and the shell's own
// processes of the Windows folder.
bool OffersRunningProgram(const TRunningProgram& program, const std::string& ownProgram);

// `path` lies in or below `folder` (both whole, letter case ignored).
bool LiesInFolder(const std::wstring& path, const std::wstring& folder);

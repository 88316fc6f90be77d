#pragma once
#include <windows.h>

#include <string>

namespace win {

// Whether `path` names a file that is there (a folder is not a file), and whether it
// names a folder.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// The whole content of a file, read while others may still write it. False when the
// file cannot be opened, a read fails or ends before the size the file had when it
// was opened; `error`, when given, then receives the system's error code.
bool ReadWholeFile(const std::string& path, std::string& bytes, DWORD* error = nullptr);

// The 64-bit twin of a program in System32, as a 32-bit program must spell it
// (%windir%\Sysnative\...) to reach it past the redirection; `path` itself where it
// lies elsewhere, where no such twin exists, or without redirection.
std::string NativeSystemPath(const std::string& path);

// What identifies a file whatever the path that reaches it: 8.3 names, other letter
// case, a SUBST drive, a junction, the System32 and SysWOW64 spellings alike.
struct FileIdentity {
    DWORD Volume = 0;
    DWORD IndexHigh = 0;
    DWORD IndexLow = 0;
    bool operator==(const FileIdentity& o) const {
        return Volume == o.Volume && IndexHigh == o.IndexHigh && IndexLow == o.IndexLow;
    }
};
// False where the file cannot be opened even for its attributes (gone, no rights).
// A program that exists only as a 64-bit one in System32 is reached through its
// Sysnative spelling.
bool IdentityOf(const std::string& path, FileIdentity& id);

} // namespace win

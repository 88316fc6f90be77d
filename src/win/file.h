#pragma once
#include <windows.h>

#include <string>

namespace win {

// The whole content of a file, read while others may still write it. False when the
// file cannot be opened, a read fails or ends before the size the file had when it
// was opened; `error`, when given, then receives the system's error code.
bool ReadWholeFile(const std::string& path, std::string& bytes, DWORD* error = nullptr);

} // namespace win

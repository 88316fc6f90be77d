#pragma once
#include <windows.h>

#include <string>

namespace win {

// The full path of a loaded module's file, of the program itself by default; empty
// where the system cannot tell.
std::string ModulePath(HMODULE module = nullptr);

} // namespace win

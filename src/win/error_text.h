#pragma once
#include <windows.h>

#include <string>

namespace win {

// The system's text for an error code (a system error or an HRESULT), without the
// line break it ends with; empty where the system has no text for the code.
std::string SystemErrorText(DWORD code);

} // namespace win

#pragma once
// The hook procedure, not exported: the system reaches it only by the address
// that InitDLL hands to SetWindowsHookExA. Declared here so that a test build of
// the same source can call it directly.
#include <windows.h>

extern "C" LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam);

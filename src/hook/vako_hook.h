#pragma once
// The five functions of VakoHook.dll, imported by name. VakoQuit links the DLL at
// load time; the system loads it a second time into the hooked process, where the
// two copies meet only through the shared block and two registered messages.
// Boolean results are one byte: 0 for false, 1 for true.
#include <windows.h>

extern "C" {
unsigned char WINAPI InitDLL(HWND notifyWnd, DWORD threadId);
unsigned char WINAPI UnhookDLL();
const char* WINAPI GetHookMsgString1();
const char* WINAPI GetHookMsgString2();
unsigned char WINAPI ChangeNullHook(unsigned char active);
}

#pragma once
// What the system keeps of a window, read as text: its title or content and its
// class name.
#include <windows.h>

#include <string>

namespace win {

// The bytes of the fixed buffers in which names of windows are read: at most 255
// characters of a title or a class name.
constexpr int kNameBuffer = 256;

// The window's text as GetWindowTextA leaves it in a buffer of `buffer` bytes: at
// most buffer - 1 characters, cut where the buffer ends. Empty for no window.
std::string WindowText(HWND hwnd, int buffer = kNameBuffer);
// The window's whole text however long it is: what the user typed into a control.
std::string WholeWindowText(HWND hwnd);
// The window's class name, at most buffer - 1 characters.
std::string ClassName(HWND hwnd, int buffer = kNameBuffer);

} // namespace win

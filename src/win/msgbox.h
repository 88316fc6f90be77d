#pragma once
// The program's message boxes, with their fixed captions and icons.
#include <windows.h>

#include <string>

namespace win {

// Caption "エラー", exclamation icon, OK.
void ErrorBox(HWND owner, const std::string& text);
// Caption "確認", question icon, Yes and No; true for Yes.
bool ConfirmBox(HWND owner, const std::string& text, bool defaultYes);
// Information icon, OK.
void InfoBox(HWND owner, const std::string& caption, const std::string& text);

// The window that owns the program's boxes (its main window once there is one).
void SetMessageBoxOwner(HWND owner);
HWND MessageBoxOwner();

} // namespace win

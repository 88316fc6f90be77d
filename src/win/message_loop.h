#pragma once
// The UI thread's one message loop. Every message passes, in this order, the
// application's message filter (the capture dialog installs one while it is open),
// the accelerators of the main window, dialog navigation of the open modeless
// dialogs, and dispatch. Waits inside long commands drain the queue through the
// same steps, so that nothing behaves differently while the program is busy.
#include <windows.h>

#include <functional>

namespace win {

// Returns true when it handled the message itself.
using MessageFilter = std::function<bool(MSG&)>;

void SetMessageFilter(MessageFilter filter);
const MessageFilter& CurrentMessageFilter();
// For a window procedure that receives posted messages: offers the message to the
// filter unless the loop already did. A modal loop of the system (moving a window,
// a system menu, a message box) dispatches without passing the filter, and what
// other processes post meanwhile would otherwise never reach it. True when the
// filter took it.
bool FilterFromWindowProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept;
void SetAccelerators(HWND window, HACCEL table);
// A dialog's own look at a message before dialog navigation, for keys that
// navigation does not know (Ctrl+Tab between tab pages); true when it took it.
using DialogPreTranslate = std::function<bool(MSG&)>;
void AddDialog(HWND dialog, DialogPreTranslate preTranslate = nullptr);
void RemoveDialog(HWND dialog);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();
// Waits for the next message and handles it as the main loop does. False when it
// was WM_QUIT, which is posted again so that the outer loop still ends.
bool HandleNextMessage();
// Handles every message waiting in the queue, then returns. A WM_QUIT met here is
// posted again so that the outer loop still ends.
void ProcessMessages();

// For use inside catch: shows the current exception's message in the error box.
// The application's error handling: the command ends, the program goes on.
void ReportCurrentException() noexcept;

} // namespace win

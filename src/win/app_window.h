#pragma once
// The application window: a hidden top-level window of the UI thread, created at
// start-up and kept for the program's whole run. Other processes post to it (the
// capture hook sends its reports here); since the message loop hands every message
// to the application's message filter before dispatch, whatever is posted here
// reaches the filter also while a modal dialog of the program is open.
#include <windows.h>

namespace win {

// Creates the window once; later calls return the same one. Null only when the
// system refuses to create it.
HWND CreateApplicationWindow();
// The window made by CreateApplicationWindow, or null before that.
HWND ApplicationWindow();
// Lets `message` reach the application window from processes of lower integrity:
// an elevated VakoQuit would otherwise never hear from a hook inside a normal
// program. Windows before 7 has no such filter and needs none; false when the
// system refused.
bool AllowApplicationMessage(UINT message);
// The program's title, used as caption of boxes that belong to no form.
const char* ApplicationTitle();

} // namespace win

// Program entry: one instance at a time, then the main window's message loop.
#include "app/main_form.h"
#include "core/text.h"
#include "shell/com.h"
#include "win/app_window.h"
#include "win/handles.h"
#include "win/message_loop.h"

#include <windows.h>
#include <commctrl.h>

namespace {

const char kMutexName[] = "MyVakoquitMutex";

bool SystemLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != FALSE;
}

// A second start only brings the running window to the front; its command line
// is not looked at.
bool ActivateRunningInstance() {
    // Only the mutex's existence is asked, so the least right does. A mutex that
    // exists but is refused belongs to an instance running with other rights
    // (elevated): it is another instance all the same.
    win::Handle existing(OpenMutexA(SYNCHRONIZE, FALSE, kMutexName));
    if (!existing && GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    if (HWND w = FindWindowA("TVakoQuitForm", nullptr)) {
        // Asynchronously: a first instance busy with a long quit-all must not hold
        // up this one. A minimised window is restored, not only shown.
        ShowWindowAsync(w, IsIconic(w) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(w);
    }
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCmd) {
    text::SetLeadByteTest(SystemLeadByte);
    if (ActivateRunningInstance())
        return 0;
    // Held, never owned, for the program's life: its existence is what a second
    // start looks for.
    win::Handle mutex(CreateMutexA(nullptr, FALSE, kMutexName));
    OleScope ole;
    INITCOMMONCONTROLSEX icc = {sizeof icc,
                                ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    win::CreateApplicationWindow();
    int exitCode = 0;
    {
        TVakoQuitForm form;
        bool created = false;
        try {
            form.Create();
            created = true;
            form.Show(showCmd);
        } catch (...) {
            win::ReportCurrentException();
        }
        if (created)
            exitCode = win::RunMessageLoop();
    }
    return exitCode;
}

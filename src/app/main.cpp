// Program entry: one instance at a time, then the main window's message loop.
#include "app/main_form.h"
#include "core/text.h"
#include "win/app_window.h"
#include "win/message_loop.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

namespace {

const char kMutexName[] = "MyVakoquitMutex";

bool SystemLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != FALSE;
}

// A second start only brings the running window to the front; its command line
// is not looked at.
bool ActivateRunningInstance() {
    HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName);
    if (!existing)
        return false;
    CloseHandle(existing);
    if (HWND w = FindWindowA("TVakoQuitForm", nullptr)) {
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
    }
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCmd) {
    text::SetLeadByteTest(SystemLeadByte);
    if (ActivateRunningInstance())
        return 0;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof icc,
                                ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    win::CreateApplicationWindow();
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
            win::RunMessageLoop();
    }
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    OleUninitialize();
    return 0;
}

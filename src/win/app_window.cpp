#include "win/app_window.h"

#include "win/message_loop.h"

namespace win {
namespace {

const char kClassName[] = "TVakoApplication";
const char kTitle[] = "ポムッと終了";
HWND g_appWindow = nullptr;

// Messages posted here by other processes that no filter took are simply dropped.
// One that arrives through a modal loop of the system has not met the filter yet.
LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY && hwnd == g_appWindow)
        g_appWindow = nullptr;
    if (msg >= 0xC000 && msg <= 0xFFFF && FilterFromWindowProc(hwnd, msg, wp, lp))
        return 0;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

HWND CreateApplicationWindow() {
    if (g_appWindow && IsWindow(g_appWindow))
        return g_appWindow;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(inst, kClassName, &wc)) {
        wc.lpfnWndProc = AppWindowProc;
        wc.hInstance = inst;
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
    }
    // A pop-up that is never shown: not on the task bar, not enumerated as a
    // program window by anyone who looks for visible ones.
    g_appWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, kTitle, WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, inst, nullptr);
    return g_appWindow;
}

HWND ApplicationWindow() {
    return g_appWindow;
}

bool AllowApplicationMessage(UINT message) {
    using FilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    static const auto filterEx = reinterpret_cast<FilterEx>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx")));
    const DWORD kMsgFltAllow = 1;
    if (!filterEx)
        return true;
    return g_appWindow && filterEx(g_appWindow, message, kMsgFltAllow, nullptr);
}

const char* ApplicationTitle() {
    return kTitle;
}

} // namespace win

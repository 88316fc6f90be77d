#include "win/message_loop.h"

#include "win/msgbox.h"
#include "win/window_text.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace win {
namespace {

MessageFilter g_filter;
HWND g_accelWindow = nullptr;
HACCEL g_accel = nullptr;
struct OpenDialog {
    HWND hwnd;
    DialogPreTranslate preTranslate;
};
std::vector<OpenDialog> g_dialogs;
// The message the loop is dispatching after the filter declined it: its window
// procedure must not offer it to the filter a second time.
const MSG* g_declined = nullptr;

// Keys typed into a text box are the text box's: Ctrl+A there selects the text and
// must not register a program, Ctrl+D must not delete one.
bool TypingIntoEdit(const MSG& msg) {
    return msg.hwnd && lstrcmpiA(ClassName(msg.hwnd).c_str(), "Edit") == 0;
}

void HandleMessage(MSG& msg) {
    try {
        if (g_filter && g_filter(msg))
            return;
        if (g_accel && g_accelWindow &&
            (msg.hwnd == g_accelWindow || IsChild(g_accelWindow, msg.hwnd)) &&
            !TypingIntoEdit(msg) && TranslateAcceleratorA(g_accelWindow, g_accel, &msg))
            return;
        // A copy: a handler run from here may open or close a dialog.
        const std::vector<OpenDialog> dialogs = g_dialogs;
        for (const OpenDialog& dlg : dialogs) {
            if (!IsWindow(dlg.hwnd))
                continue;
            if (dlg.preTranslate && (msg.hwnd == dlg.hwnd || IsChild(dlg.hwnd, msg.hwnd)) &&
                dlg.preTranslate(msg))
                return;
            if (IsDialogMessageA(dlg.hwnd, &msg))
                return;
        }
        TranslateMessage(&msg);
        const MSG* outer = g_declined;
        g_declined = &msg;
        struct Restore {
            const MSG* outer;
            ~Restore() { g_declined = outer; }
        } restore{outer};
        DispatchMessageA(&msg);
    } catch (...) {
        ReportCurrentException();
    }
}

} // namespace

void SetMessageFilter(MessageFilter filter) {
    g_filter = std::move(filter);
}
const MessageFilter& CurrentMessageFilter() {
    return g_filter;
}

bool FilterFromWindowProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept {
    if (!g_filter)
        return false;
    if (g_declined && g_declined->hwnd == hwnd && g_declined->message == message &&
        g_declined->wParam == wp && g_declined->lParam == lp)
        return false;
    MSG msg = {hwnd, message, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    DWORD pos = GetMessagePos();
    msg.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    try {
        // A copy: the filter may replace itself (the capture dialog ends on a report).
        MessageFilter filter = g_filter;
        return filter(msg);
    } catch (...) {
        ReportCurrentException();
        return true;
    }
}

void SetAccelerators(HWND window, HACCEL table) {
    g_accelWindow = window;
    g_accel = table;
}

void AddDialog(HWND dialog, DialogPreTranslate preTranslate) {
    g_dialogs.push_back({dialog, std::move(preTranslate)});
}
void RemoveDialog(HWND dialog) {
    g_dialogs.erase(std::remove_if(g_dialogs.begin(), g_dialogs.end(),
                                   [dialog](const OpenDialog& d) { return d.hwnd == dialog; }),
                    g_dialogs.end());
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        BOOL r = GetMessageA(&msg, nullptr, 0, 0);
        if (r == 0 || r == -1)
            break;
        HandleMessage(msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

bool HandleNextMessage() {
    MSG msg;
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == -1)
        return false;
    if (r == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    HandleMessage(msg);
    return true;
}

void ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        HandleMessage(msg);
    }
}

void ReportCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            ErrorBox(MessageBoxOwner(), e.what());
        } catch (...) {
            ErrorBox(MessageBoxOwner(), "予期しないエラーが発生しました。");
        }
    } catch (...) {
    }
}

} // namespace win

#include "win/status_bar.h"

#include <commctrl.h>

namespace win {
namespace {

// Texts shown at once follow each other at least this far apart.
constexpr DWORD kRepaintMs = 40;
constexpr UINT_PTR kPendingTimer = 1;

} // namespace

void StatusBar::Create(HWND parent, int id, HFONT font) {
    bar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                           0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    int parts[1] = {-1};
    SendMessageA(bar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    SetWindowSubclass(bar_, BarProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK StatusBar::BarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR self) {
    if (msg == WM_TIMER && wp == kPendingTimer) {
        reinterpret_cast<StatusBar*>(self)->ShowPending();
        return 0;
    }
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, BarProc, 0);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

bool StatusBar::Shown() const {
    return (GetWindowLongA(bar_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void StatusBar::Show(bool shown) {
    ShowWindow(bar_, shown ? SW_SHOW : SW_HIDE);
}

void StatusBar::SetText(const std::string& text) {
    pending_ = text;
    ShowPending();
}

void StatusBar::SetProgress(const std::string& text) {
    pending_ = text;
    if (shown_ && GetTickCount() - shownAt_ < kRepaintMs) {
        if (!timerSet_)
            timerSet_ = SetTimer(bar_, kPendingTimer, kRepaintMs, nullptr) != 0;
        if (timerSet_)
            return;
    }
    ShowPending();
}

void StatusBar::ShowPending() {
    if (timerSet_) {
        KillTimer(bar_, kPendingTimer);
        timerSet_ = false;
    }
    SendMessageA(bar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(pending_.c_str()));
    UpdateWindow(bar_);
    shownAt_ = GetTickCount();
    shown_ = true;
}

int StatusBar::Fit() {
    if (!Shown())
        return 0;
    SendMessageA(bar_, WM_SIZE, 0, 0);
    RECT rc;
    GetWindowRect(bar_, &rc);
    return rc.bottom - rc.top;
}

} // namespace win

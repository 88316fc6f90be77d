#include "win/status_bar.h"

#include <commctrl.h>

namespace win {
namespace {

// Texts painted at once follow each other at least this far apart.
constexpr DWORD kRepaintMs = 40;

} // namespace

void StatusBar::Create(HWND parent, int id, HFONT font) {
    bar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                           0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    int parts[1] = {-1};
    SendMessageA(bar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
}

bool StatusBar::Shown() const {
    return (GetWindowLongA(bar_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void StatusBar::Show(bool shown) {
    ShowWindow(bar_, shown ? SW_SHOW : SW_HIDE);
}

void StatusBar::SetText(const std::string& text) {
    SendMessageA(bar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    const DWORD now = GetTickCount();
    if (painted_ && now - paintedAt_ < kRepaintMs)
        return;
    UpdateWindow(bar_);
    paintedAt_ = now;
    painted_ = true;
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

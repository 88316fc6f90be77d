#include "win/window.h"

#include "win/message_loop.h"

namespace win {

Window::~Window() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Window::RegisterClassOnce(const char* className, HICON icon, HICON smallIcon,
                               HBRUSH background, UINT style) {
    WNDCLASSEXA wc = {};
    HINSTANCE inst = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(inst, className, &wc))
        return true;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = StaticProc;
    wc.hInstance = inst;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0;
}

HWND Window::CreateTop(const char* className, const char* title, DWORD style, DWORD exStyle, int x,
                       int y, int w, int h, HWND owner, HMENU menu) {
    return CreateWindowExA(exStyle, className, title, style, x, y, w, h, owner, menu,
                           GetModuleHandleA(nullptr), this);
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    return DefaultProc(msg, wp, lp);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        auto* self = static_cast<Window*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);
    try {
        LRESULT r = self->WndProc(msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return r;
    } catch (...) {
        ReportCurrentException();
        return 0;
    }
}

} // namespace win

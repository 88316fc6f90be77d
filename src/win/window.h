#pragma once
// Base of the program's own top-level windows: registers a class whose window
// procedure forwards to the object, and keeps exceptions out of system code.
#include <windows.h>

namespace win {

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

  protected:
    // Registers `className` once per process with this trampoline as its procedure.
    static bool RegisterClassOnce(const char* className, HICON icon, HICON smallIcon,
                                  HBRUSH background, UINT style = CS_DBLCLKS);
    HWND CreateTop(const char* className, const char* title, DWORD style, DWORD exStyle, int x,
                   int y, int w, int h, HWND owner, HMENU menu);
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }

  private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

} // namespace win

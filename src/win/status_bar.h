#pragma once
// A non-owning handle of a one-part status bar with a size grip; the parent
// destroys it with itself.
#include <windows.h>

#include <string>

namespace win {

class StatusBar {
  public:
    void Create(HWND parent, int id, HFONT font);
    HWND hwnd() const { return bar_; }

    // Its own visibility: IsWindowVisible also asks the parent, which may still be
    // hidden.
    bool Shown() const;
    void Show(bool shown);
    // Painted at once: a long command sets it while the queue waits.
    void SetText(const std::string& text);
    // Fits the bar to the parent's client area; the height it takes there, 0 while
    // hidden.
    int Fit();

  private:
    HWND bar_ = nullptr;
};

} // namespace win

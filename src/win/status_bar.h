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
    // Painted at once, since a long command sets it while the queue waits; but not
    // more often than the eye can follow: a command that walks a long list sets a
    // text per entry, and painting each one cost more than the entry's own work
    // (about a millisecond under Wine). A text set sooner is painted with the next
    // turn of the queue.
    void SetText(const std::string& text);
    // Fits the bar to the parent's client area; the height it takes there, 0 while
    // hidden.
    int Fit();

  private:
    HWND bar_ = nullptr;
    DWORD paintedAt_ = 0;
    bool painted_ = false;
};

} // namespace win

#pragma once
// A non-owning handle of a one-part status bar with a size grip; the parent
// destroys it with itself.
#include <windows.h>

#include <string>

namespace win {

class StatusBar {
  public:
    StatusBar() = default;
    // The bar's window keeps the address of its owner.
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    void Create(HWND parent, int id, HFONT font);
    HWND hwnd() const { return bar_; }

    // Its own visibility: IsWindowVisible also asks the parent, which may still be
    // hidden.
    bool Shown() const;
    void Show(bool shown);
    // Shown and painted at once: a long command sets it while the queue waits.
    void SetText(const std::string& text);
    // The same for a command's step, but not more often than the eye can follow: a
    // command that walks a long list sets a text per entry, and each change cost
    // the status bar about a millisecond under Wine, more than the entry's own
    // work. A text set sooner is shown a moment later, from the queue, unless
    // another replaces it first.
    void SetProgress(const std::string& text);
    // Fits the bar to the parent's client area; the height it takes there, 0 while
    // hidden.
    int Fit();

  private:
    static LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR self);
    void ShowPending();

    HWND bar_ = nullptr;
    std::string pending_;
    DWORD shownAt_ = 0;
    bool shown_ = false;
    bool timerSet_ = false;
};

} // namespace win

#pragma once
// For in-process dialog tests: a stand-in for the main window, and an answerer of the
// program's message boxes.
#include <windows.h>

#include <string>
#include <vector>

// A hidden top-level window that stands for the main window (the owner).
struct Owner {
    Owner() {
        hwnd = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~Owner() { DestroyWindow(hwnd); }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    HWND hwnd;
};

// Answers the program's message boxes ("エラー" and "確認") of this thread as they
// are activated, and remembers caption and text.
class BoxWatch {
  public:
    struct Seen {
        std::string caption, text;
    };
    std::vector<Seen> seen;
    // Given to the boxes in order; No (or OK where there is no No) once used up.
    std::vector<int> answers;

    BoxWatch() {
        current() = this;
        hook_ = SetWindowsHookExA(WH_CBT, Proc, nullptr, GetCurrentThreadId());
    }
    ~BoxWatch() {
        UnhookWindowsHookEx(hook_);
        current() = nullptr;
    }
    BoxWatch(const BoxWatch&) = delete;
    BoxWatch& operator=(const BoxWatch&) = delete;

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Seen& s : seen)
            texts.push_back(s.text);
        return texts;
    }

  private:
    static BoxWatch*& current() {
        static BoxWatch* watch = nullptr;
        return watch;
    }
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
        BoxWatch* self = current();
        if (code == HCBT_ACTIVATE && self) {
            HWND w = reinterpret_cast<HWND>(wp);
            char caption[64] = "", text[512] = "";
            GetWindowTextA(w, caption, sizeof caption);
            const std::string c = caption;
            if (c == "エラー" || c == "確認") {
                GetDlgItemTextA(w, 0xFFFF, text, sizeof text);
                self->seen.push_back({c, text});
                int answer = GetDlgItem(w, IDNO) ? IDNO : IDOK;
                if (!self->answers.empty()) {
                    answer = self->answers.front();
                    self->answers.erase(self->answers.begin());
                }
                PostMessageA(w, WM_COMMAND, answer, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    HHOOK hook_;
};

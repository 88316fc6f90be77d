#pragma once
// For in-process tests of dialogs: watches for the error boxes ("エラー") of this
// thread, keeps their texts and closes each one as soon as it is activated.
#include <windows.h>

#include <string>
#include <vector>

struct ErrorBoxWatch {
    std::vector<std::string> texts;
    HHOOK hook;
    ErrorBoxWatch() {
        Current() = this;
        hook = SetWindowsHookExA(WH_CBT, Proc, nullptr, GetCurrentThreadId());
    }
    ~ErrorBoxWatch() {
        UnhookWindowsHookEx(hook);
        Current() = nullptr;
    }
    ErrorBoxWatch(const ErrorBoxWatch&) = delete;
    ErrorBoxWatch& operator=(const ErrorBoxWatch&) = delete;

  private:
    static ErrorBoxWatch*& Current() {
        static ErrorBoxWatch* current = nullptr;
        return current;
    }
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_ACTIVATE && Current()) {
            HWND w = reinterpret_cast<HWND>(wp);
            char caption[64] = "";
            GetWindowTextA(w, caption, sizeof caption);
            if (std::string(caption) == "エラー") {
                char text[512] = "";
                GetDlgItemTextA(w, 0xFFFF, text, sizeof text);
                Current()->texts.push_back(text);
                PostMessageA(w, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
};

// The capture dialog in-process: a target window on a second thread of the test is
// hooked through VakoHook.dll, as another program's window would be, and the
// dialog runs through the program's own message loop.
#include "capture/command_form.h"
#include "capture/command_form_ids.h"
#include "win/app_window.h"
#include "win/message_loop.h"

#include "error_box_watch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// A window of the given class on a thread of its own. It records every WM_COMMAND
// and WM_SYSCOMMAND that reaches its window procedure and goes away on
// WM_COMMAND `quitCommand` (or on the system-menu close, by default handling).
class TargetThread {
  public:
    TargetThread(const char* className, const char* title, WPARAM quitCommand)
        : className_(className), title_(title), quitCommand_(quitCommand) {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this] { Run(); });
        WaitForSingleObject(ready_, 10000);
    }
    ~TargetThread() {
        if (IsWindow(hwnd_))
            PostMessageA(hwnd_, WM_APP, 0, 0);
        thread_.join();
        CloseHandle(ready_);
    }
    HWND hwnd() const { return hwnd_; }
    std::vector<std::pair<UINT, WPARAM>> Received() {
        std::lock_guard<std::mutex> lock(m_);
        return received_;
    }

  private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<TargetThread*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (self && (msg == WM_COMMAND || msg == WM_SYSCOMMAND)) {
            std::lock_guard<std::mutex> lock(self->m_);
            self->received_.emplace_back(msg, wp);
        }
        if (self && ((msg == WM_COMMAND && wp == self->quitCommand_) || msg == WM_APP)) {
            DestroyWindow(h);
            return 0;
        }
        if (msg == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(h, msg, wp, lp);
    }
    void Run() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className_;
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, className_, title_, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetEvent(ready_);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        UnregisterClassA(className_, wc.hInstance);
    }

    const char* className_;
    const char* title_;
    WPARAM quitCommand_;
    HANDLE ready_;
    std::thread thread_;
    HWND hwnd_ = nullptr;
    std::mutex m_;
    std::vector<std::pair<UINT, WPARAM>> received_;
};

// Waits up to five seconds for the window to go.
bool WaitWindowGone(HWND w) {
    DWORD start = GetTickCount();
    while (IsWindow(w) && GetTickCount() - start < 5000)
        Sleep(2);
    return !IsWindow(w);
}

// The capture dialog with a script: `onShown` runs once the hook is in place,
// `onTick` every 20 ms while the dialog is open.
class ScriptedCommandForm : public TVakoCommandForm {
  public:
    std::function<void(ScriptedCommandForm&)> onShown;
    std::function<void(ScriptedCommandForm&)> onTick;
    void ClickAbort() {
        PostMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CMD_ABORT, BN_CLICKED), 0);
    }
    std::string PanelText() {
        char buf[512] = {};
        GetDlgItemTextA(hwnd(), IDC_CMD_MESSAGEPANEL, buf, sizeof buf);
        return buf;
    }

  protected:
    void OnInit() override {
        TVakoCommandForm::OnInit();
        SetTimer(hwnd(), 99, 20, nullptr);
        if (onShown)
            onShown(*this);
    }
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_TIMER && wp == 99) {
            if (onTick)
                onTick(*this);
            return TRUE;
        }
        return TVakoCommandForm::OnMessage(msg, wp, lp);
    }
};

class CaptureDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(nullptr, win::CreateApplicationWindow());
        // The filter the dialog must give back when it closes.
        win::SetMessageFilter([this](MSG&) {
            ++outerFilterCalls;
            return false;
        });
    }
    void TearDown() override { win::SetMessageFilter(nullptr); }
    bool OuterFilterBack() {
        int before = outerFilterCalls;
        PostMessageA(win::ApplicationWindow(), WM_NULL, 0, 0);
        win::ProcessMessages();
        return outerFilterCalls > before;
    }
    int outerFilterCalls = 0;
};

TEST(GetWindowIdent, NamesAWindowByClassOrByTitleForNumberedAndBlankClasses) {
    TargetThread frame("MainFrame", "Doc", 0);
    EXPECT_EQ("C:MainFrame", GetWindowIdent(frame.hwnd()));
    TargetThread blanks("Frame  ", "t", 0);
    EXPECT_EQ("C:Frame  ", GetWindowIdent(blanks.hwnd())) << "the class is kept untrimmed";

    // The system's dialog class #32770, with a Japanese title and without one.
    HWND titled = CreateWindowExA(0, "#32770", "設定, その他", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND untitled = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(titled && untitled);
    EXPECT_EQ("T:設定, その他", GetWindowIdent(titled));
    EXPECT_EQ("T:", GetWindowIdent(untitled));
    DestroyWindow(titled);
    DestroyWindow(untitled);
}

TEST_F(CaptureDialog, CapturesAMenuCommandPassesItOnAndClosesWhenTheTargetIsGone) {
    TargetThread target("MainFrame", "Doc", 0x0001E141);
    ScriptedCommandForm form;
    form.TargetWnd = target.hwnd();
    form.SetProgLabel("テスト");
    bool filterWasOurs = false;
    form.onShown = [&](ScriptedCommandForm& f) {
        filterWasOurs = f.PanelText() == "アプリを終了させれば自動的に閉じます。";
        PostMessageA(target.hwnd(), WM_COMMAND, 0x0001E141, 0);
    };
    form.ShowModal(nullptr);
    EXPECT_TRUE(filterWasOurs);
    EXPECT_TRUE(form.Captured);
    EXPECT_EQ("C:0001E141,C:MainFrame", form.Result());
    EXPECT_FALSE(IsWindow(target.hwnd()));
    // The hooked first delivery was neutralised; the target acted on the one passed on.
    auto got = target.Received();
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), got[0].first);
    EXPECT_EQ(static_cast<WPARAM>(0x0001E141), got[0].second);
    EXPECT_TRUE(OuterFilterBack()) << "the previous message filter is back";
}

TEST_F(CaptureDialog, TheLastOfTwoCommandsIsTheResult) {
    TargetThread target("MainFrame", "Doc", 0x9C41);
    ScriptedCommandForm form;
    form.TargetWnd = target.hwnd();
    form.onShown = [&](ScriptedCommandForm&) {
        PostMessageA(target.hwnd(), WM_COMMAND, 0x0005, 0);
    };
    bool second = false;
    form.onTick = [&](ScriptedCommandForm& f) {
        if (!second && f.Captured) {
            second = true;
            PostMessageA(target.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    };
    form.ShowModal(nullptr);
    EXPECT_TRUE(form.Captured);
    EXPECT_EQ("S:0000F060,C:MainFrame", form.Result());
    auto got = target.Received();
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(static_cast<WPARAM>(5), got[0].second);
    EXPECT_EQ(static_cast<UINT>(WM_SYSCOMMAND), got[1].first);
}

TEST_F(CaptureDialog, AbortAfterACaptureGivesNoResultAndUnhooks) {
    TargetThread target("MainFrame", "Doc", 0x9C41);
    ScriptedCommandForm form;
    form.TargetWnd = target.hwnd();
    form.onShown = [&](ScriptedCommandForm&) {
        PostMessageA(target.hwnd(), WM_COMMAND, 0x0007, 0);
    };
    form.onTick = [&](ScriptedCommandForm& f) {
        if (f.Captured)
            f.ClickAbort();
    };
    form.ShowModal(nullptr);
    EXPECT_FALSE(form.Captured);
    ASSERT_TRUE(IsWindow(target.hwnd()));
    // Unhooked: a command now reaches the target without being neutralised or reported.
    PostMessageA(target.hwnd(), WM_COMMAND, 0x9C41, 0);
    EXPECT_TRUE(WaitWindowGone(target.hwnd()));
    EXPECT_TRUE(OuterFilterBack());
}

TEST_F(CaptureDialog, ATargetThatEndsWithoutACommandShowsTheThreeLineError) {
    TargetThread target("MainFrame", "Doc", 0x9C41);
    ErrorBoxWatch boxes;
    ScriptedCommandForm form;
    form.TargetWnd = target.hwnd();
    form.onShown = [&](ScriptedCommandForm&) { PostMessageA(target.hwnd(), WM_APP, 0, 0); };
    form.ShowModal(nullptr);
    EXPECT_FALSE(form.Captured);
    ASSERT_EQ(1u, boxes.texts.size());
    EXPECT_EQ("終了コマンドを取得できませんでした。\n別の方法で終了させてみてください。\n"
              "または、終了させるためのコマンドパラメータが存在しないかどうか調べてみてください。",
              boxes.texts[0]);
    EXPECT_TRUE(OuterFilterBack());
}

} // namespace

namespace {

TEST_F(CaptureDialog, AQuitMessageEndsTheCaptureWithoutLeavingTheHookOrTheFilterBehind) {
    TargetThread target("MainFrame", "Doc", 0x9C41);
    ScriptedCommandForm form;
    form.TargetWnd = target.hwnd();
    form.onShown = [](ScriptedCommandForm&) { PostQuitMessage(3); };
    form.ShowModal(nullptr);
    EXPECT_FALSE(form.Captured);
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the quit is left for the outer loop";
    EXPECT_EQ(3u, quit.wParam);
    EXPECT_TRUE(OuterFilterBack());
    // No hook neutralises the target's commands any more.
    PostMessageA(target.hwnd(), WM_COMMAND, 0x9C41, 0);
    EXPECT_TRUE(WaitWindowGone(target.hwnd()));
}

} // namespace

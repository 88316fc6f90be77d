// The dialog base, driven in-process: the modal run goes through the program's own
// message loop, so the message filter, the keyboard navigation and the error
// handling behave as they do for the main window.
#include "dialog_test_support.h"
#include "dialog_test_ids.h"
#include "win/dialog.h"
#include "win/exception.h"
#include "win/message_loop.h"

#include "error_box_watch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A small dialog whose reactions the test sets up.
class TestDialog : public win::Dialog {
  public:
    std::function<void(TestDialog&)> onInit;
    int refusals = 0; // how many close requests CanClose turns down first
    int closeQueries = 0;
    bool ownerEnabledInside = true;

    using win::Dialog::End;

  protected:
    void OnInit() override {
        if (onInit)
            onInit(*this);
    }
    bool OnCommand(int id, int code, HWND control) override {
        if (id == IDC_THROW)
            throw Exception("テストの例外");
        ownerEnabledInside = IsWindowEnabled(GetWindow(hwnd(), GW_OWNER)) != FALSE;
        return win::Dialog::OnCommand(id, code, control);
    }
    bool CanClose(INT_PTR) override { return ++closeQueries > refusals; }
};

void PostKey(HWND target, UINT vk) {
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

TEST(DialogBase, RunsModallyOverItsOwnerAndReturnsTheEndResult) {
    Owner owner;
    TestDialog dlg;
    dlg.onInit = [](TestDialog& d) { PostMessageA(d.hwnd(), WM_COMMAND, IDOK, 0); };
    EXPECT_EQ(IDOK, dlg.RunModal(owner.hwnd, IDD_TEST));
    EXPECT_FALSE(dlg.ownerEnabledInside) << "the owner must be disabled while the dialog runs";
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd)) << "and enabled again afterwards";
    EXPECT_EQ(nullptr, dlg.hwnd());
}

TEST(DialogBase, EnterIsOkAndEscIsCancelThroughTheProgramsLoop) {
    Owner owner;
    TestDialog enter;
    enter.onInit = [](TestDialog& d) {
        HWND edit = GetDlgItem(d.hwnd(), IDC_EDIT);
        SetFocus(edit);
        PostKey(edit, VK_RETURN);
    };
    EXPECT_EQ(IDOK, enter.RunModal(owner.hwnd, IDD_TEST));

    TestDialog esc;
    esc.onInit = [](TestDialog& d) {
        HWND edit = GetDlgItem(d.hwnd(), IDC_EDIT);
        SetFocus(edit);
        PostKey(edit, VK_ESCAPE);
    };
    EXPECT_EQ(IDCANCEL, esc.RunModal(owner.hwnd, IDD_TEST));

    TestDialog closeBox;
    closeBox.onInit = [](TestDialog& d) { PostMessageA(d.hwnd(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(IDCANCEL, closeBox.RunModal(owner.hwnd, IDD_TEST));
}

// The capture dialog depends on this: a message posted to another window of the
// thread while the dialog is modal passes the application's filter.
TEST(DialogBase, TheMessageFilterSeesMessagesWhileTheDialogIsModal) {
    Owner owner;
    const UINT note = RegisterWindowMessageA("VakoDialogTestNote");
    TestDialog dlg;
    std::vector<LPARAM> seen;
    win::SetMessageFilter([&](MSG& msg) {
        if (msg.message != note)
            return false;
        seen.push_back(msg.lParam);
        dlg.End(IDOK);
        return true;
    });
    dlg.onInit = [&](TestDialog&) { PostMessageA(owner.hwnd, note, 0, 42); };
    INT_PTR result = dlg.RunModal(owner.hwnd, IDD_TEST);
    win::SetMessageFilter(nullptr);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(std::vector<LPARAM>{42}, seen);
}

TEST(DialogBase, AnExceptionInAHandlerIsShownAndTheDialogGoesOn) {
    Owner owner;
    BoxWatch watch;
    TestDialog dlg;
    dlg.onInit = [](TestDialog& d) {
        PostMessageA(d.hwnd(), WM_COMMAND, IDC_THROW, 0);
        PostMessageA(d.hwnd(), WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(IDOK, dlg.RunModal(owner.hwnd, IDD_TEST));
    EXPECT_EQ(std::vector<std::string>{"テストの例外"}, watch.Texts());
}

TEST(DialogBase, CanCloseKeepsTheDialogOpenUntilItAgrees) {
    Owner owner;
    TestDialog dlg;
    dlg.refusals = 1;
    dlg.onInit = [](TestDialog& d) {
        PostMessageA(d.hwnd(), WM_COMMAND, IDCANCEL, 0);
        PostMessageA(d.hwnd(), WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(IDOK, dlg.RunModal(owner.hwnd, IDD_TEST));
    EXPECT_EQ(2, dlg.closeQueries);
}

TEST(DialogBase, AQuitMessageEndsTheDialogAndIsPostedAgain) {
    Owner owner;
    TestDialog dlg;
    dlg.onInit = [](TestDialog&) { PostQuitMessage(7); };
    EXPECT_EQ(IDCANCEL, dlg.RunModal(owner.hwnd, IDD_TEST));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
}

} // namespace

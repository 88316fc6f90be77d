// The dialog base, driven in-process: the modal run goes through the program's own
// message loop, so the message filter, the keyboard navigation and the error
// handling behave as they do for the main window.
#include "dialog_test_support.h"
#include "dialog_test_ids.h"
#include "win/dialog.h"
#include "win/error_text.h"
#include "win/exception.h"
#include "win/file.h"
#include "win/message_loop.h"
#include "win/module.h"
#include "win/window_text.h"

#include "error_box_watch.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

    using win::Dialog::CenterOnOwner;
    using win::Dialog::End;
    using win::Dialog::ItemText;

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

// The dialog stays whole on the work area when its owner lies partly off it, and sits
// in the middle of an owner that leaves room.
TEST(DialogBase, CentresOnItsOwnerWithinTheWorkArea) {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    Owner owner;
    TestDialog dlg;
    RECT middle = {}, edge = {}, ownerRect = {};
    dlg.onInit = [&](TestDialog& d) {
        SetWindowPos(owner.hwnd, nullptr, work.left + 100, work.top + 100, 400, 300,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(owner.hwnd, &ownerRect);
        d.CenterOnOwner();
        GetWindowRect(d.hwnd(), &middle);
        SetWindowPos(owner.hwnd, nullptr, work.right - 50, work.bottom - 50, 400, 300,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        d.CenterOnOwner();
        GetWindowRect(d.hwnd(), &edge);
        d.End(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.RunModal(owner.hwnd, IDD_TEST));
    EXPECT_LE(std::abs((middle.left + middle.right) - (ownerRect.left + ownerRect.right)), 1);
    EXPECT_LE(std::abs((middle.top + middle.bottom) - (ownerRect.top + ownerRect.bottom)), 1);
    EXPECT_EQ(edge.right, work.right);
    EXPECT_EQ(edge.bottom, work.bottom);
}

// A control's text is read whole, past the 256 bytes in which window names are read.
TEST(DialogBase, ItemTextIsTheWholeTextOfTheControl) {
    Owner owner;
    TestDialog dlg;
    const std::string typed(300, 'x');
    std::string read, empty;
    dlg.onInit = [&](TestDialog& d) {
        empty = d.ItemText(IDC_EDIT);
        SetWindowTextA(GetDlgItem(d.hwnd(), IDC_EDIT), typed.c_str());
        read = d.ItemText(IDC_EDIT);
        d.End(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.RunModal(owner.hwnd, IDD_TEST));
    EXPECT_EQ(read, typed);
    EXPECT_EQ(empty, "");
}

// Window names are read as the fixed buffers of their callers hold them: cut one
// byte short of the buffer, empty for an empty title and for no window.
TEST(WindowText, IsCutWhereTheCallersBufferEnds) {
    const std::string title(300, 't');
    HWND w = CreateWindowExA(0, "STATIC", title.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(win::WindowText(w), title.substr(0, 255));
    EXPECT_EQ(win::WindowText(w, 255), title.substr(0, 254));
    EXPECT_EQ(win::WholeWindowText(w), title);
    EXPECT_EQ(win::ClassName(w), "Static");
    EXPECT_EQ(win::ClassName(w, 4), "Sta");
    SetWindowTextA(w, "");
    EXPECT_EQ(win::WindowText(w), "");
    EXPECT_EQ(win::WholeWindowText(w), "");
    DestroyWindow(w);
    EXPECT_EQ(win::WindowText(w), "");
    EXPECT_EQ(win::ClassName(nullptr), "");
}

TEST(SystemErrorText, IsTheSystemsLineWithoutItsBreakOrEmptyForAnUnknownCode) {
    const std::string known = win::SystemErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(known.empty());
    EXPECT_GT(static_cast<unsigned char>(known.back()), ' ');
    EXPECT_EQ(known.find('\n'), std::string::npos);
    // No system message table holds a customer-defined code.
    EXPECT_EQ(win::SystemErrorText(0x2000FFFFu), "");
}

// The program's own path names its file; a folder is not a file, nor the reverse.
TEST(ModulePath, NamesTheProgramsFileWhichExistsAsAFile) {
    const std::string path = win::ModulePath();
    char expected[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, expected, MAX_PATH), 0u);
    EXPECT_EQ(path, expected);
    EXPECT_TRUE(win::FileExists(path));
    EXPECT_FALSE(win::FolderExists(path));
    const std::string folder = path.substr(0, path.find_last_of('\\'));
    EXPECT_TRUE(win::FolderExists(folder));
    EXPECT_FALSE(win::FileExists(folder));
    EXPECT_FALSE(win::FileExists(path + ".missing"));
    EXPECT_FALSE(win::ModulePath(GetModuleHandleA("kernel32.dll")).empty());
}

} // namespace

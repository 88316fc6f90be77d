// The hook procedure called directly (a test build of the library's source), for
// what a target thread cannot show: negative hook codes and thread messages.
#include "hook/hook_proc.h"
#include "hook/hook_share_mem.h"

#include <gtest/gtest.h>

#include "hook_support.h"

namespace {

using vakohook::THookShareMem;

class HookProc : public ::testing::Test {
  protected:
    void SetUp() override {
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      vakohook::kShareMemSize, vakohook::kShareMemName);
        ASSERT_NE(nullptr, mapping_);
        block_ = static_cast<THookShareMem*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        ASSERT_NE(nullptr, block_);
        block_->Hook = 0;
        block_->NotifyWnd = vakohook::ToShared(notify_.Handle());
        block_->CommandMsg = notify_.CommandMsg();
        block_->SysCommandMsg = notify_.SysCommandMsg();
        block_->NullHook = 1;
    }
    void TearDown() override {
        if (block_)
            UnmapViewOfFile(block_);
        if (mapping_)
            CloseHandle(mapping_);
    }
    // Takes this thread's pending notifications: the hook posts them at once.
    size_t Pending() {
        MSG m;
        while (PeekMessageA(&m, notify_.Handle(), 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
        return notify_.Received().size();
    }
    MSG Command(HWND hwnd, UINT message, WPARAM wp) {
        MSG m = {};
        m.hwnd = hwnd;
        m.message = message;
        m.wParam = wp;
        m.lParam = 0x77;
        return m;
    }

    ht::NotifyWindow notify_;
    HANDLE mapping_ = nullptr;
    THookShareMem* block_ = nullptr;
    HWND addressed_ = reinterpret_cast<HWND>(0x1234);
};

TEST_F(HookProc, NegativeCodesPassEverythingOn) {
    MSG m = Command(addressed_, WM_COMMAND, 0x42);
    GetMsgProc(-1, PM_REMOVE, reinterpret_cast<LPARAM>(&m));
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), m.message);
    EXPECT_EQ(0u, Pending());

    GetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&m));
    EXPECT_EQ(static_cast<UINT>(WM_NULL), m.message);
    EXPECT_EQ(0x42u, m.wParam);
    EXPECT_EQ(0x77, m.lParam);
    ASSERT_EQ(1u, Pending());
    EXPECT_EQ(notify_.CommandMsg(), notify_.Received()[0].Msg);
    EXPECT_EQ(reinterpret_cast<WPARAM>(addressed_), notify_.Received()[0].WParam);
    EXPECT_EQ(0x42, notify_.Received()[0].LParam);
}

TEST_F(HookProc, PeekedCommandsAreReportedToo) {
    MSG m = Command(addressed_, WM_SYSCOMMAND, SC_CLOSE);
    GetMsgProc(HC_ACTION, PM_NOREMOVE, reinterpret_cast<LPARAM>(&m));
    EXPECT_EQ(static_cast<UINT>(WM_NULL), m.message);
    ASSERT_EQ(1u, Pending());
    EXPECT_EQ(notify_.SysCommandMsg(), notify_.Received()[0].Msg);
    EXPECT_EQ(SC_CLOSE, notify_.Received()[0].LParam);
}

TEST_F(HookProc, ThreadMessagesOtherMessagesAndPassingModeAreUntouched) {
    MSG thread = Command(nullptr, WM_COMMAND, 1);
    MSG other = Command(addressed_, WM_KEYDOWN, 2);
    GetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&thread));
    GetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&other));
    GetMsgProc(HC_ACTION, PM_REMOVE, 0);
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), thread.message);
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), other.message);

    block_->NullHook = 0;
    MSG passing = Command(addressed_, WM_COMMAND, 3);
    GetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&passing));
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), passing.message);
    EXPECT_EQ(0u, Pending());
}

// VakoQuit gone with its hook still installed: its window is no more, so commands
// keep acting instead of vanishing unreported.
TEST_F(HookProc, CommandsActWhenTheReportCannotBePosted) {
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, gone);
    DestroyWindow(gone);
    block_->NotifyWnd = vakohook::ToShared(gone);
    MSG command = Command(addressed_, WM_COMMAND, 4);
    MSG close = Command(addressed_, WM_SYSCOMMAND, SC_CLOSE);
    GetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&command));
    GetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&close));
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), command.message);
    EXPECT_EQ(static_cast<UINT>(WM_SYSCOMMAND), close.message);
    EXPECT_EQ(0u, Pending());
}

} // namespace

// The hook on the thread of a real 32-bit program in another process: what it
// reports to VakoQuit, what the program then sees, and the shared block as a
// second process reads it.
#include "hook/vako_hook.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "../quit/support.h"
#include "hook_support.h"
#include "win/file.h"

namespace {

constexpr const char kTargetClass[] = "VakoHookTarget";
constexpr WPARAM kIgnoredSysCommand = 0x1230;

bool LogHasLine(const std::string& log, const char* kind, HWND hwnd, uint32_t msg, uint32_t wp) {
    for (const qt::LogLine& l : qt::ReadLog(log)) {
        if (l.Kind == kind && l.Hwnd == hwnd && l.Msg == msg && l.WParam == wp)
            return true;
    }
    return false;
}

class HookTarget : public ::testing::Test {
  protected:
    void SetUp() override {
        log_ = qt::NewTempDir() + "target.log";
        target_.reset(
            new qt::Target(qt::TargetPath(), log_,
                           std::string("--class ") + kTargetClass + " --title HookTarget"));
        ASSERT_TRUE(target_->Ready());
        window_ = ht::WindowOf(target_->Pid(), kTargetClass);
        ASSERT_NE(nullptr, window_);
        thread_ = GetWindowThreadProcessId(window_, nullptr);
        ASSERT_NE(nullptr, notify_.Handle());
    }
    void TearDown() override {
        if (hooked_)
            UnhookDLL();
        ChangeNullHook(1);
        target_.reset();
    }
    void Hook() {
        ASSERT_EQ(1, InitDLL(notify_.Handle(), thread_));
        hooked_ = true;
    }
    bool LogHas(const char* kind, HWND hwnd, uint32_t msg, uint32_t wp) const {
        return LogHasLine(log_, kind, hwnd, msg, wp);
    }
    bool WaitLog(const char* kind, HWND hwnd, uint32_t msg, uint32_t wp) const {
        return qt::WaitFor([&] { return LogHas(kind, hwnd, msg, wp); }, 10000);
    }
    // Posts a command that is reported; once its report is in, everything posted
    // before it has passed the hook.
    void Marker(WPARAM id) {
        size_t before = notify_.Received().size();
        PostMessageA(window_, WM_COMMAND, id, 0);
        ASSERT_TRUE(notify_.WaitCount(before + 1));
        const ht::Notification& n = notify_.Received()[before];
        EXPECT_EQ(notify_.CommandMsg(), n.Msg);
        EXPECT_EQ(id, static_cast<WPARAM>(n.LParam)) << "an earlier command was reported";
    }

    std::string log_;
    std::unique_ptr<qt::Target> target_;
    HWND window_ = nullptr;
    DWORD thread_ = 0;
    ht::NotifyWindow notify_;
    bool hooked_ = false;
};

TEST_F(HookTarget, CommandIsReportedWithItsWindowAndNeutralised) {
    Hook();
    PostMessageA(window_, WM_COMMAND, 0x0001E141, 0x1234);
    ASSERT_TRUE(notify_.WaitCount(1));
    const ht::Notification& n = notify_.Received()[0];
    EXPECT_EQ(notify_.CommandMsg(), n.Msg);
    EXPECT_EQ(reinterpret_cast<WPARAM>(window_), n.WParam);
    EXPECT_EQ(0x0001E141, n.LParam);
    // The program sees WM_NULL with the command's wParam, never the command.
    ASSERT_TRUE(WaitLog("msg", window_, WM_NULL, 0x0001E141));
    EXPECT_FALSE(LogHas("msg", window_, WM_COMMAND, 0x0001E141));
}

TEST_F(HookTarget, SystemCloseIsReportedAndTheWindowStaysUntilPassingIsOn) {
    Hook();
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(notify_.WaitCount(1));
    const ht::Notification& n = notify_.Received()[0];
    EXPECT_EQ(notify_.SysCommandMsg(), n.Msg);
    EXPECT_EQ(reinterpret_cast<WPARAM>(window_), n.WParam);
    EXPECT_EQ(SC_CLOSE, n.LParam);
    ASSERT_TRUE(WaitLog("msg", window_, WM_NULL, SC_CLOSE));
    EXPECT_TRUE(target_->Running());
    EXPECT_FALSE(LogHas("msg", window_, WM_CLOSE, 0));

    // Passing: the same command now reaches the program, which quits, unreported.
    ChangeNullHook(0);
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(target_->WaitExit(10000));
    EXPECT_TRUE(LogHas("msg", window_, WM_SYSCOMMAND, SC_CLOSE));
    // The program has ended: whatever it posted is in this thread's queue now.
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
    EXPECT_EQ(1u, notify_.Received().size());
}

TEST_F(HookTarget, ThreadCommandsAndCommandsWhilePassingAreNotTouched) {
    Hook();
    PostThreadMessageA(thread_, WM_COMMAND, 0x1111, 0);
    Marker(0x2222);
    EXPECT_TRUE(WaitLog("thread", nullptr, WM_COMMAND, 0x1111));

    ChangeNullHook(0);
    PostMessageA(window_, WM_COMMAND, 0x3333, 0);
    // A system command the default handling ignores (a real one such as SC_KEYMENU
    // would start work of its own in the program).
    PostMessageA(window_, WM_SYSCOMMAND, kIgnoredSysCommand, 0);
    EXPECT_TRUE(WaitLog("msg", window_, WM_COMMAND, 0x3333));
    EXPECT_TRUE(WaitLog("msg", window_, WM_SYSCOMMAND, kIgnoredSysCommand));
    ChangeNullHook(1);
    Marker(0x4444);
    ASSERT_EQ(2u, notify_.Received().size())
        << "last report: " << std::hex << notify_.Received().back().LParam;
}

TEST_F(HookTarget, UnhookTwicePassesTheSameHandleAndLeavesTheBlock) {
    Hook();
    ht::BlockBytes before = ht::ReadBlock();
    ASSERT_TRUE(before.Ok);
    ASSERT_NE(0u, before.U32(0));
    EXPECT_EQ(1, UnhookDLL());
    EXPECT_EQ(0, UnhookDLL()) << "the stored handle was already removed";
    hooked_ = false;
    ht::BlockBytes after = ht::ReadBlock();
    ASSERT_TRUE(after.Ok);
    EXPECT_EQ(0, std::memcmp(before.Bytes, after.Bytes, sizeof before.Bytes));

    // Without the hook, commands reach the program although NullHook is still set.
    PostMessageA(window_, WM_COMMAND, 0x5555, 0);
    EXPECT_TRUE(WaitLog("msg", window_, WM_COMMAND, 0x5555));
    EXPECT_TRUE(notify_.Received().empty());
}

// A long stream of ordinary messages through the hooked thread: every one of them
// arrives, in the order posted, and the program still takes and quits on commands.
TEST_F(HookTarget, AHundredThousandPostedMessagesAllArriveInOrder) {
    Hook();
    constexpr WPARAM kCount = 100000;
    for (WPARAM i = 0; i < kCount; ++i) {
        // A full queue refuses a message; it goes again once the target has read some.
        ASSERT_TRUE(
            qt::WaitFor([&] { return PostMessageA(window_, WM_APP, i, 0) != FALSE; }, 10000))
            << "message " << i << " refused for ten seconds";
    }
    // The target logs every 10,000th; a slow machine only has to keep it moving.
    const std::string head = "numbered " + std::to_string(target_->Pid()) + " ";
    unsigned long seen = 0;
    bool inOrder = true;
    auto progress = [&] {
        std::string log;
        win::ReadWholeFile(log_, log);
        unsigned long before = seen;
        for (size_t at = log.find(head); at != std::string::npos; at = log.find(head, at + 1)) {
            unsigned long count = 0;
            int order = 0;
            if (std::sscanf(log.c_str() + at + head.size(), "%lu %d", &count, &order) == 2) {
                seen = count;
                inOrder = order == 1;
            }
        }
        return seen > before;
    };
    while (seen < kCount && qt::WaitFor(progress, 60000)) {
    }
    EXPECT_EQ(kCount, seen) << "no progress for a minute";
    EXPECT_TRUE(inOrder) << "a message arrived out of order";

    // Still hooked: a command is reported; passing, the program quits on its close.
    Marker(0x6666);
    ChangeNullHook(0);
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(target_->WaitExit(10000));
}

// Runs the probe in a second process and returns what it read from the block.
std::string ProbeBlock() {
    std::string out = qt::NewTempDir() + "block.txt";
    std::string exe = qt::ExeDir() + "hook_block_probe.exe";
    std::string cmd = "\"" + exe + "\" \"" + out + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return "not started";
    WaitForSingleObject(pi.hProcess, 15000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string text;
    win::ReadWholeFile(out, text);
    return text;
}

std::string Hex32(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X%02X", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF,
                  v >> 24);
    return buf;
}

TEST_F(HookTarget, BlockLayoutAsAnotherProcessReadsIt) {
    Hook();
    std::string bytes = ProbeBlock();
    ASSERT_EQ(42u, bytes.size()) << bytes;
    EXPECT_NE("00000000", bytes.substr(0, 8)) << "Hook at 0";
    EXPECT_EQ(Hex32(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(notify_.Handle()))),
              bytes.substr(8, 8))
        << "NotifyWnd at 4";
    EXPECT_EQ(Hex32(notify_.CommandMsg()), bytes.substr(16, 8)) << "CommandMsg at 8";
    EXPECT_EQ(Hex32(notify_.SysCommandMsg()), bytes.substr(24, 8)) << "SysCommandMsg at 12";
    EXPECT_EQ(Hex32(thread_), bytes.substr(32, 8)) << "ThreadID at 16";
    EXPECT_EQ("01", bytes.substr(40, 2)) << "NullHook at 20";

    ChangeNullHook(0);
    std::string passing = ProbeBlock();
    ASSERT_EQ(42u, passing.size()) << passing;
    EXPECT_EQ(bytes.substr(0, 40), passing.substr(0, 40));
    EXPECT_EQ("00", passing.substr(40, 2));
}

} // namespace

#include "launch/run_rules.h"

#include <gtest/gtest.h>

using namespace launch;

TEST(LaunchRules, CommandLineQuotesOnlyAPathWithASpaceAndAlwaysKeepsTheSpace) {
    EXPECT_EQ(CommandLineFor("C:\\Program Files\\Tool\\tool.exe", "-x"),
              "\"C:\\Program Files\\Tool\\tool.exe\" -x");
    EXPECT_EQ(CommandLineFor("C:\\Program Files\\Tool\\tool.exe", ""),
              "\"C:\\Program Files\\Tool\\tool.exe\" ");
    EXPECT_EQ(CommandLineFor("C:\\Tools\\tool.exe", ""), "C:\\Tools\\tool.exe ");
    // The arguments are the user's own text: neither quoted nor escaped.
    EXPECT_EQ(CommandLineFor("C:\\T\\t.exe", "\"a b\"  c\\"), "C:\\T\\t.exe \"a b\"  c\\");
    EXPECT_EQ(CommandLineFor("C:\\表示\\ソフト.exe", "/s"), "C:\\表示\\ソフト.exe /s");
}

TEST(LaunchRules, WorkingFolderIsWorkOrTheProgramFolderWithItsBackslash) {
    EXPECT_EQ(WorkingFolderFor("C:\\Tools\\tool.exe", ""), "C:\\Tools\\");
    EXPECT_EQ(WorkingFolderFor("C:\\Tools\\tool.exe", "D:\\data"), "D:\\data");
    EXPECT_EQ(WorkingFolderFor("C:tool.exe", ""), "C:");
    EXPECT_EQ(WorkingFolderFor("tool.exe", ""), "");
    // "表" ends in the byte of "\": the folder is not cut inside it.
    EXPECT_EQ(WorkingFolderFor("C:\\ツール\\表", ""), "C:\\ツール\\");
}

TEST(LaunchRules, ShowStatesAndTheStateWeWereStartedWith) {
    EXPECT_EQ(ShowWindowFor(0, 0, 0), kSwRestore); // restore, not SW_SHOWNORMAL
    EXPECT_EQ(ShowWindowFor(1, 0, 0), kSwShowMinNoActive);
    EXPECT_EQ(ShowWindowFor(2, kStartfUseShowWindow, 6), kSwShowMaximized);
    EXPECT_EQ(ShowWindowFor(7, kStartfUseShowWindow, 2), 2);
    EXPECT_EQ(ShowWindowFor(-1, kStartfUseShowWindow | 0x100, 0), 0); // given SW_HIDE: so be it
    // Started without a window state: the member means nothing and must not become
    // SW_HIDE for the new program.
    EXPECT_EQ(ShowWindowFor(7, 0, 0), kSwShowNormal);
    EXPECT_EQ(ShowWindowFor(3, 0x100, 3), kSwShowNormal);
    EXPECT_EQ(MakeStartRequest(TProgInfo{}, 0x101, 5).Flags, kStartfUseShowWindow);
    EXPECT_EQ(StartingText("メモ帳"), "メモ帳を起動しています");
}

namespace {

// A clock that moves only when the program is polled or messages are processed.
class FakeWait : public ReadyWaitOps {
  public:
    explicit FakeWait(uint32_t start, int readyAfter = -1, uint32_t result = 0)
        : now(start), readyAfter_(readyAfter), result_(result) {}
    uint32_t now;
    uint32_t pollCost = kReadyPollMs;
    int polls = 0, pumps = 0;
    bool allPolls100 = true;

    uint32_t TickCount() override { return now; }
    uint32_t WaitForIdle(uint32_t ms) override {
        allPolls100 = allPolls100 && ms == kReadyPollMs;
        now += pollCost;
        ++polls;
        return (readyAfter_ >= 0 && polls >= readyAfter_) ? result_ : kWaitTimeout;
    }
    void ProcessMessages() override {
        ++pumps;
        now += 3;
    }

  private:
    int readyAfter_;
    uint32_t result_;
};

} // namespace

TEST(LaunchReadyWait, NeverReadyLastsFiveSecondsInPollsOfHundredMs) {
    FakeWait w(1000);
    ReadyWaitResult r = WaitUntilReady(w);
    EXPECT_EQ(r.End, ReadyWaitEnd::Deadline);
    EXPECT_EQ(r.Polls, 49); // 103 ms a round: the 49th ends at 6047
    EXPECT_EQ(w.pumps, 49);
    EXPECT_EQ(w.now, 6047u);
    EXPECT_TRUE(w.allPolls100);

    FakeWait quick(50); // polls that return at once: the messages move the clock
    quick.pollCost = 0;
    EXPECT_EQ(WaitUntilReady(quick).End, ReadyWaitEnd::Deadline);
    EXPECT_EQ(quick.now, 50u + 1667 * 3);
}

TEST(LaunchReadyWait, FullWaitAcrossTheTickCountWrap) {
    FakeWait w(0xFFFFFFFFu - 2000); // the deadline lies past the wrap
    ReadyWaitResult r = WaitUntilReady(w);
    EXPECT_EQ(r.End, ReadyWaitEnd::Deadline);
    EXPECT_EQ(r.Polls, 49);
}

TEST(LaunchReadyWait, AnyOtherResultEndsTheWaitAtOnce) {
    FakeWait ready(0, 3, 0); // ready for input on the third poll
    ReadyWaitResult r = WaitUntilReady(ready);
    EXPECT_EQ(r.End, ReadyWaitEnd::Ended);
    EXPECT_EQ(r.Polls, 3);
    EXPECT_EQ(ready.pumps, 2);

    FakeWait failed(0, 1, 0xFFFFFFFF); // WAIT_FAILED, as for a program without a queue
    r = WaitUntilReady(failed);
    EXPECT_EQ(r.End, ReadyWaitEnd::Ended);
    EXPECT_EQ(r.Polls, 1);
    EXPECT_EQ(failed.pumps, 0);
}

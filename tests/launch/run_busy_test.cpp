// Run-all and run-selected as the main window sees them: SetBusy and the status
// texts on every way out. The programs named here do not exist: nothing starts,
// and the completion text counts them.
#include "launch/run_procedure.h"

#include "launch_test_util.h"

#include <gtest/gtest.h>

using launch_test::Entry;
using launch_test::RecordingHost;
using Events = std::vector<std::string>;

namespace {
const std::string kGone = "Z:\\no such folder\\gone.exe";
}

TEST(LaunchBusy, RunAllWalksOccupiedRunSlotsThenCompletes) {
    TProgTable table;
    table[0] = Entry("A", kGone);
    table[1] = Entry("B", kGone, "", false); // not in run-all
    table[5] = Entry("C", kGone);            // after free slots
    table[7] = Entry("D", "");               // a name alone does not occupy a slot
    table[255] = Entry("E", kGone);
    RecordingHost host;
    launch::ActAllRunExecute(host, table, true);
    EXPECT_EQ(
        host.events,
        (Events{"busy:0", "status:Aを起動しています", "status:Cを起動しています",
                "status:Eを起動しています", "busy:1",
                "status:ポムッと起動処理完了（3個のアプリケーションを起動できませんでした）"}));
    EXPECT_EQ(host.pumps, 0); // nothing started, nothing waited for

    RecordingHost empty;
    launch::ActAllRunExecute(empty, TProgTable{}, false);
    EXPECT_EQ(empty.events, (Events{"busy:0", "busy:1", "status:ポムッと起動処理完了"}));
}

TEST(LaunchBusy, RunSelectedGoesInDisplayOrderAndNothingSelectedHasNoCompletionText) {
    TProgInfo a = Entry("A", kGone, "", false), b = Entry("B", kGone);
    RecordingHost host;
    launch::ActRunExecute(host, {&b, &a}, true);
    EXPECT_EQ(host.events,
              (Events{"busy:0", "status:Bを起動しています", "status:Aを起動しています", "busy:1",
                      "status:起動処理完了（2個のアプリケーションを起動できませんでした）"}));
    RecordingHost none;
    launch::ActRunExecute(none, {}, true);
    EXPECT_EQ(none.events, (Events{"busy:0", "busy:1"}));
}

TEST(LaunchBusy, AnExceptionStillReEnablesTheActions) {
    TProgTable table;
    table[0] = Entry("A", kGone);
    table[1] = Entry("B", kGone);
    RecordingHost host;
    host.throwOnStatus = "Aを起動しています";
    EXPECT_THROW(launch::ActAllRunExecute(host, table, true), std::runtime_error);
    EXPECT_EQ(host.events, (Events{"busy:0", "status:Aを起動しています", "busy:1"}));

    RecordingHost sel;
    sel.throwOnStatus = "Bを起動しています";
    EXPECT_THROW(launch::ActRunExecute(sel, {&table[1]}, false), std::runtime_error);
    EXPECT_EQ(sel.events, (Events{"busy:0", "status:Bを起動しています", "busy:1"}));
}

// The busy state ends exactly once; a failure of the ordinary end reaches the
// command, and one during another exception's way out does not replace it.
TEST(BusyScope, EndsOnceOnEveryWayOut) {
    RecordingHost host;
    {
        win::BusyScope busy(host);
        busy.End();
    }
    EXPECT_EQ(host.events, (Events{"busy:0", "busy:1"}));

    struct FailingEnd : RecordingHost {
        void SetBusy(bool enabled) override {
            RecordingHost::SetBusy(enabled);
            if (enabled)
                throw std::runtime_error("end failed");
        }
    };
    FailingEnd failing;
    EXPECT_THROW(
        {
            win::BusyScope busy(failing);
            busy.End();
        },
        std::runtime_error);
    EXPECT_EQ(failing.events, (Events{"busy:0", "busy:1"}));

    FailingEnd unwinding;
    try {
        win::BusyScope busy(unwinding);
        throw std::logic_error("the command failed");
    } catch (const std::logic_error&) {
    }
    EXPECT_EQ(unwinding.events, (Events{"busy:0", "busy:1"}));
}

// Quit-all and quit-selected of the real program against real target programs.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"
#include "target_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace e2e;

namespace {

const char kDone[] = "ポムッと終了処理完了";

struct Entry {
    Entry(std::string n, std::string p, int type = 0, std::string com = "", std::string arg = "")
        : name(std::move(n)), program(std::move(p)), quitType(type), quitCom(std::move(com)),
          quitArg(std::move(arg)) {}
    std::string name;
    std::string program;
    int quitType;
    std::string quitCom;
    std::string quitArg;
    bool quit = true;
};

std::string Settings(const std::vector<Entry>& entries, const std::string& extra = "") {
    std::string ini = "[Setting]\r\nVersion=0.3\r\nQuitTimeout=5\r\n" + extra + "\r\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        ini += "[" + std::to_string(i) + "]\r\nName=" + e.name + "\r\nProgram=" + e.program +
               "\r\nWork=" + e.program.substr(0, e.program.rfind('\\') + 1) +
               "\r\nQuitCom=" + e.quitCom + "\r\nQuitArg=" + e.quitArg +
               "\r\nQuit=" + (e.quit ? "1" : "0") + "\r\nQuitType=" + std::to_string(e.quitType) +
               "\r\n\r\n";
    }
    return ini;
}

class QuitAll : public ::testing::Test {
  protected:
    QuitAll() : box({"quit_target.exe"}) {}

    std::string Target() const { return box.Path("quit_target.exe"); }

    // Starts a target that logs to `log` and waits until its windows exist.
    Process StartTarget(const std::string& log, const std::string& args,
                        const std::string& exe = "") {
        Process p = Process::Start(exe.empty() ? Target() : exe,
                                   "--log \"" + box.Path(log) + "\" " + args, box.Dir());
        EXPECT_TRUE(WaitUntil([&] { return LogHas(box.Path(log), "ready"); }, 10000)) << args;
        return p;
    }

    // Runs the command and answers every box until the status shows `done`.
    std::vector<AnsweredBox> Run(AppProcess& app, WORD command, const std::string& done = kDone,
                                 DWORD timeoutMs = 20000) {
        MainWindow main = app.Main();
        main.Command(command);
        std::vector<AnsweredBox> boxes;
        EXPECT_TRUE(WaitAnsweringBoxes(
            app.Id(), [&] { return main.StatusText() == done; }, timeoutMs, boxes))
            << main.StatusText();
        return boxes;
    }

    // Runs quit-all, expects exactly one box, an error with `text`, answers it and
    // waits for the completion text. Returns when the box appeared, in ms after
    // the command.
    DWORD QuitAllExpectingOneBox(AppProcess& app, const std::string& text) {
        MainWindow main = app.Main();
        DWORD start = GetTickCount();
        main.Command(ID_ACT_ALLQUIT);
        HWND report = FindMessageBox(app.Id(), 15000);
        DWORD shown = GetTickCount() - start;
        EXPECT_NE(report, nullptr);
        if (!report)
            return shown;
        MessageBoxInfo info = ReadMessageBox(report);
        EXPECT_EQ(info.caption, "エラー");
        EXPECT_EQ(info.text, text);
        EXPECT_TRUE(AnswerMessageBox(report, IDOK));
        std::vector<AnsweredBox> rest;
        EXPECT_TRUE(WaitAnsweringBoxes(
            app.Id(), [&] { return main.StatusText() == kDone; }, 15000, rest));
        EXPECT_TRUE(rest.empty()) << rest[0].text;
        return shown;
    }

    Sandbox box;
};

std::map<std::string, int> CountPerWindow(const std::vector<LoggedMessage>& msgs, unsigned msg) {
    std::map<std::string, int> counts;
    for (const LoggedMessage& m : msgs) {
        if (m.msg == msg)
            ++counts[m.hwnd];
    }
    return counts;
}

} // namespace

TEST_F(QuitAll, NotRunningProgramGivesNoMessage) {
    box.WriteIni(Settings({{"いない", Target()}}));
    AppProcess app(box);
    EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
}

TEST_F(QuitAll, OneWindowGetsWmCloseAndOnlyTheFirstOfTwoInstancesIsAsked) {
    Process a = StartTarget("a.log", "");
    Process b = StartTarget("b.log", "");
    box.WriteIni(Settings({{"plain", Target()}}));
    AppProcess app(box);
    EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
    ASSERT_TRUE(WaitUntil([&] { return !a.Running() || !b.Running(); }, 5000));
    EXPECT_NE(a.Running(), b.Running()); // exactly one instance was quit
    const std::string quitLog = a.Running() ? "b.log" : "a.log";
    auto msgs = LoggedMessages(box.Path(quitLog));
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].msg, static_cast<unsigned>(WM_CLOSE));
    const Process& other = a.Running() ? a : b;
    const std::string otherLog = box.Path(a.Running() ? "a.log" : "b.log");
    ASSERT_TRUE(MarkLog(FindTopWindow(other.Id(), "VakoPlainWindow"), otherLog));
    EXPECT_TRUE(MessagesBeforeMarker(otherLog).empty());
}

TEST_F(QuitAll, FrameworkApplicationIsClosedThroughItsTApplicationWindow) {
    Process p = StartTarget("f.log", "--mode framework");
    box.WriteIni(Settings({{"framework", Target()}}));
    AppProcess app(box);
    EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
    EXPECT_TRUE(p.WaitExit(5000).has_value());
    auto msgs = LoggedMessages(box.Path("f.log"));
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].className, "TApplication");
}

TEST_F(QuitAll, AutomaticQuitSkipsHiddenAndBareWindows) {
    Process p = StartTarget("s.log", "--mode styles");
    box.WriteIni(Settings({{"styles", Target()}}));
    AppProcess app(box);
    EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
    EXPECT_TRUE(p.WaitExit(5000).has_value());
    auto msgs = LoggedMessages(box.Path("s.log"));
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].className, "VakoStyleMain");
}

TEST_F(QuitAll, ResidentProgramWithOnlyHiddenUtilityWindowsIsQuit) {
    Process p = StartTarget("r.log", "--mode resident");
    box.WriteIni(Settings({{"常駐", Target()}}));
    AppProcess app(box);
    EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
    EXPECT_TRUE(p.WaitExit(5000).has_value());
    auto msgs = LoggedMessages(box.Path("r.log"));
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].className, "TPUtilWindow");
}

TEST_F(QuitAll, CapturedCommandGoesToEveryMatchingWindowAndTheLastTwice) {
    Process p = StartTarget("c.log", "--mode command --count 2 --quit-command 9C41");
    box.WriteIni(Settings({{"command", Target(), 1, "C:00009C41,C:VakoCommandWindow"}}));
    AppProcess app(box);
    EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
    EXPECT_TRUE(p.WaitExit(5000).has_value());
    auto msgs = LoggedMessages(box.Path("c.log"));
    auto counts = CountPerWindow(msgs, WM_COMMAND);
    ASSERT_EQ(counts.size(), 2u);
    std::vector<int> n;
    for (auto& kv : counts)
        n.push_back(kv.second);
    std::sort(n.begin(), n.end());
    EXPECT_EQ(n, (std::vector<int>{1, 2}));
    for (const LoggedMessage& m : msgs) {
        EXPECT_EQ(m.className, "VakoCommandWindow");
        EXPECT_EQ(m.wParam, 0x9C41ul);
    }
}

TEST_F(QuitAll, CapturedCommandForNoWindowGoesOnceToTheFirst) {
    Process p = StartTarget("c.log", "--mode command --count 2 --quit-syscommand F060");
    box.WriteIni(Settings({{"command", Target(), 1, "S:0000F060,T:no such title"}}));
    AppProcess app(box);
    EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
    EXPECT_TRUE(p.WaitExit(5000).has_value());
    auto msgs = LoggedMessages(box.Path("c.log"));
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].msg, static_cast<unsigned>(WM_SYSCOMMAND));
    EXPECT_EQ(msgs[0].wParam, 0xF060ul);
}

TEST_F(QuitAll, QuitParameterStartsTheProgramAgainWithOrWithoutWindows) {
    for (const char* windows : {"", "--no-windows"}) {
        const std::string event = std::string("VakoQuitTestEvent") + (*windows ? "B" : "A");
        const std::string log = std::string("p") + (*windows ? "b" : "a") + ".log";
        Process p = StartTarget(log, "--mode param --event " + event + " " + windows);
        box.WriteIni(Settings(
            {{"param", Target(), 2, "", "--log \"" + box.Path(log) + "\" --signal " + event}}));
        AppProcess app(box);
        EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty()) << windows;
        EXPECT_TRUE(p.WaitExit(10000).has_value()) << windows;
        // The second copy logs after it has set the event that ended the first.
        EXPECT_TRUE(WaitUntil([&] { return LogHas(box.Path(log), "signal"); }, 5000)) << windows;
        ASSERT_EQ(app.Close(), 0u);
    }
}

TEST_F(QuitAll, WaitEndsSoonAfterTheWindowClosesWithinTheTimeout) {
    Process p = StartTarget("d.log", "--close-delay 2000");
    box.WriteIni(Settings({{"slow", Target()}}));
    AppProcess app(box);
    MainWindow main = app.Main();
    DWORD start = GetTickCount();
    main.Command(ID_ACT_ALLQUIT);
    std::vector<AnsweredBox> boxes;
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return main.StatusText() == kDone; }, 15000, boxes, DefaultAnswer));
    DWORD done = GetTickCount();
    EXPECT_TRUE(boxes.empty());
    unsigned long destroyed = DestroyTick(box.Path("d.log"));
    ASSERT_NE(destroyed, 0ul);
    EXPECT_GE(destroyed - start, 1900ul);
    // The wait wakes within a poll of the window's end (generous bound for Wine).
    EXPECT_LT(done - destroyed, 600ul)
        << "closed at +" << destroyed - start << " ms, done at +" << done - start << " ms";
}

// Quit-all reads the processes once at its start; a registered program that starts
// while an earlier one is being waited for is still found at its turn and quit,
// after the earlier one has gone.
TEST_F(QuitAll, ProgramStartedDuringTheRunIsQuitAtItsTurn) {
    box.CopyFromBin("quit_target.exe", "slow.exe");
    box.CopyFromBin("quit_target.exe", "late.exe");
    Process slow = StartTarget("slow.log", "--close-delay 2500", box.Path("slow.exe"));
    box.WriteIni(Settings({{"遅い", box.Path("slow.exe")}, {"後から", box.Path("late.exe")}}));
    AppProcess app(box);
    MainWindow main = app.Main();
    main.Command(ID_ACT_ALLQUIT);
    ASSERT_TRUE(WaitUntil([&] { return !LoggedMessages(box.Path("slow.log")).empty(); }, 10000));
    Process late = StartTarget("late.log", "", box.Path("late.exe"));
    ASSERT_EQ(DestroyTick(box.Path("slow.log")), 0ul) << "the first program went too soon";
    std::vector<AnsweredBox> boxes;
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return main.StatusText() == kDone; }, 15000, boxes, DefaultAnswer));
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_TRUE(late.WaitExit(5000).has_value());
    auto msgs = LoggedMessages(box.Path("late.log"));
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].msg, static_cast<unsigned>(WM_CLOSE));
    unsigned long slowGone = DestroyTick(box.Path("slow.log"));
    unsigned long lateGone = DestroyTick(box.Path("late.log"));
    ASSERT_NE(slowGone, 0ul);
    EXPECT_GE(lateGone, slowGone);
}

TEST_F(QuitAll, ProgramThatNeverClosesIsReportedAfterTheTimeout) {
    Process p = StartTarget("n.log", "--never-close");
    box.WriteIni(Settings({{"頑固", Target()}}));
    AppProcess app(box);
    DWORD shown = QuitAllExpectingOneBox(app, "頑固が終了できませんでした");
    EXPECT_GE(shown, 4900u);
    EXPECT_LT(shown, 9000u);
    EXPECT_TRUE(p.Running());
    std::printf("never-closing target reported after %lu ms\n", static_cast<unsigned long>(shown));
}

TEST_F(QuitAll, RunningProgramWithoutAcceptedWindowsIsReported) {
    Process p = StartTarget("x.log", "--disabled");
    box.WriteIni(Settings({{"無効", Target()}}));
    AppProcess app(box);
    auto boxes = Run(app, ID_ACT_ALLQUIT);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "エラー");
    EXPECT_EQ(boxes[0].text, "無効が見つかりませんでした");
    EXPECT_TRUE(p.Running());
}

TEST_F(QuitAll, CloseAllLeavesIgnoredTitlesAndOwnWindowsAlone) {
    Process keep = StartTarget("keep.log", "--title \"Vako 残す Window\"");
    Process other = StartTarget("other.log", "--title \"Vako Other Window\"");
    box.WriteIni(Settings({}, "AllClose=1\r\n") + "[Ignore]\r\n0=残す\r\n\r\n");
    AppProcess app(box);
    EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
    EXPECT_TRUE(other.WaitExit(5000).has_value());
    // The system menu's close, which the window's default handling turns into WM_CLOSE.
    auto msgs = LoggedMessages(box.Path("other.log"));
    ASSERT_GE(msgs.size(), 1u);
    EXPECT_EQ(CountPerWindow(msgs, WM_SYSCOMMAND).begin()->second, 1);
    EXPECT_EQ(msgs[0].msg, static_cast<unsigned>(WM_SYSCOMMAND));
    EXPECT_EQ(msgs[0].wParam, static_cast<unsigned long>(SC_CLOSE));
    ASSERT_TRUE(MarkLog(FindTopWindow(keep.Id(), "VakoPlainWindow"), box.Path("keep.log")));
    EXPECT_TRUE(MessagesBeforeMarker(box.Path("keep.log")).empty());
    EXPECT_TRUE(keep.Running());
    EXPECT_TRUE(app.Running());
}

TEST_F(QuitAll, QuitSelectedWithNothingSelectedChangesNothing) {
    Process p = StartTarget("q.log", "");
    box.WriteIni(Settings({{"plain", Target()}}));
    AppProcess app(box);
    MainWindow main = app.Main();
    main.Command(ID_ACT_CLOSE);
    // Once the command is handled, a quit would have written its own status text
    // before it posted anything; the status is the selection text still.
    ASSERT_TRUE(main.WaitPostedHandled());
    EXPECT_EQ(main.StatusText(), "1個のアプリケーション");
    ASSERT_TRUE(MarkLog(FindTopWindow(p.Id(), "VakoPlainWindow"), box.Path("q.log")));
    EXPECT_TRUE(MessagesBeforeMarker(box.Path("q.log")).empty());
    EXPECT_TRUE(p.Running());

    main.Select({0});
    auto boxes = Run(app, ID_ACT_CLOSE, "終了処理完了");
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(p.WaitExit(5000).has_value());
}

TEST_F(QuitAll, SixtyFourBitProgramIsFoundAndQuit) {
    box.CopyFromBin("quit_target64.exe");
    Process p = StartTarget("64.log", "", box.Path("quit_target64.exe"));
    box.WriteIni(Settings({{"64bit", box.Path("quit_target64.exe")}}));
    AppProcess app(box);
    EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
    EXPECT_TRUE(p.WaitExit(5000).has_value());
    auto msgs = LoggedMessages(box.Path("64.log"));
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].msg, static_cast<unsigned>(WM_CLOSE));
}

// With QuitAtOnce every program closes while the others do: five that each take a
// second are gone, and the run done, well before the five seconds they need one
// after the other, and the status counts the programs still awaited. One that never
// closes still gets its box after the time-out; one that is not running gets none.
TEST_F(QuitAll, QuitAtOnceWaitsForAllTogetherAndReportsAfterwards) {
    std::vector<Entry> entries{{"不在", box.Path("absent.exe")}};
    std::vector<Process> slow;
    for (int i = 0; i < 5; ++i) {
        std::string exe = "slow" + std::to_string(i) + ".exe";
        box.CopyFromBin("quit_target.exe", exe);
        slow.push_back(
            StartTarget("s" + std::to_string(i) + ".log", "--close-delay 1000", box.Path(exe)));
        entries.emplace_back("遅い" + std::to_string(i), box.Path(exe));
    }
    box.WriteIni(Settings(entries, "QuitAtOnce=1\r\n"));
    {
        AppProcess app(box);
        MainWindow main = app.Main();
        DWORD start = GetTickCount();
        main.Command(ID_ACT_ALLQUIT);
        std::set<std::string> seen;
        std::vector<AnsweredBox> boxes;
        ASSERT_TRUE(WaitAnsweringBoxes(
            app.Id(),
            [&] {
                seen.insert(main.StatusText());
                return main.StatusText() == kDone;
            },
            15000, boxes));
        DWORD done = GetTickCount() - start;
        std::printf("quit at once: five programs closing in 1 s each, done after %lu ms\n",
                    static_cast<unsigned long>(done));
        EXPECT_TRUE(boxes.empty()) << boxes[0].text;
        for (Process& p : slow)
            EXPECT_TRUE(p.WaitExit(1000).has_value());
        EXPECT_LT(done, 3500u);
        EXPECT_TRUE(seen.count("残り5個の終了を待っています"));
        ASSERT_EQ(app.Close(), 0u);
    }

    box.CopyFromBin("quit_target.exe", "stubborn.exe");
    Process stubborn = StartTarget("n.log", "--never-close", box.Path("stubborn.exe"));
    box.Remove("s0.log"); // its first copy's lines
    Process last = StartTarget("s0.log", "--close-delay 1000", box.Path("slow0.exe"));
    std::string ini = Settings({{"不在", box.Path("absent.exe")},
                                {"頑固", box.Path("stubborn.exe")},
                                {"遅い", box.Path("slow0.exe")}},
                               "QuitAtOnce=1\r\n");
    ini.replace(ini.find("QuitTimeout=5"), 13, "QuitTimeout=3");
    box.WriteIni(ini);
    AppProcess app(box);
    app.Main();
    DWORD start = GetTickCount();
    DWORD shown = QuitAllExpectingOneBox(app, "頑固が終了できませんでした");
    EXPECT_GE(shown, 2900u);
    EXPECT_LT(shown, 7000u);
    // The box came after every wait, not before the next request was made.
    unsigned long gone = DestroyTick(box.Path("s0.log"));
    ASSERT_NE(gone, 0ul);
    EXPECT_LT(gone - start, static_cast<unsigned long>(shown));
    EXPECT_TRUE(stubborn.Running());
}

// A 32-bit VakoQuit sees System32 through the redirection to SysWOW64. Run-all of a
// System32 entry starts the 64-bit program the user picked, and quit-all finds a
// program by its file, whichever of the two folders spells it.
TEST_F(QuitAll, System32ProgramsAreFoundWhicheverFolderSpellsThem) {
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "needs a 32-bit build: only a 32-bit program sees System32 redirected";
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    const std::string folder = windows;
    const std::string system32 = folder + "\\system32\\notepad.exe";
    const std::string syswow64 = folder + "\\syswow64\\notepad.exe";
    // What the 64-bit one is called from this 32-bit test.
    const std::string sysnative = folder + "\\Sysnative\\notepad.exe";
    auto lower = [](std::string s) {
        CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
        return s;
    };
    auto waitOneWindow = [](DWORD& pid) {
        return WaitUntil(
            [&] {
                std::vector<DWORD> found = FindProcesses("notepad.exe");
                pid = found.size() == 1 ? found[0] : 0;
                return pid && !TopLevelWindows(pid, true).empty();
            },
            10000);
    };

    box.WriteIni(Settings({Entry("notepad", system32)}) + "Run=1\r\n");
    {
        AppProcess app(box);
        ASSERT_TRUE(app.Main().WaitItemCount(1));
        EXPECT_TRUE(Run(app, ID_ACT_ALLRUN, "ポムッと起動処理完了").empty());
        DWORD started = 0;
        ASSERT_TRUE(waitOneWindow(started));
        EXPECT_EQ(lower(ProcessImagePath(started)), lower(system32)) << "not the 64-bit program";
        EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty());
        EXPECT_TRUE(WaitProcessExit(started, 10000)) << "quit-all passed over what run-all started";
        EXPECT_EQ(app.Close(), 0u);
    }
    const std::pair<std::string, std::string> spellings[] = {{syswow64, sysnative},
                                                             {system32, syswow64}};
    for (const auto& [registered, runs] : spellings) {
        box.WriteIni(Settings({Entry("notepad", registered)}));
        Process target = Process::Start(runs, "", box.Dir());
        DWORD pid = 0;
        ASSERT_TRUE(waitOneWindow(pid)) << runs;
        AppProcess app(box);
        ASSERT_TRUE(app.Main().WaitItemCount(1));
        EXPECT_TRUE(Run(app, ID_ACT_ALLQUIT).empty()) << registered;
        EXPECT_TRUE(target.WaitExit(10000).has_value()) << registered << " did not find " << runs;
        EXPECT_EQ(app.Close(), 0u);
    }
}

// With EndSession a program that only hides its window when asked to close is sent
// what Windows sends at log-off and quits well inside the time-out; with the option
// off it is reported after the time-out. One that refuses WM_QUERYENDSESSION and
// one that does not answer it are reported after the time-out and still run, and
// VakoQuit keeps handling its queue while the silent one sits on the question.
TEST_F(QuitAll, EndSessionQuitsWhatOnlyHidesAndLeavesTheRefusingRunning) {
    box.CopyFromBin("quit_target.exe", "hiding.exe");
    const std::string hidingExe = box.Path("hiding.exe");
    auto withTimeout = [](std::string ini, const char* seconds) {
        return ini.replace(ini.find("QuitTimeout=5"), 13, std::string("QuitTimeout=") + seconds);
    };
    {
        Process hiding = StartTarget("off.log", "--on-close hide", hidingExe);
        box.WriteIni(withTimeout(Settings({{"隠れる", hidingExe}}), "3"));
        AppProcess app(box);
        DWORD shown = QuitAllExpectingOneBox(app, "隠れるが終了できませんでした");
        EXPECT_GE(shown, 2900u);
        EXPECT_TRUE(hiding.Running());
        EXPECT_TRUE(SessionMessages(box.Path("off.log")).empty());
        ASSERT_EQ(app.Close(), 0u);
    }
    {
        Process hiding = StartTarget("on.log", "--on-close hide", hidingExe);
        box.WriteIni(Settings({{"隠れる", hidingExe}}, "EndSession=1\r\n"));
        AppProcess app(box);
        app.Main();
        DWORD start = GetTickCount();
        const std::vector<AnsweredBox> boxes = Run(app, ID_ACT_ALLQUIT, kDone, 15000);
        DWORD done = GetTickCount() - start;
        std::printf("EndSession: the hiding program quit after %lu ms of a 5000 ms time-out\n",
                    static_cast<unsigned long>(done));
        EXPECT_TRUE(boxes.empty()) << boxes[0].text;
        EXPECT_TRUE(hiding.WaitExit(1000).has_value());
        EXPECT_LT(done, 2500u);
        EXPECT_EQ(SessionMessages(box.Path("on.log")),
                  (std::vector<std::string>{"11 0 1", "16 1 1"}));
        ASSERT_EQ(app.Close(), 0u);
    }

    box.CopyFromBin("quit_target.exe", "refusing.exe");
    box.CopyFromBin("quit_target.exe", "silent.exe");
    Process refusing =
        StartTarget("r.log", "--on-close hide --on-query-end refuse", box.Path("refusing.exe"));
    Process silent =
        StartTarget("s.log", "--never-close --on-query-end silent", box.Path("silent.exe"));
    box.WriteIni(
        withTimeout(Settings({{"拒む", box.Path("refusing.exe")}, {"黙る", box.Path("silent.exe")}},
                             "QuitAtOnce=1\r\nEndSession=1\r\n"),
                    "4"));
    AppProcess app(box);
    MainWindow main = app.Main();
    DWORD start = GetTickCount();
    main.Command(ID_ACT_ALLQUIT);
    ASSERT_TRUE(WaitUntil([&] { return !SessionMessages(box.Path("s.log")).empty(); }, 4000));
    DWORD longest = 0;
    while (!FindMessageBox(app.Id()) && GetTickCount() - start < 3700) {
        DWORD asked = GetTickCount();
        ASSERT_TRUE(main.WaitPostedHandled(3000));
        longest = std::max<DWORD>(longest, GetTickCount() - asked);
    }
    std::printf("EndSession: a posted message took at most %lu ms while a program was silent\n",
                static_cast<unsigned long>(longest));
    EXPECT_LT(longest, 1000u) << "VakoQuit's queue stood still while the program was silent";
    ASSERT_NE(FindMessageBox(app.Id(), 10000), nullptr);
    EXPECT_GE(GetTickCount() - start, 3900u);
    std::vector<AnsweredBox> boxes;
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return main.StatusText() == kDone; }, 15000, boxes));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "拒むが終了できませんでした");
    EXPECT_EQ(boxes[1].text, "黙るが終了できませんでした");
    EXPECT_TRUE(refusing.Running());
    EXPECT_TRUE(silent.Running());
    EXPECT_EQ(SessionMessages(box.Path("r.log")), std::vector<std::string>{"11 0 1"});
}

// With WaitDialogs a program that asks "save?" when asked to close is waited for as
// long as its question is open: the question is brought to the front, the status
// names the entry and the time-out stands still. Answered No, the program stays and
// is reported once the rest of the time-out has run out; answered Yes after longer
// than the time-out, it quits without a box. With the option off the box comes
// after the time-out while the question is still open.
TEST_F(QuitAll, WaitDialogsWaitsWhileTheProgramAsksItsUser) {
    box.CopyFromBin("quit_target.exe", "asking.exe");
    const std::string exe = box.Path("asking.exe");
    auto settings = [&](const std::string& extra) {
        std::string ini = Settings({{"尋ねる", exe}}, extra);
        return ini.replace(ini.find("QuitTimeout=5"), 13, "QuitTimeout=2");
    };
    {
        Process asking = StartTarget("off.log", "--on-close ask", exe);
        box.WriteIni(settings(""));
        AppProcess app(box);
        DWORD shown = QuitAllExpectingOneBox(app, "尋ねるが終了できませんでした");
        EXPECT_GE(shown, 1900u);
        EXPECT_LT(shown, 4000u);
        EXPECT_NE(FindMessageBox(asking.Id()), nullptr);
        ASSERT_EQ(app.Close(), 0u);
    }

    Process asking = StartTarget("on.log", "--on-close ask --ask-disabled", exe);
    box.WriteIni(settings("WaitDialogs=1\r\n"));
    AppProcess app(box);
    MainWindow main = app.Main();
    for (int answer : {IDNO, IDYES}) {
        DWORD start = GetTickCount();
        main.Command(ID_ACT_ALLQUIT);
        HWND save = FindMessageBox(asking.Id(), 5000);
        ASSERT_NE(save, nullptr);
        EXPECT_EQ(ReadMessageBox(save).text, "Save changes?");
        // The question is behind another window, as a program in the background has
        // it on Windows, until it can be answered.
        ASSERT_TRUE(WaitUntil(
            [&] {
                SetForegroundWindow(main.Hwnd());
                return GetForegroundWindow() == main.Hwnd();
            },
            2000))
            << Caption(GetForegroundWindow());
        // VakoQuit has taken in its activation before the question can be answered.
        ASSERT_TRUE(main.WaitPostedHandled(3000));
        EnableWindow(save, TRUE);
        EXPECT_TRUE(main.WaitStatus("尋ねるの確認を待っています", 3000)) << main.StatusText();
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == save; }, 3000))
            << Caption(GetForegroundWindow());
        EXPECT_FALSE(WaitUntil([&] { return FindMessageBox(app.Id()) != nullptr; }, 3000))
            << "reported while the program was still asking";
        ASSERT_TRUE(AnswerMessageBox(save, answer));
        DWORD answered = GetTickCount();
        EXPECT_GT(answered - start, 3000u);
        std::vector<AnsweredBox> boxes;
        ASSERT_TRUE(WaitAnsweringBoxes(
            app.Id(), [&] { return main.StatusText() == kDone; }, 10000, boxes));
        if (answer == IDNO) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "尋ねるが終了できませんでした");
            EXPECT_TRUE(asking.Running());
        } else {
            EXPECT_TRUE(boxes.empty()) << boxes[0].text;
            EXPECT_TRUE(asking.WaitExit(3000).has_value());
        }
    }
}

// RunProgram, run-all and run-selected starting real programs; the targets of
// tools/targets/launch report how they were started.
#include "launch/run_procedure.h"
#include "launch/run_rules.h"

#include "launch_test_util.h"

#include <gtest/gtest.h>

using namespace launch_test;
using Events = std::vector<std::string>;

namespace {

class RunProgramReal : public ::testing::Test {
  protected:
    void SetUp() override { out = FreshDir("run reports"); }
    void TearDown() override {
        reaper.EndAll();
        RemoveTree(out);
    }
    std::string OutFile(const std::string& name) { return out + "\\" + name + ".txt"; }
    // An argument that sends a target's report to a file of its own.
    std::string OutArg(const std::string& name) { return "-echo-out \"" + OutFile(name) + "\""; }
    Report Wait(const std::string& name) { return reaper.Add(WaitReport(OutFile(name))); }

    // Starts `e` (waiting until it is ready) with its report sent by VAKO_ECHO_OUT.
    Report Start(const TProgInfo& e, const std::string& name) {
        ScopedEnv env("VAKO_ECHO_OUT", OutFile(name));
        launch::RunProgram(host, e, true);
        return Wait(name);
    }

    // Starts launch_relay, which starts launch_echo through RunProgram with Show 7,
    // with the start-up information given; returns launch_echo's report.
    Report Relayed(const std::string& name, DWORD flags, WORD show) {
        ScopedEnv env("VAKO_ECHO_OUT", OutFile(name));
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = flags;
        si.wShowWindow = show;
        std::string cmd = "\"" + Target("launch_relay") + "\" 7 \"" + Target("launch_echo") + "\"";
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return {};
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(pi.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return Wait(name);
    }

    std::string out;
    RecordingHost host;
    ProcessReaper reaper;
};

} // namespace

TEST_F(RunProgramReal, CommandLineAndFolderAsTheProgramSeesThem) {
    std::string dir = FreshDir("launch space dir");
    std::string spaced = dir + "\\launch_echo.exe";
    ASSERT_TRUE(CopyFileA(Target("launch_echo").c_str(), spaced.c_str(), FALSE));
    std::string plain = Target("launch_echo");
    ASSERT_EQ(plain.find(' '), std::string::npos) << "the build tree must hold no space";

    Report r = Start(Entry("echo", spaced, "-x  \"a b\""), "spaced");
    EXPECT_EQ(r["cmdline"], "\"" + spaced + "\" -x  \"a b\"");
    EXPECT_EQ(Start(Entry("echo", spaced, ""), "spaced_empty")["cmdline"], "\"" + spaced + "\" ");
    Report p = Start(Entry("echo", plain, ""), "plain");
    EXPECT_EQ(p["cmdline"], plain + " ");
    // No Work: CreateProcess is given the program's folder with its backslash; the
    // program sees its current folder without it, except at a drive root.
    EXPECT_EQ(launch::MakeStartRequest(Entry("echo", spaced), 0, 0).Folder, dir + "\\");
    EXPECT_EQ(r["cwd"], dir);
    EXPECT_EQ(p["cwd"], BinDir().substr(0, BinDir().size() - 1));
    TProgInfo e = Entry("echo", plain);
    e.Work = out;
    EXPECT_EQ(Start(e, "work")["cwd"], out);
    e.Work = "C:\\";
    EXPECT_EQ(Start(e, "root")["cwd"], "C:\\");
    EXPECT_EQ(host.events.front(), "status:echoを起動しています");
    reaper.EndAll();
    RemoveTree(dir);
}

TEST_F(RunProgramReal, ShowStatesArePassedWithOnlyTheShowFlag) {
    // Wine 8 deviation: the target's window does not take the state it is given
    // (its "state" stays normal, also under "start /min"); what reaches the new
    // process, its start-up information, is what is checked.
    const int passed[] = {SW_RESTORE, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};
    for (int show = 0; show < 3; ++show) {
        TProgInfo e = Entry("echo", Target("launch_echo"));
        e.Show = show;
        Report r = Start(e, "show" + std::to_string(show));
        EXPECT_EQ(r["flags"], "1") << show;
        EXPECT_EQ(r["show"], std::to_string(passed[show])) << show;
    }
}

TEST_F(RunProgramReal, ShowOutsideTheStatesPassesTheStateWeWereStartedWith) {
    // The other flag of the relay's own start is dropped, its state goes on.
    Report m = Relayed("relay_min", STARTF_USESHOWWINDOW | STARTF_USEPOSITION, SW_SHOWMINIMIZED);
    EXPECT_EQ(m["flags"], "1");
    EXPECT_EQ(m["show"], std::to_string(SW_SHOWMINIMIZED));
    EXPECT_EQ(Relayed("relay_max", STARTF_USESHOWWINDOW, SW_SHOWMAXIMIZED)["show"], "3");
    // A start without a window state leaves 0 (SW_HIDE) in the member; the program
    // must not be started hidden from it.
    Report none = Relayed("relay_none", 0, SW_HIDE);
    EXPECT_EQ(none["flags"], "1");
    EXPECT_EQ(none["show"], std::to_string(SW_SHOWNORMAL));
}

TEST_F(RunProgramReal, EachRunWaitsForAProgramThatNeverBecomesReady) {
    TProgTable table;
    table[0] = Entry("busy", Target("launch_busy"), OutArg("busy") + " -busy-ms 15000");
    table[1] = Entry("echo", Target("launch_echo"), OutArg("after_busy"));
    DWORD start = GetTickCount();
    launch::ActAllRunExecute(host, table, true);
    DWORD took = GetTickCount() - start;
    EXPECT_FALSE(Wait("busy").empty());
    EXPECT_FALSE(Wait("after_busy").empty());
    EXPECT_GE(took, 4500u);
    EXPECT_LE(took, 7000u);
    EXPECT_GE(host.pumps, 20); // the main window was kept answering meanwhile
}

TEST_F(RunProgramReal, NoDelayForAConsoleProgramAReadyOneOrWithoutEachRun) {
    TProgTable table;
    table[0] = Entry("console", Target("launch_console"), OutArg("console"));
    table[1] = Entry("echo", Target("launch_echo"), OutArg("echo"));
    DWORD start = GetTickCount();
    launch::ActAllRunExecute(host, table, true);
    EXPECT_LT(GetTickCount() - start, 1500u);
    // Ready means in its message loop, which it enters after writing its report.
    EXPECT_TRUE(FileThere(OutFile("echo"))) << "returned before the program was ready";
    EXPECT_FALSE(Wait("console").empty());
    EXPECT_FALSE(Wait("echo").empty());

    TProgTable busy;
    busy[0] = Entry("busy", Target("launch_busy"), OutArg("busy_off") + " -busy-ms 15000");
    RecordingHost off;
    start = GetTickCount();
    launch::ActAllRunExecute(off, busy, false);
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_EQ(off.pumps, 0);
    EXPECT_FALSE(Wait("busy_off").empty());
}

TEST_F(RunProgramReal, RunAllStartsBothSidesOfAFreeSlotAndOnlyRunEntries) {
    TProgTable table;
    table[0] = Entry("a", Target("launch_echo"), OutArg("a"));
    table[2] = Entry("b", Target("launch_echo"), OutArg("b"));
    table[3] = Entry("off", Target("launch_echo"), OutArg("off"), false);
    table[4] = Entry("c", Target("launch_echo"), OutArg("c"));
    launch::ActAllRunExecute(host, table, true);
    for (const char* n : {"a", "b", "c"})
        EXPECT_FALSE(Wait(n).empty()) << n;
    // Had slot 3 been started, it would have been ready before slot 4 started.
    EXPECT_FALSE(FileThere(OutFile("off")));
}

TEST_F(RunProgramReal, RunSelectedStartsAnEntryWhoseRunFlagIsOff) {
    TProgInfo off = Entry("off", Target("launch_echo"), OutArg("sel_off"), false);
    launch::ActRunExecute(host, {&off}, true);
    EXPECT_FALSE(Wait("sel_off").empty());
    EXPECT_EQ(host.events,
              (Events{"busy:0", "status:offを起動しています", "busy:1", "status:起動処理完了"}));
}

TEST_F(RunProgramReal, DeletedProgramIsSkippedSilentlyAndCountedInTheCompletionText) {
    std::string gone = out + "\\gone.exe";
    ASSERT_TRUE(CopyFileA(Target("launch_echo").c_str(), gone.c_str(), FALSE));
    ASSERT_TRUE(DeleteFileA(gone.c_str()));
    TProgTable table;
    table[0] = Entry("first", Target("launch_echo"), OutArg("first"));
    table[1] = Entry("gone", gone, OutArg("gone"));
    table[2] = Entry("last", Target("launch_echo"), OutArg("last"));
    launch::ActAllRunExecute(host, table, true);
    EXPECT_FALSE(Wait("first").empty());
    EXPECT_FALSE(Wait("last").empty());
    EXPECT_EQ(
        host.events,
        (Events{"busy:0", "status:firstを起動しています", "status:goneを起動しています",
                "status:lastを起動しています", "busy:1",
                "status:ポムッと起動処理完了（1個のアプリケーションを起動できませんでした）"}));

    // Run-selected counts the same way, whatever order the failures come in.
    TProgInfo first = table[1], second = table[1], fine = table[2];
    fine.Arg = OutArg("fine");
    RecordingHost sel;
    launch::ActRunExecute(sel, {&first, &fine, &second}, false);
    EXPECT_FALSE(Wait("fine").empty());
    EXPECT_EQ(sel.events.back(),
              "status:起動処理完了（2個のアプリケーションを起動できませんでした）");
}

TEST_F(RunProgramReal, RunAllPassesOverWhatTheSkipTestNamesButRunSelectedDoesNot) {
    TProgTable table;
    table[0] = Entry("skipped", Target("launch_echo"), OutArg("skipped"));
    table[1] = Entry("started", Target("launch_echo"), OutArg("started"));
    std::vector<std::string> asked;
    launch::ActAllRunExecute(host, table, true, [&](const TProgInfo& e) {
        asked.push_back(e.Name);
        return e.Name == "skipped";
    });
    EXPECT_FALSE(Wait("started").empty());
    EXPECT_FALSE(FileThere(OutFile("skipped")));
    EXPECT_EQ(asked, (std::vector<std::string>{"skipped", "started"}));
    EXPECT_EQ(host.events, (Events{"busy:0", "status:startedを起動しています", "busy:1",
                                   "status:ポムッと起動処理完了"}));
}

namespace {

// Windows' answer to a direct start of a program whose manifest asks for
// administrator rights.
BOOL WINAPI ElevationRequired(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                              DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION) {
    SetLastError(launch::kErrorElevationRequired);
    return FALSE;
}

// The user answers the consent prompt with No.
BOOL WINAPI ConsentRefused(SHELLEXECUTEINFOA*) {
    SetLastError(ERROR_CANCELLED);
    return FALSE;
}

struct ReplacedStartCalls {
    ReplacedStartCalls() : saved(launch::CurrentStartCalls()) {}
    ~ReplacedStartCalls() { launch::CurrentStartCalls() = saved; }
    launch::StartCalls saved;
};

} // namespace

// A program that needs elevation goes through the shell, with its arguments, folder
// and ready wait; a refused consent counts as not started.
TEST_F(RunProgramReal, AProgramThatNeedsElevationIsStartedThroughTheShell) {
    ReplacedStartCalls restore;
    launch::CurrentStartCalls().createProcess = ElevationRequired;
    TProgInfo e = Entry("admin", Target("launch_echo"), "-x \"a b\" " + OutArg("admin"));
    e.Work = out;
    ASSERT_TRUE(launch::RunProgram(host, e, true));
    Report r = Wait("admin");
    EXPECT_NE(r["cmdline"].find("-x \"a b\""), std::string::npos) << r["cmdline"];
    EXPECT_EQ(r["cwd"], out);

    launch::CurrentStartCalls().shellExecute = ConsentRefused;
    TProgTable table;
    table[0] = Entry("refused", Target("launch_echo"), OutArg("refused"));
    launch::ActAllRunExecute(host, table, false);
    EXPECT_FALSE(FileThere(OutFile("refused")));
    EXPECT_EQ(host.events.back(),
              "status:ポムッと起動処理完了（1個のアプリケーションを起動できませんでした）");
}

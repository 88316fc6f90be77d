#include "core/command_line.h"
#include "app/command_line_step.h"

#include "core/text.h"
#include "launch_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>

using Events = std::vector<std::string>;
using Args = std::vector<std::string>;

TEST(CommandLineGrammar, SwitchesInAnyPositionCaseAndSwitchCharacter) {
    for (const char* q : {"-q", "-Q", "/q", "/Q"}) {
        TCommandLine cl = ParseCommandLine({"VakoQuit.exe", "x", "y", q});
        EXPECT_TRUE(cl.QuitSwitch && !cl.RunSwitch) << q;
    }
    for (const char* r : {"-r", "-R", "/r", "/R"}) {
        TCommandLine cl = ParseCommandLine({"VakoQuit.exe", r});
        EXPECT_TRUE(cl.RunSwitch && !cl.QuitSwitch) << r;
    }
    for (const char* sw : {"-s", "-S", "/s", "/S"}) {
        TCommandLine cl = ParseCommandLine({"VakoQuit.exe", "x", sw});
        EXPECT_TRUE(cl.ShutdownSwitch && !cl.QuitSwitch && !cl.RunSwitch) << sw;
    }
    TCommandLine both = ParseCommandLine({"VakoQuit.exe", "/R", "-q", "C:\\a.exe"});
    EXPECT_TRUE(both.QuitSwitch && both.RunSwitch);
    EXPECT_TRUE(both.HasProgramArg);
    EXPECT_EQ(both.ProgramArg, "C:\\a.exe");
}

// The shell starts the quit-all shortcut with a dropped file as `-q "<file>"`: the
// program is the first argument that is no switch, wherever it stands; a switch
// of another letter is never taken for it.
TEST(CommandLineGrammar, ProgramArgumentIsTheFirstArgumentThatIsNoSwitch) {
    TCommandLine dropped = ParseCommandLine({"VakoQuit.exe", "-q", "C:\\games\\game.exe"});
    EXPECT_TRUE(dropped.QuitSwitch);
    EXPECT_EQ(dropped.ProgramArg, "C:\\games\\game.exe");
    TCommandLine other = ParseCommandLine({"V.exe", "-x", "/Z", "first.exe", "second.exe"});
    EXPECT_EQ(other.ProgramArg, "first.exe");
    EXPECT_FALSE(ParseCommandLine({"V.exe", "-q", "/r", "-s"}).HasProgramArg);
}

TEST(CommandLineGrammar, WordsBareLettersAndArgumentZeroAreNoSwitches) {
    TCommandLine cl = ParseCommandLine({"-q", "-quit", "q", "r", "--q", "-", "", "-qr", " -q",
                                        "-q ", "\\q", "-ｑ", "-x", "s", "-sq", "-shutdown"});
    EXPECT_FALSE(cl.QuitSwitch);
    EXPECT_FALSE(cl.RunSwitch);
    EXPECT_FALSE(cl.ShutdownSwitch);
    EXPECT_TRUE(cl.HasProgramArg);
    EXPECT_EQ(cl.ProgramArg, "-quit");
    EXPECT_FALSE(ParseCommandLine({"VakoQuit.exe"}).HasProgramArg);
    EXPECT_FALSE(ParseCommandLine({}).HasProgramArg);
    // Argument 0 of this very process is its own program.
    std::string self = ProcessArguments().at(0);
    EXPECT_NE(text::LowerAscii(self).find("launch_rules_tests"), std::string::npos) << self;
}

namespace {

// The main window as the step sees it, with shortcuts read from a table.
class FakeHost : public CommandLineHost {
  public:
    explicit FakeHost(Events& events) : events_(events) {}
    std::map<std::string, std::string> shortcuts; // shortcut path -> target
    std::string unreadable;                       // a shortcut whose reading throws
    int quitFailures = 0;                         // what each quit-all could not quit
    int runFailures = 0;                          // what run-all could not start
    bool listRead = true;                         // the settings file's list is loaded
    bool restoreAfter = false;                    // RestoreAfter is on
    int restoreFailures = 0;                      // what the restore could not start
    int exitCode = -1;                            // the code set before the wait

    int RunQuitAll() override {
        events_.push_back("quit");
        return quitFailures;
    }
    int RunRunAll() override {
        events_.push_back("run");
        return runFailures;
    }
    bool ListRead() override { return listRead; }
    void ReportError(const std::string& text) override { events_.push_back("error:" + text); }
    std::string ReadShortcutTarget(const std::string& path) override {
        if (path == unreadable)
            throw std::runtime_error("cannot read");
        return shortcuts.count(path) ? shortcuts[path] : std::string();
    }
    void CloseMainWindow() override { events_.push_back("close"); }
    bool RestoresAfter() override { return restoreAfter; }
    int WaitAndRestore(const std::string& program) override {
        events_.push_back("wait:" + program);
        return restoreFailures;
    }
    void SetExitCode(int code) override { exitCode = code; }

  private:
    Events& events_;
};

// Real file tests, recorded shell opens.
class RecordingFiles : public CommandLineFiles {
  public:
    explicit RecordingFiles(Events& events) : events_(events) {}
    bool FileExists(const std::string& path) override { return SystemFiles().FileExists(path); }
    void ShellOpen(const std::string& file, const std::string& folder) override {
        events_.push_back("open:" + file + "|" + folder);
    }
    void ShutDown() override {
        events_.push_back("shutdown");
        if (refuseShutdown)
            throw std::runtime_error("refused");
    }
    bool refuseShutdown = false;

  private:
    Events& events_;
};

void Touch(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    CloseHandle(f);
}

class CommandLineStep : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = launch_test::FreshDir("cmdline files") + "\\";
        for (const char* f : {"tool.exe", "TOOL2.EXE", "readme.txt", "表示.exe", "good.lnk",
                              "GOOD2.LNK", "gone.lnk", "txt.lnk", "bad.lnk"})
            Touch(dir + f);
        CreateDirectoryA((dir + "dir.exe").c_str(), nullptr);
        host.shortcuts[dir + "good.lnk"] = dir + "tool.exe";
        host.shortcuts[dir + "GOOD2.LNK"] = dir + "TOOL2.EXE";
        host.shortcuts[dir + "gone.lnk"] = dir + "deleted.exe";
        host.shortcuts[dir + "txt.lnk"] = dir + "readme.txt";
        host.unreadable = dir + "bad.lnk";
    }
    void TearDown() override { launch_test::RemoveTree(dir.substr(0, dir.size() - 1)); }

    // Runs the step; the up-front decision must agree with what it did.
    Events Run(const Args& args) {
        events.clear();
        TCommandLine cl = ParseCommandLine(args);
        bool predicted = IsCommandLineRun(cl, host, files);
        EXPECT_TRUE(events.empty()) << "deciding must not act";
        outcome = RunCommandLineStep(cl, host, files);
        const bool closed = outcome.Closed;
        EXPECT_EQ(predicted, closed);
        EXPECT_EQ(closed, std::count(events.begin(), events.end(), "close") > 0);
        return events;
    }
    Events Opened(const std::string& file) { return {"quit", "open:" + file + "|" + dir, "close"}; }

    std::string dir;
    Events events;
    CommandLineOutcome outcome;
    FakeHost host{events};
    RecordingFiles files{events};
};

} // namespace

TEST_F(CommandLineStep, QuitAndRunSwitchesQuitFirstThenClose) {
    EXPECT_EQ(Run({"V.exe", "-q"}), (Events{"quit", "close"}));
    EXPECT_EQ(Run({"V.exe", "/R"}), (Events{"run", "close"}));
    EXPECT_EQ(Run({"V.exe", "-r", "-q"}), (Events{"quit", "run", "close"}));
    EXPECT_EQ(Run({"V.exe", "-quit", "r"}), Events{});
    EXPECT_EQ(Run({"V.exe"}), Events{});
}

// A script that ran the switches learns from the exit code how many programs
// failed, summed over every quit-all and run-all of the step.
TEST_F(CommandLineStep, ExitCodeCountsWhatCouldNotBeQuitOrStarted) {
    Run({"V.exe", "-q"});
    EXPECT_EQ(CommandLineExitCode(outcome), 0);
    host.quitFailures = 2;
    Run({"V.exe", "-q"});
    EXPECT_EQ(CommandLineExitCode(outcome), 2);
    host.runFailures = 1;
    Run({"V.exe", "-q", "-r"});
    EXPECT_EQ(CommandLineExitCode(outcome), 3);
    Run({"V.exe", dir + "tool.exe", "-q"}); // quit-all once
    EXPECT_EQ(CommandLineExitCode(outcome), 2);
    host.quitFailures = 300;
    Run({"V.exe", "-q", "-r"});
    EXPECT_EQ(outcome.NotDone, 301);
    EXPECT_EQ(CommandLineExitCode(outcome), 255);
}

// "-s" quits once, whatever other switch asks for quit-all too, and shuts down only
// when every program quit; it starts nothing, neither run-all nor a program.
TEST_F(CommandLineStep, ShutdownSwitchQuitsOnceAndShutsDownOnlyWhenAllQuit) {
    const Events shutDown{"quit", "shutdown", "close"};
    EXPECT_EQ(Run({"V.exe", "-s"}), shutDown);
    EXPECT_EQ(Run({"V.exe", "-q", "/S"}), shutDown);
    EXPECT_EQ(Run({"V.exe", "-S", "-r"}), shutDown);
    EXPECT_EQ(Run({"V.exe", dir + "tool.exe", "-s"}), shutDown);
    EXPECT_EQ(CommandLineExitCode(outcome), 0);
    host.quitFailures = 1;
    for (const Args& args : {Args{"V.exe", "-s"}, Args{"V.exe", "-q", "-s", "-r"}}) {
        EXPECT_EQ(Run(args), (Events{"quit", "close"}));
        EXPECT_EQ(CommandLineExitCode(outcome), 1);
    }
    // A refusal, and the lack of the user's list (a first start, an unreadable
    // settings file: nothing the user registered was quit), are reported before the
    // window is asked to close, so that the box stays until it is answered.
    host.quitFailures = 0;
    files.refuseShutdown = true;
    EXPECT_EQ(Run({"V.exe", "-s"}), (Events{"quit", "shutdown", "error:refused", "close"}));
    host.listRead = false;
    EXPECT_EQ(
        Run({"V.exe", "-s"}),
        (Events{"quit", "error:終了させるアプリの一覧がないため、シャットダウンしませんでした。",
                "close"}));
    EXPECT_EQ(CommandLineExitCode(outcome), 0);
}

TEST_F(CommandLineStep, ProgramOrShortcutToOneIsOpenedItselfInItsFolderAfterQuitAll) {
    for (const char* f : {"tool.exe", "TOOL2.EXE", "表示.exe", "good.lnk", "GOOD2.LNK"})
        EXPECT_EQ(Run({"V.exe", dir + f}), Opened(dir + f)) << f;
}

TEST_F(CommandLineStep, FilesThatDoNotQualifyLeaveTheWindowOpen) {
    // A shortcut whose target is gone or is no program, no program, no file at
    // all, a folder, nothing; and a program after another argument that is no switch.
    for (const char* f : {"gone.lnk", "txt.lnk", "readme.txt", "missing.exe", "dir.exe"})
        EXPECT_EQ(Run({"V.exe", dir + f}), Events{}) << f;
    EXPECT_EQ(Run({"V.exe", ""}), Events{});
    EXPECT_EQ(Run({"V.exe", "x", dir + "tool.exe"}), Events{});
}

// Dropped on the quit-all shortcut, a program comes after "-q": quit-all runs once,
// then the program starts, as it does without the switch.
TEST_F(CommandLineStep, ProgramArgumentWithTheQuitSwitchRunsQuitAllOnce) {
    for (const char* f : {"tool.exe", "good.lnk"}) {
        EXPECT_EQ(Run({"V.exe", "-q", dir + f}), Opened(dir + f)) << f;
        EXPECT_EQ(Run({"V.exe", dir + f, "/Q"}), Opened(dir + f)) << f;
    }
    Events afterRun = Opened(dir + "tool.exe");
    afterRun.insert(afterRun.begin(), "run");
    EXPECT_EQ(Run({"V.exe", dir + "tool.exe", "-R"}), afterRun);
}

// With RestoreAfter the program is waited for and the record started again
// instead of only being opened, and the window is asked to close only after the
// wait; the exit code is set to what the quit left before the wait, so that
// closing the window meanwhile still reports it, and counts what the restore
// could not start in the end.
TEST_F(CommandLineStep, RestoreAfterWaitsForTheProgramInsteadOfOpeningIt) {
    host.restoreAfter = true;
    host.quitFailures = 2;
    host.restoreFailures = 1;
    EXPECT_EQ(Run({"V.exe", "-q", dir + "good.lnk"}),
              (Events{"quit", "wait:" + dir + "good.lnk", "close"}));
    EXPECT_EQ(host.exitCode, 2);
    EXPECT_EQ(CommandLineExitCode(outcome), 3);
    // Without a program there is nothing to wait for.
    EXPECT_EQ(Run({"V.exe", "-q"}), (Events{"quit", "close"}));
    EXPECT_EQ(Run({"V.exe", dir + "readme.txt"}), Events{});
}

TEST_F(CommandLineStep, ProgramWithoutFolderPartIsOpenedWithoutFolder) {
    char old[MAX_PATH];
    GetCurrentDirectoryA(sizeof old, old);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    Events got = Run({"V.exe", "tool.exe"});
    SetCurrentDirectoryA(old);
    EXPECT_EQ(got, (Events{"quit", "open:tool.exe|", "close"}));
}

TEST_F(CommandLineStep, UnreadableShortcutEndsTheStepAfterTheSwitches) {
    TCommandLine cl = ParseCommandLine({"V.exe", dir + "bad.lnk"});
    EXPECT_FALSE(IsCommandLineRun(cl, host, files)); // the window stays open
    EXPECT_THROW(RunCommandLineStep(cl, host, files), std::runtime_error);
    EXPECT_EQ(events, Events{});

    cl = ParseCommandLine({"V.exe", dir + "bad.lnk", "-q"});
    EXPECT_TRUE(IsCommandLineRun(cl, host, files));
    EXPECT_THROW(RunCommandLineStep(cl, host, files), std::runtime_error);
    EXPECT_EQ(events, (Events{"quit", "close"}));
}

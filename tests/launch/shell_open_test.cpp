// The command-line step with the real shell: a program argument is opened by
// ShellExecuteA in its own folder after quit-all.
#include "app/command_line_step.h"

#include "launch_test_util.h"

#include <gtest/gtest.h>

using namespace launch_test;

namespace {

class ShellHost : public CommandLineHost {
  public:
    std::vector<std::string> events;
    int RunQuitAll() override {
        events.push_back("quit");
        return 0;
    }
    int RunRunAll() override {
        events.push_back("run");
        return 0;
    }
    bool ListRead() override { return true; }
    void ReportError(const std::string& text) override { events.push_back("error:" + text); }
    std::string ReadShortcutTarget(const std::string&) override { return ""; }
    void CloseMainWindow() override { events.push_back("close"); }
    bool RestoresAfter() override { return false; }
    int WaitAndRestore(const std::string&) override { return 0; }
    void SetExitCode(int) override {}
};

} // namespace

TEST(ShellOpenReal, ProgramArgumentIsStartedInItsOwnFolderAfterQuitAll) {
    std::string out = FreshDir("shell reports"), report = out + "\\shell_exe.txt";
    ScopedEnv env("VAKO_ECHO_OUT", report);
    ShellHost host;
    ProcessReaper reaper;
    TCommandLine cl = ParseCommandLine({"VakoQuit.exe", Target("launch_echo")});
    ASSERT_TRUE(IsCommandLineRun(cl, host));
    EXPECT_TRUE(RunCommandLineStep(cl, host).Closed);
    EXPECT_EQ(host.events, (std::vector<std::string>{"quit", "close"}));
    Report r = reaper.Add(WaitReport(report));
    ASSERT_FALSE(r.empty()) << "the shell did not start the program";
    EXPECT_EQ(r["cwd"], BinDir().substr(0, BinDir().size() - 1)); // not the test's own folder
    EXPECT_NE(r["cmdline"].find("launch_echo.exe"), std::string::npos);
    reaper.EndAll();
    RemoveTree(out);
}

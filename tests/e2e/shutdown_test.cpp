// "-s": quit-all, then the shutdown of Windows, only when every program quit.
// Wine's ExitWindowsEx ends the session of the Wine prefix it runs in: every other
// program of that prefix is sent WM_QUERYENDSESSION and WM_ENDSESSION, as Windows
// does before it powers off. This test therefore runs only in a prefix of its own
// (scripts/private-prefix.sh, declared in e2e_tests.cmake), where a witness
// program that nobody registered records the end of the session.
#include "driver/vako_e2e.h"
#include "steps.h"
#include "target_log.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace e2e;

namespace {

// The folder name the script gives the prefix; anywhere else the test refuses to run.
const char kPrivatePrefix[] = "/shutdown-prefix";

bool InPrivatePrefix() {
    char buf[2048] = "";
    const DWORD n = GetEnvironmentVariableA("WINEPREFIX", buf, sizeof buf);
    const size_t len = std::strlen(kPrivatePrefix);
    return n >= len && n < sizeof buf && std::strcmp(buf + n - len, kPrivatePrefix) == 0;
}

std::string Settings(const std::string& name, const std::string& program) {
    return "[Setting]\r\nVersion=0.3\r\nQuitTimeout=1\r\n\r\n" + Entry(0, name, program);
}

} // namespace

// A first start has no list of the user's, so nothing registered was quit: it says
// so and leaves the greeting for the next start. A registered program that only
// hides keeps the machine on: its box comes, the exit code is 1. In both the
// witness is never asked to end. With every program quit,
// the witness is asked (WM_QUERYENDSESSION, then WM_ENDSESSION) after the
// registered program was quit, not by the end of the session.
TEST(Shutdown, OnlyWhenEveryProgramQuit) {
    ASSERT_TRUE(InPrivatePrefix())
        << "run through scripts/private-prefix.sh: the shutdown ends the session of the "
           "prefix it runs in";
    Sandbox box({"quit_target.exe"});
    box.CopyFromBin("quit_target.exe", "witness.exe");
    box.CopyFromBin("quit_target.exe", "hiding.exe");
    const std::string witnessLog = box.Path("witness.log");
    Process witness =
        Process::Start(box.Path("witness.exe"), "--log \"" + witnessLog + "\"", box.Dir());
    ASSERT_TRUE(WaitUntil([&] { return LogHas(witnessLog, "ready"); }, 20000));
    // Wine ends a session through wineboot, started before ExitWindowsEx returns and
    // ended only after the witness answered: with neither there, none was asked.
    auto sessionGoesOn = [&] {
        return FindProcesses("wineboot.exe").empty() && SessionMessages(witnessLog).empty() &&
               witness.Running();
    };

    {
        AppProcess app(box, "-s");
        std::vector<AnsweredBox> boxes;
        EXPECT_TRUE(WaitAnsweringBoxes(
            app.Id(), [&] { return !app.Running(); }, 30000, boxes));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text,
                  "終了させるアプリの一覧がないため、シャットダウンしませんでした。");
        EXPECT_EQ(app.WaitExit(1000), std::optional<DWORD>(0));
        EXPECT_EQ(box.ReadIni().find("Version"), std::string::npos) << box.ReadIni();
        EXPECT_TRUE(sessionGoesOn());
    }
    {
        Process hiding = Process::Start(box.Path("hiding.exe"), "--on-close hide", box.Dir());
        ASSERT_NE(hiding.WaitForWindow("VakoPlainWindow", 10000), nullptr);
        box.WriteIni(Settings("隠れる", box.Path("hiding.exe")));
        AppProcess app(box, "-s");
        std::vector<AnsweredBox> boxes;
        EXPECT_TRUE(WaitAnsweringBoxes(
            app.Id(), [&] { return !app.Running(); }, 30000, boxes));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "隠れるが終了できませんでした");
        EXPECT_EQ(app.WaitExit(1000), std::optional<DWORD>(1));
        EXPECT_TRUE(hiding.Running());
        EXPECT_TRUE(sessionGoesOn());
    }

    const std::string quitLog = box.Path("q.log");
    Process target =
        Process::Start(box.Path("quit_target.exe"), "--log \"" + quitLog + "\"", box.Dir());
    ASSERT_TRUE(WaitUntil([&] { return LogHas(quitLog, "ready"); }, 10000));
    box.WriteIni(Settings("終わる", box.Path("quit_target.exe")));
    AppProcess app(box, "-s");
    ASSERT_TRUE(WaitUntil([&] { return SessionMessages(witnessLog).size() >= 2; }, 30000))
        << "the end of the session did not reach the witness";
    const std::vector<std::string> session = SessionMessages(witnessLog);
    EXPECT_EQ(session[0].substr(0, 3), "11 ") << session[0];   // WM_QUERYENDSESSION
    EXPECT_EQ(session[1].substr(0, 5), "16 1 ") << session[1]; // WM_ENDSESSION(TRUE)
    EXPECT_TRUE(witness.WaitExit(10000).has_value());
    EXPECT_TRUE(target.WaitExit(10000).has_value());
    EXPECT_TRUE(app.WaitExit(10000).has_value()) << "VakoQuit outlived the session";
    EXPECT_TRUE(SessionMessages(quitLog).empty()) << "the registered program was not quit first";
    EXPECT_TRUE(LogHas(quitLog, "msg")) << "the registered program was not asked to close";
}

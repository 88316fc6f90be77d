// RestoreAfter: a program dropped on the quit-all shortcut (VakoQuit started as
// `-q "<program>"`, as the shell starts the shortcut) is started after quit-all and
// waited for, with every process it starts; then what the quit ended comes back.
#include "steps.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

class RestoreAfter : public ::testing::Test {
  protected:
    RestoreAfter() : box({"launch_launcher.exe"}) {
        // The 64-bit notepad's command line is read through the 64-bit helper.
        box.CopyFromBin("VakoHook64.exe");
        box.CopyFromBin("quit_target.exe", "desk.exe");
        box.CopyFromBin("quit_target.exe", "game.exe");
        box.CopyFromBin("quit_target.exe", "other.exe");
        box.WriteFile("desk.txt", "a file the desk had open\r\n");
    }

    // The desk: Wine's 64-bit notepad and a 32-bit program.
    std::string Settings(const std::string& options) const {
        return "[Setting]\r\nVersion=0.3\r\n" + options + "\r\n" +
               Entry(0, "notepad", SystemNotepad(false)) + Entry(1, "desk", box.Path("desk.exe"));
    }

    // Notepad with a file open and the 32-bit program, each with its window shown
    // at a place of the test's.
    void StartDesk() {
        ASSERT_NO_FATAL_FAILURE(StartNotepadAt(box.Path("desk.txt"), box.Dir(), kNotepadPlace));
        Process::Start(box.Path("desk.exe"), "", box.Dir()).Detach();
        ASSERT_TRUE(PlaceWindowAt(ShownWindowOf("desk.exe", "VakoPlainWindow"), kDeskPlace));
    }
    // Both programs came back with the file and where they were.
    static void ExpectDeskAsItWas() {
        ExpectShownAgainAt("notepad.exe", "Notepad", kNotepadPlace, "desk.txt");
        ExpectShownAgainAt("desk.exe", "VakoPlainWindow", kDeskPlace);
    }
    static constexpr RECT kNotepadPlace = {480, 260, 980, 640};
    static constexpr RECT kDeskPlace = {120, 80, 520, 330};
    static std::string DeskCounts() {
        return std::to_string(FindProcesses("notepad.exe").size()) +
               std::to_string(FindProcesses("desk.exe").size());
    }
    // The window of the one running copy of the program `exe`, or null.
    static HWND GameWindow() {
        std::vector<DWORD> games = FindProcesses("game.exe");
        return games.size() == 1 ? FindTopWindow(games[0], "VakoPlainWindow") : nullptr;
    }
    // VakoQuit minimised, saying that it waits for `name`.
    static ::testing::AssertionResult Waits(const MainWindow& main, const std::string& name) {
        if (!main.WaitStatus(name + "の終了を待っています", 15000))
            return ::testing::AssertionFailure() << "status: " << main.StatusText();
        if (!IsIconic(main.Hwnd()))
            return ::testing::AssertionFailure() << "not minimised";
        return ::testing::AssertionSuccess();
    }

    ComScope com; // the shortcut the launcher test drops is written through COM
    Sandbox box;
    EndCopies guard{{"notepad.exe", "desk.exe", "game.exe", "launch_launcher.exe"}};
};

} // namespace

// Dropped on the quit-all shortcut, the game comes after "-q". Both programs of the
// desk quit, the game starts, VakoQuit waits; when the game ends both come back,
// notepad with its file, each where it was, and VakoQuit ends with 0, the record
// spent, though a program that somebody else started meanwhile still runs.
// RunLastQuit is off: RestoreAfter keeps the record by itself.
TEST_F(RestoreAfter, TheDroppedProgramIsWaitedForThenTheQuitProgramsComeBack) {
    box.WriteIni(Settings("RestoreAfter=1\r\n"));
    StartDesk();
    AppProcess app(box, "-q \"" + box.Path("game.exe") + "\"");
    ASSERT_TRUE(WaitUntil([&] { return DeskCounts() == "00" && GameWindow(); }, 30000))
        << DeskCounts();
    ForgetNotepadPlace();
    MainWindow main = app.Main();
    EXPECT_TRUE(Waits(main, "game"));
    EXPECT_EQ(DeskCounts(), "00") << "came back before the game ended";
    // Started by somebody else during the game: not waited for.
    Process other = Process::Start(box.Path("other.exe"), "", box.Dir());
    ASSERT_NE(other.WaitForWindow("VakoPlainWindow", 10000), nullptr);
    Post(GameWindow(), WM_CLOSE);
    EXPECT_TRUE(WaitUntil([&] { return DeskCounts() == "11"; }, 30000))
        << DeskCounts() << " " << (app.Running() ? main.StatusText() : "ended");
    // VakoQuit ends once every window it brought back is in its place.
    EXPECT_EQ(app.WaitExit(30000), std::optional<DWORD>(0));
    ExpectDeskAsItWas();
    const std::string ini = box.ReadIni();
    EXPECT_EQ(ini.find("\r\nLastQuit="), std::string::npos) << ini;
    EXPECT_NE(ini.find("\r\nRestoreAfter=1\r\n"), std::string::npos) << ini;
    EXPECT_TRUE(other.Running());
}

// A launcher that starts the real program and ends at once (here behind a
// shortcut, dropped as well) is followed to that program: the desk comes back
// only when the game ends.
TEST_F(RestoreAfter, ALauncherThatEndsAtOnceIsFollowedToItsProgram) {
    box.WriteIni(Settings("RestoreAfter=1\r\n"));
    StartDesk();
    const std::string lnk = box.Path("ゲーム.lnk");
    MakeShortcut(lnk, box.Path("launch_launcher.exe"), "\"" + box.Path("game.exe") + "\"");
    AppProcess app(box, "-q \"" + lnk + "\"");
    ASSERT_TRUE(WaitUntil(
        [&] {
            return DeskCounts() == "00" && GameWindow() &&
                   FindProcesses("launch_launcher.exe").empty();
        },
        30000))
        << DeskCounts();
    MainWindow main = app.Main();
    // Handled after the launcher ended: a wait for the launcher alone would have
    // started the desk by now.
    ASSERT_TRUE(main.WaitPostedHandled());
    EXPECT_TRUE(Waits(main, "ゲーム"));
    EXPECT_EQ(DeskCounts(), "00") << "came back when the launcher ended";
    Post(GameWindow(), WM_CLOSE);
    EXPECT_TRUE(WaitUntil([&] { return DeskCounts() == "11"; }, 30000)) << DeskCounts();
    EXPECT_EQ(app.WaitExit(30000), std::optional<DWORD>(0));
}

// While VakoQuit waits: a second start only brings its window forward; the
// settings, the record included, are saved when Windows ends the session; closing
// the window ends the wait and keeps the record, which the next "-r" with
// RunLastQuit starts. In the next session ポムッと起動 starts the record at once
// and ends the wait, RunLastQuit off, while the game still runs.
TEST_F(RestoreAfter, ClosingDuringTheWaitKeepsTheRecordAndPomuttoKidouRestoresAtOnce) {
    box.WriteIni(Settings("RunLastQuit=1\r\nRestoreAfter=1\r\n"));
    StartDesk();
    {
        AppProcess app(box, "-q \"" + box.Path("game.exe") + "\"");
        ASSERT_TRUE(WaitUntil([&] { return DeskCounts() == "00" && GameWindow(); }, 30000));
        MainWindow main = app.Main();
        ASSERT_TRUE(Waits(main, "game"));

        AppProcess second(box, "-r");
        EXPECT_EQ(second.WaitExit(15000), std::optional<DWORD>(0));
        EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main.Hwnd()); }, 10000));
        EXPECT_EQ(main.StatusText(), "gameの終了を待っています");
        EXPECT_TRUE(ShotForGuide(main.Hwnd(), "restore_waiting"));

        Send(main.Hwnd(), WM_ENDSESSION, TRUE, 0);
        const std::string saved = box.ReadIni();
        EXPECT_NE(saved.find("\r\nLastQuit=1\r\n"), std::string::npos) << saved;
        EXPECT_EQ(DeskCounts(), "00") << "the second start ran its command line";

        EXPECT_EQ(app.Close(), std::optional<DWORD>(0));
        EXPECT_TRUE(GameWindow());
        EXPECT_EQ(DeskCounts(), "00");
    }
    const std::string kept = box.ReadIni();
    EXPECT_NE(kept.find("[0]\r\nName=notepad"), std::string::npos);
    EXPECT_NE(kept.substr(0, kept.find("[1]")).find("\r\nLastQuit=1\r\n"), std::string::npos)
        << kept;
    EXPECT_NE(kept.substr(kept.find("[1]")).find("\r\nLastQuit=1\r\n"), std::string::npos);
    {
        AppProcess run(box, "-r");
        EXPECT_EQ(run.WaitExit(30000), std::optional<DWORD>(0));
        EXPECT_EQ(DeskCounts(), "11");
    }

    std::string ini = box.ReadIni();
    EXPECT_EQ(ini.find("\r\nLastQuit="), std::string::npos) << ini;
    ini.erase(ini.find("RunLastQuit=1\r\n"), 15);
    box.WriteIni(ini);
    Post(GameWindow(), WM_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return FindProcesses("game.exe").empty(); }, 10000));
    AppProcess app(box, "-q \"" + box.Path("game.exe") + "\"");
    ASSERT_TRUE(WaitUntil([&] { return DeskCounts() == "00" && GameWindow(); }, 30000));
    MainWindow main = app.Main();
    ASSERT_TRUE(Waits(main, "game"));
    main.Command(ID_ACT_ALLRUN);
    EXPECT_TRUE(WaitUntil([&] { return DeskCounts() == "11"; }, 30000)) << DeskCounts();
    EXPECT_EQ(app.WaitExit(30000), std::optional<DWORD>(0));
    EXPECT_TRUE(GameWindow()) << "the game was not to be touched";
}

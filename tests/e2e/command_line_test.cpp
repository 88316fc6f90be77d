// The program started with switches or a program argument, as from its desktop
// shortcuts: it quits or starts the registered programs and ends.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"
#include "report.h"
#include "steps.h"
#include "shell/shortcut_link.h"
#include "target_log.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

class CommandLine : public ::testing::Test {
  protected:
    CommandLine() : box({"quit_target.exe", "launch_echo.exe"}) { CoInitialize(nullptr); }
    ~CommandLine() override {
        // Started by the program, they would outlive the test and hold its output open.
        for (const char* name : {"launch_echo.exe", "echo.exe"}) {
            for (DWORD pid : FindProcesses(name))
                Process::Attach(pid); // ended as the temporary goes
        }
        CoUninitialize();
    }

    std::string Entry(int n, const std::string& name, const std::string& program,
                      const std::string& arg, bool quit, bool run) const {
        return "[" + std::to_string(n) + "]\r\nName=" + name + "\r\nProgram=" + program +
               "\r\nArg=" + arg + "\r\nQuit=" + (quit ? "1" : "0") +
               "\r\nRun=" + (run ? "1" : "0") + "\r\n\r\n";
    }
    std::string EchoArg() const { return "-echo-out \"" + box.Path("echo.txt") + "\""; }

    // A running quit target, registered as entry 0 of `rest`.
    Process StartQuitTarget() {
        Process p = Process::Start(box.Path("quit_target.exe"),
                                   "--log \"" + box.Path("q.log") + "\"", box.Dir());
        EXPECT_TRUE(WaitUntil([&] { return LogHas(box.Path("q.log"), "ready"); }, 10000));
        return p;
    }
    std::string QuitEntry() const {
        return Entry(0, "quit", box.Path("quit_target.exe"), "", true, false);
    }

    // Starts the program with `args` and expects its window to stay open, with no
    // quit-all or run-all run: either would have replaced the selection text in the
    // status bar by then, and would have closed the window.
    void ExpectWindowStays(const std::string& args) {
        AppProcess app(box, args);
        MainWindow main = app.Main();
        ASSERT_TRUE(main.WaitPostedHandled()) << args;
        EXPECT_EQ(main.StatusText(), std::to_string(main.ItemCount()) + "個のアプリケーション")
            << args;
        EXPECT_TRUE(app.Running()) << args;
        EXPECT_EQ(app.Close(), 0u) << args;
    }

    // True when the quit target got nothing before a marker posted now.
    bool QuitTargetUntouched(const Process& target) {
        return MarkLog(FindTopWindow(target.Id(), "VakoPlainWindow"), box.Path("q.log")) &&
               MessagesBeforeMarker(box.Path("q.log")).empty();
    }

    Sandbox box;
};

const char kKnown[] = "[Setting]\r\nVersion=0.3\r\n\r\n";

} // namespace

TEST_F(CommandLine, QuitSwitchInEitherFormQuitsAndEndsWithTheSettingsSaved) {
    for (const char* sw : {"-q", "/Q"}) {
        box.WriteIni(std::string(kKnown) + "; hand comment\r\n" + QuitEntry());
        Process target = StartQuitTarget();
        RunToEnd(box, sw);
        EXPECT_TRUE(target.WaitExit(5000).has_value()) << sw;
        std::string ini = box.ReadIni();
        EXPECT_NE(ini.find("Width=313\r\n"), std::string::npos) << sw;
        EXPECT_EQ(ini.find("hand comment"), std::string::npos) << sw;
        box.Remove("q.log");
    }
}

TEST_F(CommandLine, RunSwitchStartsTheRegisteredPrograms) {
    box.WriteIni(kKnown + Entry(0, "echo", box.Path("launch_echo.exe"), EchoArg(), false, true));
    RunToEnd(box, "-r");
    ASSERT_TRUE(WaitUntil([&] { return box.Exists("echo.txt"); }, 10000));
    auto report = target::ReadReport(box.Path("echo.txt"));
    EXPECT_EQ(report["cmdline"], box.Path("launch_echo.exe") + " " + EchoArg());
}

TEST_F(CommandLine, BothSwitchesQuitFirstThenStart) {
    box.WriteIni(kKnown + Entry(0, "echo", box.Path("launch_echo.exe"), EchoArg(), true, true));
    Process first = Process::Start(box.Path("launch_echo.exe"), EchoArg(), box.Dir());
    ASSERT_TRUE(WaitUntil([&] { return box.Exists("echo.txt"); }, 10000));
    ASSERT_NE(first.WaitForWindow("VakoLaunchEcho", 10000), nullptr);
    box.Remove("echo.txt");
    RunToEnd(box, "-r -q");
    EXPECT_TRUE(first.WaitExit(5000).has_value());
    ASSERT_TRUE(WaitUntil([&] { return box.Exists("echo.txt"); }, 10000));
    auto report = target::ReadReport(box.Path("echo.txt"));
    EXPECT_NE(report["pid"], std::to_string(first.Id()));
    EXPECT_TRUE(IsProcessRunning(std::stoul(report["pid"])));
}

TEST_F(CommandLine, WordsAndBareLettersAreNoSwitches) {
    box.WriteIni(kKnown + QuitEntry());
    Process target = StartQuitTarget();
    ExpectWindowStays("-quit");
    ExpectWindowStays("q");
    EXPECT_TRUE(QuitTargetUntouched(target));
}

TEST_F(CommandLine, ShortcutArgumentQuitsThenOpensTheShortcut) {
    box.WriteIni(kKnown + QuitEntry());
    CreateDirectoryA(box.Path("links").c_str(), nullptr);
    std::string lnk = box.Path("links\\エコー.lnk");
    MakeShortcut(lnk, box.Path("launch_echo.exe"), EchoArg());
    Process target = StartQuitTarget();
    RunToEnd(box, "\"" + lnk + "\"");
    EXPECT_TRUE(target.WaitExit(5000).has_value());
    // The shortcut itself was opened: its own arguments reached the program. Which
    // folder the program starts in is the shell's choice for a shortcut (Wine 8 uses
    // the shortcut's working folder, else the caller's), so it is checked below with
    // a program file.
    ASSERT_TRUE(WaitUntil([&] { return box.Exists("echo.txt"); }, 10000));
    auto report = target::ReadReport(box.Path("echo.txt"));
    EXPECT_NE(report["cmdline"].find(EchoArg()), std::string::npos);
}

// Alone, or after "-q" as the shell starts the quit-all shortcut with a program
// dropped on it: quit-all, then the program starts in its own folder. Last, below a
// folder whose name code page 932 lacks, as when a program of a user named "Jürgen"
// is dropped on the quit-all shortcut: the runtime's 8-bit copy of the argument
// spells a file that does not exist, the whole one is started by its short form.
TEST_F(CommandLine, ProgramArgumentQuitsThenStartsItInItsOwnFolder) {
    CreateDirectoryA(box.Path("表示").c_str(), nullptr);
    const std::wstring exe =
        win::WideFromAnsi(box.CopyFromBin("launch_echo.exe", "表示\\echo.exe"));
    OutsideCodePageFolder jurgen(box, {L"echo.exe"}, "launch_echo.exe");
    struct Run {
        std::wstring args;
        std::string cwd; // the folder the program reports
    };
    const Run runs[] = {{L"\"" + exe + L"\"", box.Path("表示")},
                        {L"-q \"" + exe + L"\"", box.Path("表示")},
                        {L"\"" + jurgen.Path(L"echo.exe") + L"\"", jurgen.ShortPath()}};
    SetEnvironmentVariableA(target::kOutVariable, box.Path("echo.txt").c_str());
    for (const Run& run : runs) {
        box.WriteIni(kKnown + QuitEntry());
        Process target = StartQuitTarget();
        RunToEnd(box, run.args);
        EXPECT_TRUE(target.WaitExit(5000).has_value()) << run.args;
        std::map<std::string, std::string> report;
        ASSERT_TRUE(WaitUntil(
            [&] { return !(report = target::ReadReport(box.Path("echo.txt")))["cwd"].empty(); },
            10000))
            << run.args;
        EXPECT_EQ(report["cwd"], run.cwd) << report["cmdline"];
        box.Remove("echo.txt");
        box.Remove("q.log");
        for (DWORD pid : FindProcesses("echo.exe"))
            Process::Attach(pid);
    }
    SetEnvironmentVariableA(target::kOutVariable, nullptr);
}

TEST_F(CommandLine, ShortcutToAMissingProgramOrATextFileLeavesTheWindowOpen) {
    box.WriteIni(kKnown + QuitEntry());
    std::string gone = box.CopyFromBin("quit_target.exe", "gone.exe");
    std::string lnk = box.Path("gone.lnk");
    MakeShortcut(lnk, gone, "");
    DeleteFileA(gone.c_str());
    box.WriteFile("notes.txt", "text");
    Process target = StartQuitTarget();
    ExpectWindowStays("\"" + lnk + "\"");
    ExpectWindowStays("\"" + box.Path("notes.txt") + "\"");
    ExpectWindowStays("\"" + box.Path("missing.exe") + "\"");
    EXPECT_TRUE(QuitTargetUntouched(target));
}

// An error inside a command ends that command only: the program shows the message
// in its error box and goes on.
TEST_F(CommandLine, UnreadableShortcutIsReportedAndTheWindowStaysOpen) {
    box.WriteIni(kKnown + QuitEntry());
    box.WriteFile("broken.lnk", "this is no shortcut");
    Process target = StartQuitTarget();
    AppProcess app(box, "\"" + box.Path("broken.lnk") + "\"");
    HWND error = FindMessageBox(app.Id(), 10000);
    ASSERT_NE(error, nullptr);
    MessageBoxInfo info = ReadMessageBox(error);
    EXPECT_EQ(info.caption, "エラー");
    EXPECT_EQ(info.text, "Unable to open link file");
    ASSERT_TRUE(AnswerMessageBox(error, IDOK));
    MainWindow main = app.Main();
    main.Select({0});
    EXPECT_TRUE(main.WaitStatus("1個のアプリケーションを選択(終了)"));
    EXPECT_TRUE(QuitTargetUntouched(target));
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(CommandLine, FirstStartFromTheCommandLineLeavesTheGreetingForLater) {
    ASSERT_TRUE(ShellFoldersEmpty());
    RunToEnd(box, "-q");
    EXPECT_EQ(box.ReadIni().find("Version="), std::string::npos);
    AppProcess app(box);
    std::vector<AnsweredBox> boxes;
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return !boxes.empty(); }, 10000, boxes));
    EXPECT_EQ(boxes[0].caption, "謝辞");
}

// With SkipRunning, "-r" passes over a registered program that already runs and
// starts the other, once though it is registered twice; without it every entry
// starts, the running one a second time.
TEST_F(CommandLine, SkipRunningStartsOnlyWhatIsNotRunning) {
    box.CopyFromBin("quit_target.exe", "run1.exe");
    box.CopyFromBin("quit_target.exe", "run2.exe");
    EndCopies guard{{"run1.exe", "run2.exe"}};
    Process running = Process::Start(box.Path("run1.exe"), "", box.Dir());
    ASSERT_NE(running.WaitForWindow("VakoPlainWindow", 10000), nullptr);
    const std::string entries = Entry(0, "one", box.Path("run1.exe"), "", false, true) +
                                Entry(1, "two", box.Path("run2.exe"), "", false, true) +
                                Entry(2, "two again", box.Path("run2.exe"), "", false, true);
    for (bool skip : {true, false}) {
        box.WriteIni(std::string("[Setting]\r\nVersion=0.3\r\n") +
                     (skip ? "SkipRunning=1\r\n" : "") + "\r\n" + entries);
        RunToEnd(box, "-r");
        // Each start was waited for until ready, so every copy runs by now.
        EXPECT_EQ(FindProcesses("run2.exe").size(), skip ? 1u : 2u) << skip;
        EXPECT_EQ(FindProcesses("run1.exe").size(), skip ? 1u : 2u) << skip;
        for (DWORD pid : FindProcesses("run2.exe"))
            Process::Attach(pid);
        for (DWORD pid : FindProcesses("run1.exe")) {
            if (pid != running.Id())
                Process::Attach(pid);
        }
        ASSERT_TRUE(WaitUntil(
            [&] {
                return FindProcesses("run2.exe").empty() && FindProcesses("run1.exe").size() == 1;
            },
            10000));
    }
}

// A program that could not be started is not passed off as a success: the
// completion text counts it, and no box holds up the run.
TEST_F(CommandLine, RunAllCountsTheProgramsThatCouldNotStart) {
    box.WriteIni(kKnown + Entry(0, "gone", box.Path("gone.exe"), "", false, true) +
                 Entry(1, "echo", box.Path("launch_echo.exe"), EchoArg(), false, true));
    AppProcess app(box);
    MainWindow main = app.Main();
    main.Command(ID_ACT_ALLRUN);
    std::vector<AnsweredBox> boxes;
    EXPECT_TRUE(WaitAnsweringBoxes(
        app.Id(),
        [&] {
            return main.StatusText() ==
                   "ポムッと起動処理完了（1個のアプリケーションを起動できませんでした）";
        },
        15000, boxes))
        << main.StatusText();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(WaitUntil([&] { return box.Exists("echo.txt"); }, 10000));
    EXPECT_EQ(app.Close(), 0u);
}

// With RunLastQuit, "-r" starts again exactly what "-q" ended, whatever the run
// marks say, and then run-all is the designed one again; each as it ran: with the
// arguments of its process (a 64-bit notepad with the file it had open, a 32-bit
// program with its own title) and its window where it was. Without the option the
// file gets no record, nothing of what ran, and "-r" starts every entry whose run
// mark is set.
TEST_F(CommandLine, RunLastQuitStartsAgainExactlyWhatTheQuitEnded) {
    const char* const names[] = {"last1.exe", "last2.exe", "last3.exe"};
    for (const char* name : names)
        box.CopyFromBin("quit_target.exe", name);
    EndCopies guard{{names[0], names[1], names[2], "notepad.exe"}};
    // Beside the program, as the zip has it: it reads the 64-bit notepad's arguments.
    box.CopyFromBin("VakoHook64.exe");
    const std::string notepad = SystemNotepad(false);
    box.WriteFile("memo.txt", "the desk\r\n");
    const std::string memoArg = "\"" + box.Path("memo.txt") + "\"";
    const std::string entries = Entry(0, "one", box.Path(names[0]), "", true, true) +
                                Entry(1, "two", box.Path(names[1]), "", true, true) +
                                Entry(2, "three", box.Path(names[2]), "", true, true) +
                                Entry(3, "メモ帳", notepad, "", true, false);
    auto counts = [&] {
        std::string c;
        for (const char* name : {names[0], names[1], names[2], "notepad.exe"})
            c += std::to_string(FindProcesses(name).size());
        return c;
    };
    auto endAll = [&] {
        for (const char* name : {names[0], names[1], names[2], "notepad.exe"}) {
            for (DWORD pid : FindProcesses(name))
                Process::Attach(pid);
        }
        return WaitUntil([&] { return counts() == "0000"; }, 10000);
    };
    // The places the test sets, and the windows that show there again.
    const RECT places[] = {{140, 90, 560, 350}, {520, 300, 1000, 660}};
    for (bool on : {false, true}) {
        box.WriteIni(std::string("[Setting]\r\nVersion=0.3\r\n") + (on ? "RunLastQuit=1\r\n" : "") +
                     "\r\n" + entries);
        for (int i = 0; i < 2; ++i) {
            Process p =
                Process::Start(box.Path(names[i]), i == 0 ? "--title \"場所 1\"" : "", box.Dir());
            ASSERT_NE(p.WaitForWindow("VakoPlainWindow", 10000), nullptr);
            p.Detach();
        }
        ASSERT_TRUE(PlaceWindowAt(ShownWindowOf(names[0], "VakoPlainWindow"), places[0]));
        ASSERT_NO_FATAL_FAILURE(StartNotepadAt(box.Path("memo.txt"), box.Dir(), places[1]));
        RunToEnd(box, "-q");
        EXPECT_TRUE(WaitUntil([&] { return counts() == "0000"; }, 10000)) << on << counts();
        const std::string ini = box.ReadIni();
        if (on) {
            EXPECT_NE(ini.find("Name=one\r\nProgram=" + box.Path(names[0])), std::string::npos);
            const size_t two = ini.find("[1]"), three = ini.find("[2]"), four = ini.find("[3]");
            ASSERT_NE(four, std::string::npos);
            EXPECT_NE(ini.substr(0, two).find("\r\nLastQuit=1\r\nLastArg=--title \"場所 1\"\r\n"
                                              "LastPlace=140,90,560,350,0\r\n"),
                      std::string::npos)
                << ini;
            EXPECT_NE(ini.substr(two, three - two).find("\r\nLastQuit=1\r\n"), std::string::npos);
            EXPECT_EQ(ini.substr(two, three - two).find("\r\nLastArg="), std::string::npos);
            EXPECT_EQ(ini.substr(three, four - three).find("\r\nLast"), std::string::npos) << ini;
            EXPECT_NE(ini.substr(four).find("\r\nLastQuit=1\r\nLastArg=" + memoArg +
                                            "\r\nLastPlace=520,300,1000,660,0\r\n"),
                      std::string::npos)
                << ini;
            ForgetNotepadPlace();
            RunToEnd(box, "-r");
            EXPECT_EQ(counts(), "1101");
            EXPECT_EQ(box.ReadIni().find("\r\nLast"), std::string::npos);
            HWND plain = ShownWindowOf(names[0], "VakoPlainWindow");
            ASSERT_NE(plain, nullptr);
            EXPECT_EQ(Caption(plain), "場所 1");
            EXPECT_TRUE(NearPlace(plain, places[0]));
            ASSERT_NO_FATAL_FAILURE(
                ExpectShownAgainAt("notepad.exe", "Notepad", places[1], "memo.txt"));
            ASSERT_TRUE(endAll());
        } else {
            EXPECT_EQ(ini.find("\r\nLast"), std::string::npos) << ini;
        }
        // The designed run-all: every entry whose run mark is set.
        RunToEnd(box, "-r");
        EXPECT_EQ(counts(), "1110") << on;
        ASSERT_TRUE(endAll());
    }
}

// A command-line run ends with the number of programs it could not quit or start,
// so that the script that ran it is not told success: two programs that never
// close give 2 (after their boxes), a registered program file that is gone gives 1.
TEST_F(CommandLine, ExitCodeCountsWhatCouldNotBeQuitOrStarted) {
    box.CopyFromBin("quit_target.exe", "stay1.exe");
    box.CopyFromBin("quit_target.exe", "stay2.exe");
    EndCopies guard{{"stay1.exe", "stay2.exe"}};
    std::vector<Process> stay;
    for (const char* exe : {"stay1.exe", "stay2.exe"}) {
        stay.push_back(Process::Start(box.Path(exe), "--never-close", box.Dir()));
        ASSERT_NE(stay.back().WaitForWindow("VakoPlainWindow", 10000), nullptr);
    }
    box.WriteIni(std::string("[Setting]\r\nVersion=0.3\r\nQuitTimeout=1\r\n\r\n") +
                 Entry(0, "stay1", box.Path("stay1.exe"), "", true, false) +
                 Entry(1, "stay2", box.Path("stay2.exe"), "", true, false));
    {
        AppProcess app(box, "-q");
        std::vector<AnsweredBox> boxes;
        EXPECT_TRUE(WaitAnsweringBoxes(
            app.Id(), [&] { return !app.Running(); }, 30000, boxes));
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].text, "stay2が終了できませんでした");
        EXPECT_EQ(app.WaitExit(1000), std::optional<DWORD>(2));
    }

    box.WriteIni(kKnown + Entry(0, "gone", box.Path("gone.exe"), "", false, true) +
                 Entry(1, "echo", box.Path("launch_echo.exe"), EchoArg(), false, true));
    AppProcess app(box, "-r");
    std::vector<AnsweredBox> boxes;
    EXPECT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return !app.Running(); }, 30000, boxes));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(app.WaitExit(1000), std::optional<DWORD>(1));
    EXPECT_TRUE(WaitUntil([&] { return box.Exists("echo.txt"); }, 10000));
}

// Run-all and run-selected started from the running program's window (menu command,
// toolbar button, shortcut key), checked by what the started programs report about
// how they were started.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"
#include "report.h"

#include <gtest/gtest.h>

#include <map>

using namespace e2e;

namespace {

const char kAllDone[] = "ポムッと起動処理完了";
const char kSelectedDone[] = "起動処理完了";

struct RunEntry {
    std::string name;
    std::string program;
    std::string arg;
    std::string work;
    int show = 0;
    bool run = true;
};

class RunFromWindow : public ::testing::Test {
  protected:
    ~RunFromWindow() override {
        // Every program the program started goes with the test.
        for (const std::string& name : started_) {
            for (DWORD pid : FindProcesses(name))
                Process::Attach(pid);
        }
    }

    // A copy of launch_echo.exe under `relative`, with arguments that make it report
    // to `report` in the sandbox.
    RunEntry Echo(const std::string& name, const std::string& relative, const std::string& report) {
        std::string folder = text_folder(relative);
        if (!folder.empty())
            CreateDirectoryA(box.Path(folder).c_str(), nullptr);
        RunEntry e;
        e.name = name;
        e.program = box.CopyFromBin("launch_echo.exe", relative);
        e.arg = "-echo-out \"" + box.Path(report) + "\"";
        started_.push_back(relative.substr(folder.size()));
        return e;
    }

    void WriteSettings(const std::vector<RunEntry>& entries, bool eachRun) {
        std::string ini =
            "[Setting]\r\nVersion=0.3\r\nEachRun=" + std::string(eachRun ? "1" : "0") + "\r\n\r\n";
        for (size_t i = 0; i < entries.size(); ++i) {
            const RunEntry& e = entries[i];
            ini += "[" + std::to_string(i) + "]\r\nName=" + e.name + "\r\nProgram=" + e.program +
                   "\r\nWork=" + e.work + "\r\nArg=" + e.arg +
                   "\r\nQuit=0\r\nRun=" + (e.run ? "1" : "0") +
                   "\r\nShow=" + std::to_string(e.show) + "\r\n\r\n";
        }
        box.WriteIni(ini);
    }

    // The report of a started program, once it can be read whole: right after the
    // rename that publishes it, the file can still refuse to be opened.
    std::map<std::string, std::string> Report(const std::string& report) {
        std::map<std::string, std::string> r;
        EXPECT_TRUE(WaitUntil(
            [&] {
                r = target::ReadReport(box.Path(report));
                return r.count("pid") > 0;
            },
            10000))
            << report;
        return r;
    }

    Sandbox box;

  private:
    static std::string text_folder(const std::string& relative) {
        size_t slash = relative.rfind('\\');
        return slash == std::string::npos ? "" : relative.substr(0, slash + 1);
    }
    std::vector<std::string> started_;
};

} // namespace

TEST_F(RunFromWindow, RunAllFromTheMenuStartsEveryRunEntryAsRegistered) {
    CreateDirectoryA(box.Path("作業").c_str(), nullptr);
    RunEntry normal = Echo("通常", "echo_a.exe", "a.txt");
    normal.arg += " -x 1";
    normal.work = box.Path("作業");
    RunEntry off = Echo("起動しない", "echo_b.exe", "b.txt");
    off.run = false;
    RunEntry minimised = Echo("最小化", "空 白\\echo_c.exe", "c.txt");
    minimised.show = 1;
    RunEntry maximised = Echo("最大化", "echo_d.exe", "d.txt");
    maximised.show = 2;
    WriteSettings({normal, off, minimised, maximised}, true);

    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_EQ(main.ItemCount(), 4);
    main.Command(ID_ACT_ALLRUN);
    ASSERT_TRUE(main.WaitStatus(kAllDone, 30000)) << main.StatusText();

    auto a = Report("a.txt");
    EXPECT_EQ(a["cmdline"], normal.program + " " + normal.arg);
    EXPECT_EQ(a["cwd"], box.Path("作業"));
    EXPECT_EQ(a["flags"], "1");
    // The window state as it reaches the program. (Wine 8 does not apply it to the
    // program's first window: its own "state" stays normal, so that is not checked.)
    EXPECT_EQ(a["show"], "9");

    // A path with a blank is quoted; an empty folder is the program's own.
    auto c = Report("c.txt");
    EXPECT_EQ(c["cmdline"], "\"" + minimised.program + "\" " + minimised.arg);
    EXPECT_EQ(c["cwd"], box.Path("空 白"));
    EXPECT_EQ(c["show"], "7");

    auto d = Report("d.txt");
    EXPECT_EQ(d["cwd"], box.Dir().substr(0, box.Dir().size() - 1));
    EXPECT_EQ(d["show"], "3");

    // Each start is over when the completion text shows: a start of the entry
    // without its run flag would have made its process by then.
    EXPECT_TRUE(FindProcesses("echo_b.exe").empty());
    EXPECT_TRUE(app.Running());
}

TEST_F(RunFromWindow, RunSelectedByItsShortcutKeyStartsTheSelectionWhateverItsRunFlag) {
    RunEntry first = Echo("first", "echo_a.exe", "a.txt");
    RunEntry chosen = Echo("chosen", "echo_b.exe", "b.txt");
    chosen.run = false;
    chosen.arg += " \"two words\"";
    WriteSettings({first, chosen}, true);

    AppProcess app(box);
    MainWindow main = app.Main();
    main.Select({1});
    ASSERT_TRUE(main.WaitStatus("1個のアプリケーションを選択"));
    ASSERT_TRUE(FocusWindow(main.Hwnd()));
    SetForegroundWindow(main.Hwnd());
    SendKeys({'R'}, {VK_CONTROL});
    ASSERT_TRUE(main.WaitStatus(kSelectedDone, 30000)) << main.StatusText();

    auto b = Report("b.txt");
    EXPECT_EQ(b["cmdline"], chosen.program + " " + chosen.arg);
    EXPECT_EQ(b["cwd"], box.Dir().substr(0, box.Dir().size() - 1));
    EXPECT_EQ(b["show"], "9");
    EXPECT_TRUE(FindProcesses("echo_a.exe").empty());
}

TEST_F(RunFromWindow, ToolbarRunAllOneAfterAnotherOffAndRunSelectedWithoutSelection) {
    RunEntry one = Echo("one", "echo_a.exe", "a.txt");
    RunEntry two = Echo("two", "echo_b.exe", "b.txt");
    WriteSettings({one, two}, false);

    AppProcess app(box);
    MainWindow main = app.Main();
    // Nothing selected: run-selected starts nothing and leaves the selection text.
    main.Command(ID_ACT_RUN);
    ASSERT_TRUE(main.WaitPostedHandled());
    EXPECT_EQ(main.StatusText(), "2個のアプリケーション");
    EXPECT_TRUE(FindProcesses("echo_a.exe").empty());
    EXPECT_TRUE(FindProcesses("echo_b.exe").empty());

    ToolbarClick(main.Toolbar(), ID_ACT_ALLRUN);
    ASSERT_TRUE(main.WaitStatus(kAllDone, 30000)) << main.StatusText();
    auto a = Report("a.txt");
    auto b = Report("b.txt");
    EXPECT_EQ(a["cmdline"], one.program + " " + one.arg);
    EXPECT_EQ(b["cmdline"], two.program + " " + two.arg);
    EXPECT_NE(a["pid"], b["pid"]);
}

// Adding programs through the open dialog, the Startup import and the first start,
// driven from outside on the real program.
#include "app/command_ids.h"
#include "core/text.h"
#include "dialogs/add_running_form_ids.h"
#include "driver/vako_e2e.h"
#include "steps.h"
#include "shell/shortcut_link.h"
#include "target_log.h"
#include "win/wow64.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using namespace e2e;

namespace {

const char kGreeting[] = "ポムッと終了をダウンロードしていただき、ありがとうございました。\n"
                         "まずスタートアップからアプリを読み込みます";
const char kRefusal[] = "このプログラムを使用することはできません\n";
const char kAddRunningCaption[] = "実行中のアプリから追加";

std::string Lower(std::string s) {
    CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

// The row of the dialog's list that shows `path`; -1 when none does.
int RowOf(const std::vector<std::vector<std::string>>& rows, const std::string& path) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].size() == 3 && Lower(rows[i][2]) == Lower(path))
            return static_cast<int>(i);
    }
    return -1;
}

// Moves the list's focus to `row` and presses Space there, as the user ticks a row.
void SpaceOnRow(HWND list, int row) {
    SendKeys({VK_HOME});
    for (int i = 0; i < row; ++i)
        SendKeys({VK_DOWN});
    ASSERT_TRUE(WaitUntil([&] { return ListItemState(list, row, LVIS_FOCUSED) != 0; }, 5000));
    SendKeys({VK_SPACE});
}

UINT TickOf(HWND list, int row) {
    return ListItemState(list, row, LVIS_STATEIMAGEMASK);
}

class Adding : public ::testing::Test {
  protected:
    Adding() : box({"quit_target.exe"}) { CoInitialize(nullptr); }
    ~Adding() override { CoUninitialize(); }

    Sandbox box;
};

} // namespace

TEST_F(Adding, FirstStartGreetsThenImportsTheStartupFolderWithoutAsking) {
    ASSERT_TRUE(ShellFoldersEmpty());
    StartupShortcuts startup;
    startup.Add("いちばん", box.Path("quit_target.exe"));
    startup.Add("second", box.CopyFromBin("quit_target.exe", "two.exe"));
    {
        AppProcess app(box);
        AnsweredBox greeting = NextBox(app);
        EXPECT_EQ(greeting.caption, "謝辞");
        EXPECT_EQ(greeting.text, kGreeting);
        MainWindow main = app.Main();
        ASSERT_TRUE(WaitUntil([&] { return main.ItemCount() == 2; }, 10000));
        std::vector<std::string> names = main.Names();
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"second", "いちばん"}));
        EXPECT_EQ(main.ItemText(0, 1), "●");
        EXPECT_EQ(main.ItemText(0, 2), "●");
        // No question came after the greeting: a box, shown or still hidden, would
        // exist before the thread got to the marker.
        ASSERT_TRUE(main.WaitPostedHandled());
        EXPECT_EQ(FindTopWindow(app.Id(), "#32770"), nullptr);
        ASSERT_EQ(app.Close(), 0u);
    }
    EXPECT_NE(box.ReadIni().find("Version=0.3\r\n"), std::string::npos);
    AppProcess again(box);
    MainWindow main = again.Main();
    EXPECT_EQ(main.ItemCount(), 2);
    // A greeting is due at the first activation, before the marker is handled.
    ASSERT_TRUE(main.WaitPostedHandled());
    EXPECT_EQ(FindTopWindow(again.Id(), "#32770"), nullptr);
}

// Programs below a folder whose name code page 932 lacks reach the list by every
// other door too: the Startup import (a shortcut that names its program whole), the
// open dialog (the name typed whole) and a chosen shortcut. Each is kept by its short
// form and shown by its name. Wine deviates from Windows here: its shortcut keeps the
// target only as the code page spells it and IShellLinkW::GetPath answers the best
// fit ("Jurgen"); the item ID list holds the name whole, as Windows' GetPath does.
TEST_F(Adding, ProgramsInAFolderTheCodePageLacksArriveThroughStartupOpenDialogAndShortcut) {
    ASSERT_TRUE(ShellFoldersEmpty());
    OutsideCodePageFolder jurgen(box, {L"one.exe", L"two.exe", L"three.exe"});
    StartupShortcuts startup;
    startup.AddWide("from startup", jurgen.Path(L"one.exe"), jurgen.folder);
    const std::string lnk = box.Path("three.lnk");
    MakeWideShortcut(lnk, jurgen.Path(L"three.exe"), jurgen.folder);
    {
        AppProcess app(box);
        EXPECT_EQ(NextBox(app).caption, "謝辞");
        MainWindow main = app.Main();
        ASSERT_TRUE(WaitUntil([&] { return main.ItemCount() == 1; }, 10000));
        ChooseInOpenDialog(app, jurgen.Path(L"two.exe"));
        ASSERT_TRUE(WaitUntil([&] { return main.ItemCount() == 2; }, 5000));
        ChooseInOpenDialog(app, lnk);
        ASSERT_TRUE(WaitUntil([&] { return main.ItemCount() == 3; }, 5000));
        EXPECT_EQ(main.Names(), (std::vector<std::string>{"from startup", "two", "three"}));
        ASSERT_TRUE(main.WaitPostedHandled());
        EXPECT_EQ(FindTopWindow(app.Id(), "#32770"), nullptr);
        ASSERT_EQ(app.Close(), 0u);
    }
    const std::string ini = box.ReadIni();
    for (const std::string& line :
         {"Program=" + jurgen.ShortPath(L"one.exe"), "Program=" + jurgen.ShortPath(L"two.exe"),
          "Program=" + jurgen.ShortPath(L"three.exe"), "Work=" + jurgen.ShortPath()})
        EXPECT_NE(ini.find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n" << ini;
}

TEST_F(Adding, RefusesItselfRegisteredProgramsAndExplorer) {
    box.CopyFromBin("quit_target.exe", "registered.exe");
    std::string registered = box.Path("registered.exe");
    box.WriteIni(Known("[0]\r\nName=reg\r\nProgram=" + registered + "\r\n\r\n"));
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(box.Dir().c_str(), shortPath, sizeof shortPath);
    std::string upper = registered;
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    std::string lnk = box.Path("登録済み.lnk");
    MakeShortcut(lnk, registered, "", box.Dir());
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);

    AppProcess app(box);
    for (const std::string& path : {box.ExePath(), upper, std::string(shortPath) + "REGIST~1.EXE",
                                    std::string(windows) + "\\EXPLORER.EXE", lnk}) {
        ChooseInOpenDialog(app, path);
        AnsweredBox refusal = NextBox(app);
        EXPECT_EQ(refusal.caption, "エラー") << path;
        EXPECT_EQ(refusal.text, kRefusal + path) << path;
    }
    EXPECT_EQ(app.Main().ItemCount(), 1);
}

TEST_F(Adding, ShortcutGivesItsNameArgumentsAndFolderAndTakesTheFreedSlot) {
    std::string a = box.CopyFromBin("quit_target.exe", "a.exe");
    std::string b = box.CopyFromBin("quit_target.exe", "b.exe");
    std::string c = box.CopyFromBin("quit_target.exe", "c.exe");
    box.WriteIni(Known("[0]\r\nName=a\r\nProgram=" + a +
                       "\r\nQuit=1\r\n\r\n[1]\r\nName=b\r\n"
                       "Program=" +
                       b + "\r\nQuit=1\r\n\r\n"));
    std::string lnk = box.Path("シーの近道.lnk");
    MakeShortcut(lnk, c, "--title \"from shortcut\"", box.Dir());

    AppProcess app(box);
    MainWindow main = app.Main();
    main.Select({0});
    ASSERT_EQ(DeleteSelected(app, main, IDYES).caption, "確認");
    ASSERT_TRUE(WaitUntil([&] { return main.ItemCount() == 1; }, 5000));
    ChooseInOpenDialog(app, lnk);
    ASSERT_TRUE(WaitUntil([&] { return main.ItemCount() == 2; }, 5000));
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"b", "シーの近道"}));

    // Quit-all walks the slots: the new entry sits in the freed first slot.
    Process pb = Process::Start(b, "--log \"" + box.Path("b.log") + "\"", box.Dir());
    Process pc = Process::Start(c, "--log \"" + box.Path("c.log") + "\"", box.Dir());
    ASSERT_TRUE(WaitUntil(
        [&] { return LogHas(box.Path("b.log"), "ready") && LogHas(box.Path("c.log"), "ready"); },
        10000));
    main.Command(ID_ACT_ALLQUIT);
    ASSERT_TRUE(main.WaitStatus("ポムッと終了処理完了", 20000));
    ASSERT_TRUE(pb.WaitExit(5000).has_value() && pc.WaitExit(5000).has_value());
    EXPECT_LT(DestroyTick(box.Path("c.log")), DestroyTick(box.Path("b.log")));

    ASSERT_EQ(app.Close(), 0u);
    std::string ini = box.ReadIni();
    std::string section = ini.substr(ini.find("[1]\r\n"));
    for (const std::string& line : std::vector<std::string>{
             "Name=シーの近道", "Program=" + c, "Work=" + box.Dir(),
             "Arg=--title \"from shortcut\"", std::string("Quit=1"), std::string("Run=1"),
             std::string("Show=0"), std::string("QuitType=0")})
        EXPECT_NE(section.find("\r\n" + line + "\r\n"), std::string::npos) << line;
}

TEST_F(Adding, AnsweringNoToTheImportQuestionKeepsEveryEntry) {
    StartupShortcuts startup;
    startup.Add("from startup", box.Path("quit_target.exe"));
    box.WriteIni(Known("[0]\r\nName=mine\r\nProgram=C:\\mine.exe\r\n\r\n[1]\r\nName=also\r\n"
                       "Program=C:\\also.exe\r\n\r\n"));
    AppProcess app(box);
    MainWindow main = app.Main();
    main.Command(ID_ACT_STARTUPREAD);
    std::vector<AnsweredBox> boxes;
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return !boxes.empty(); }, 10000, boxes,
        [](const MessageBoxInfo&) { return IDNO; }));
    EXPECT_EQ(boxes[0].caption, "確認");
    EXPECT_EQ(boxes[0].text, "すべての項目を破棄してスタートアップからアプリを読み込みます。\n"
                             "よろしいですか？");
    ASSERT_TRUE(main.WaitPostedHandled());
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"mine", "also"}));

    main.Command(ID_ACT_STARTUPREAD);
    boxes.clear();
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return !boxes.empty(); }, 10000, boxes,
        [](const MessageBoxInfo&) { return IDYES; }));
    ASSERT_TRUE(WaitUntil([&] { return main.ItemCount() == 1; }, 5000));
    EXPECT_EQ(main.ItemText(0), "from startup");
}

TEST_F(Adding, AboutBoxShowsTheProductVersion) {
    box.WriteIni(Known());
    AppProcess app(box);
    app.Main().Command(ID_ACT_VERSION);
    AnsweredBox about = NextBox(app);
    EXPECT_EQ(about.caption, "バージョン情報");
    EXPECT_EQ(about.text.substr(0, about.text.find('\n')), "ポムッと終了 ver0.3");
}

// With a 64-bit program, a 32-bit one and a tray program without a visible window
// running, all three are offered by name and path, the registered one as such; two
// ticked by keyboard are registered in the order shown, the tray program although it
// ended after it was listed: registering needs its file, not its process.
TEST_F(Adding, RunningProgramsAreOfferedAndTheTickedOnesRegistered) {
    const std::string note64 = InstallUserProgram(kUserNote64, "quit_target64.exe");
    const std::string viewer = InstallUserProgram(kUserViewer, "quit_target.exe");
    const std::string tray = InstallUserProgram(kUserTrayClock, "quit_target.exe");
    box.WriteIni(Known(App(0, "Sora Viewer", viewer)));
    Process p64 =
        Process::Start(note64, "--log \"" + box.Path("n.log") + "\" --title \"Kumo Note\"");
    Process p32 =
        Process::Start(viewer, "--log \"" + box.Path("v.log") + "\" --title \"Sora Viewer\"");
    Process pTray = Process::Start(tray, "--log \"" + box.Path("t.log") + "\" --mode resident");
    // Wine's 64-bit notepad lies in the Windows folder, shown only on request. This
    // 32-bit test reaches it through Sysnative; the dialog must show its real path.
    const std::string notepadPath = SystemNotepad(false);
    Process notepad = Process::Start(SystemNotepad(true));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return LogHas(box.Path("n.log"), "ready") && LogHas(box.Path("v.log"), "ready") &&
                   LogHas(box.Path("t.log"), "ready") && FindTopWindow(notepad.Id(), nullptr);
        },
        10000));
    EXPECT_TRUE(pTray.TopWindows(true).empty());
    EXPECT_EQ(win::IsNative64Process(notepad.Handle()), win::RunsUnderWow64());

    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(1));
    ASSERT_TRUE(FocusWindow(main.Hwnd()));
    SendKeys({'A'}, {VK_CONTROL, VK_SHIFT});
    HWND dlg = FindDialog(app.Id(), kAddRunningCaption, 10000);
    ASSERT_NE(dlg, nullptr);
    HWND list = GetDlgItem(dlg, IDC_RUN_LIST);
    std::vector<std::vector<std::string>> rows = ListRows(list);
    const int rowNote = RowOf(rows, note64);
    const int rowViewer = RowOf(rows, viewer);
    const int rowTray = RowOf(rows, tray);
    ASSERT_GE(rowNote, 0);
    ASSERT_GE(rowViewer, 0);
    ASSERT_GE(rowTray, 0);
    EXPECT_EQ(rows[rowNote][0], "KumoNote");
    EXPECT_EQ(rows[rowViewer][0], "SoraViewer");
    EXPECT_EQ(rows[rowTray][0], "TrayClock");
    EXPECT_LT(rowNote, rowViewer);
    EXPECT_LT(rowViewer, rowTray);
    EXPECT_EQ(rows[rowViewer][1], "登録済み");
    EXPECT_EQ(rows[rowNote][1], "");
    EXPECT_EQ(RowOf(rows, box.ExePath()), -1);
    for (const auto& row : rows) {
        EXPECT_NE(Lower(text::FileNamePart(row[2])), "vakoquit.exe") << row[2];
        EXPECT_NE(Lower(text::FileNamePart(row[2])), "notepad.exe") << row[2];
    }
    EXPECT_TRUE(KeyboardOrderHolds(dlg));
    // The list has the keyboard from the start.
    ASSERT_TRUE(FocusWindow(dlg));
    SpaceOnRow(list, rowNote);
    ASSERT_TRUE(WaitUntil([&] { return TickOf(list, rowNote) == INDEXTOSTATEIMAGEMASK(2); }, 5000));

    // The Windows folder's programs on request: notepad, never the shell; a tick stays.
    HWND windowsBox = GetDlgItem(dlg, IDC_RUN_WINDOWS);
    auto hasNotepad = [&] {
        for (const auto& row : ListRows(list)) {
            if (Lower(text::FileNamePart(row[2])) == "notepad.exe")
                return true;
        }
        return false;
    };
    Post(windowsBox, BM_CLICK);
    ASSERT_TRUE(WaitUntil(hasNotepad, 5000));
    const std::vector<std::vector<std::string>> all = ListRows(list);
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_NE(Lower(text::FileNamePart(all[i][2])), "explorer.exe");
        // Notepad shows its icon.
        if (Lower(text::FileNamePart(all[i][2])) == "notepad.exe") {
            EXPECT_EQ(Lower(all[i][2]), Lower(notepadPath));
            EXPECT_GE(ListItemImage(list, static_cast<int>(i)), 0);
        }
    }
    // So does the 64-bit program, read from this 32-bit one.
    EXPECT_GE(ListItemImage(list, RowOf(all, note64)), 0);
    Post(windowsBox, BM_CLICK);
    ASSERT_TRUE(WaitUntil([&] { return !hasNotepad(); }, 5000));
    ASSERT_EQ(ListRows(list), rows);
    EXPECT_EQ(TickOf(list, rowNote), INDEXTOSTATEIMAGEMASK(2));

    // Keyboard alone: back from the check box to the list, Space ticks; the
    // registered row takes no tick.
    ASSERT_TRUE(FocusWindow(dlg));
    SendKeys({VK_TAB}, {VK_SHIFT});
    SpaceOnRow(list, rowViewer);
    SpaceOnRow(list, rowTray);
    ASSERT_TRUE(WaitUntil([&] { return TickOf(list, rowTray) == INDEXTOSTATEIMAGEMASK(2); }, 5000));
    EXPECT_EQ(TickOf(list, rowNote), INDEXTOSTATEIMAGEMASK(2));
    ASSERT_TRUE(main.WaitPostedHandled());
    EXPECT_EQ(TickOf(list, rowViewer), 0u);
    EXPECT_TRUE(ShotForGuide(dlg, "add_running_dialog"));

    pTray.Terminate();
    ASSERT_TRUE(pTray.WaitExit(5000).has_value());
    SendKeys({VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
    ASSERT_TRUE(main.WaitItemCount(3));
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"Sora Viewer", "KumoNote", "TrayClock"}));
    EXPECT_EQ(main.Selected(), (std::vector<int>{1}));
    EXPECT_EQ(FindMessageBox(app.Id()), nullptr);

    // Opened again, the program just registered is offered no more; Esc leaves.
    ASSERT_TRUE(FocusWindow(main.Hwnd()));
    SendKeys({'A'}, {VK_CONTROL, VK_SHIFT});
    dlg = FindDialog(app.Id(), kAddRunningCaption, 10000);
    ASSERT_NE(dlg, nullptr);
    list = GetDlgItem(dlg, IDC_RUN_LIST);
    rows = ListRows(list);
    ASSERT_GE(RowOf(rows, note64), 0);
    EXPECT_EQ(rows[RowOf(rows, note64)][1], "登録済み");
    EXPECT_EQ(RowOf(rows, tray), -1);
    ASSERT_TRUE(FocusWindow(dlg));
    SendKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
    ASSERT_TRUE(main.WaitPostedHandled());
    EXPECT_EQ(main.ItemCount(), 3);
    ASSERT_EQ(app.Close(), 0u);

    const std::string ini = box.ReadIni();
    const size_t one = ini.find("[1]\r\n");
    const size_t two = ini.find("[2]\r\n");
    ASSERT_NE(one, std::string::npos);
    ASSERT_NE(two, std::string::npos);
    const std::string first = ini.substr(one, two - one);
    const std::string second = ini.substr(two);
    EXPECT_NE(first.find("\r\nName=KumoNote\r\n"), std::string::npos) << first;
    EXPECT_NE(Lower(first).find(Lower("\r\nProgram=" + note64 + "\r\n")), std::string::npos)
        << first;
    EXPECT_NE(second.find("\r\nName=TrayClock\r\n"), std::string::npos) << second;
    EXPECT_NE(Lower(second).find(Lower("\r\nProgram=" + tray + "\r\n")), std::string::npos)
        << second;
    EXPECT_NE(second.find("\r\nQuit=1\r\nRun=1\r\n"), std::string::npos) << second;
}

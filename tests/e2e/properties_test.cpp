// The properties dialog and the capture of a quit command, with the real program,
// a real target program and the settings file.
#include "app/command_ids.h"
#include "capture/command_form_ids.h"
#include "dialogs/prop_form_ids.h"
#include "driver/vako_e2e.h"
#include "target_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

using namespace e2e;

namespace {

const char kPropCaption[] = "登録アプリのプロパティ";
const char kCaptureCaption[] = "終了コマンド取得";
const char kName[] = "ターゲット";
const char kNoCommandCaptured[] =
    "終了コマンドを取得できませんでした。\n別の方法で終了させてみてください。\n"
    "または、終了させるためのコマンドパラメータが存在しないかどうか調べてみてください。";
// The target's menu item "E&xit" carries this identifier.
const char kQuitCommand[] = "C:00009C41,C:VakoPlainWindow";

struct Fields {
    std::string name = kName;
    std::string program;
    std::string work;
    std::string arg;
    std::string quitCom;
    std::string quitArg;
    bool quit = true;
    bool run = false;
    int quitType = 0;
    int show = 0;
};

std::string Section(int n, const Fields& f) {
    return "[" + std::to_string(n) + "]\r\nName=" + f.name + "\r\nProgram=" + f.program +
           "\r\nWork=" + f.work + "\r\nArg=" + f.arg + "\r\nQuitCom=" + f.quitCom +
           "\r\nQuitArg=" + f.quitArg + "\r\nQuit=" + (f.quit ? "1" : "0") +
           "\r\nRun=" + (f.run ? "1" : "0") + "\r\nShow=" + std::to_string(f.show) +
           "\r\nQuitType=" + std::to_string(f.quitType) + "\r\n\r\n";
}

std::string Settings(const std::vector<Fields>& entries) {
    std::string ini = "[Setting]\r\nVersion=0.3\r\nQuitTimeout=5\r\n\r\n";
    for (size_t i = 0; i < entries.size(); ++i)
        ini += Section(static_cast<int>(i), entries[i]);
    return ini;
}

// The keys of one numbered section of the settings file, as written.
std::map<std::string, std::string> SectionKeys(const std::string& ini, int n) {
    std::map<std::string, std::string> keys;
    std::string head = "[" + std::to_string(n) + "]";
    size_t at = ini.find(head);
    if (at == std::string::npos)
        return keys;
    size_t end = ini.find("\r\n[", at + head.size());
    std::istringstream in(ini.substr(
        at + head.size(), end == std::string::npos ? std::string::npos : end - at - head.size()));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

bool IsChecked(HWND dlg, int id) {
    return Send(GetDlgItem(dlg, id), BM_GETCHECK) == BST_CHECKED;
}

void Click(HWND dlg, int id) {
    Post(GetDlgItem(dlg, id), BM_CLICK);
}

class Properties : public ::testing::Test {
  protected:
    Properties() : box({"quit_target.exe"}), target_(box.Path("quit_target.exe")) {}

    std::string Target() const { return target_; }
    // The target from where a user's programs lie, for the guide's pictures.
    void TargetWhereAUserHasIt() { target_ = InstallUserProgram(kUserTarget, "quit_target.exe"); }
    Fields Entry() const {
        Fields f;
        f.program = Target();
        return f;
    }

    // The target: one window of class VakoPlainWindow with a menu whose "Exit"
    // quits it a second after the command arrived, so that the capture dialog's
    // string stays readable for a while.
    Process StartTarget(const std::string& log) {
        Process p =
            Process::Start(Target(),
                           "--log \"" + box.Path(log) +
                               "\" --mode plain --menu --quit-command 9C41 --close-delay 1000",
                           box.Dir());
        EXPECT_TRUE(WaitUntil([&] { return LogHas(box.Path(log), "ready"); }, 10000));
        return p;
    }

    // Once the list shows `count` entries, selects `items` and opens the properties
    // by the action's command; null when the list or the dialog did not come.
    HWND OpenProperties(AppProcess& app, int count = 1, const std::vector<int>& items = {0}) {
        MainWindow main = app.Main();
        if (!main.WaitItemCount(count))
            return nullptr;
        main.Select(items);
        main.Command(ID_ACT_PROPERTY);
        return FindDialog(app.Id(), kPropCaption, 5000);
    }

    // Clicks "終了コマンドを指定" and answers the question with `answer`.
    MessageBoxInfo ChooseQuitCommand(AppProcess& app, HWND dlg, int answer) {
        Click(dlg, IDC_PROP_QUITCOMMAND);
        HWND question = FindMessageBox(app.Id(), 5000);
        if (!question)
            return {};
        MessageBoxInfo info = ReadMessageBox(question);
        EXPECT_TRUE(AnswerMessageBox(question, answer));
        return info;
    }

    // Chooses capturing and says yes: the capture dialog, or null when it did not come.
    HWND StartCapture(AppProcess& app, HWND dlg) {
        if (ChooseQuitCommand(app, dlg, IDYES).caption != "確認")
            return nullptr;
        return FindDialog(app.Id(), kCaptureCaption, 5000);
    }
    // Opens the first entry's properties into `dlg` and starts capturing there.
    HWND OpenCapture(AppProcess& app, HWND& dlg) {
        dlg = OpenProperties(app);
        return dlg ? StartCapture(app, dlg) : nullptr;
    }

    // Checks and answers the error box that says no command came; false when none came.
    bool AnswerNoCommandBox(AppProcess& app) {
        HWND error = FindMessageBox(app.Id(), 10000);
        if (!error)
            return false;
        MessageBoxInfo info = ReadMessageBox(error);
        EXPECT_EQ(info.caption, "エラー");
        EXPECT_EQ(info.text, kNoCommandCaptured);
        return AnswerMessageBox(error, IDOK);
    }

    // Ends the dialog with OK or Cancel and waits until it is gone.
    bool Finish(HWND dlg, int button) {
        Click(dlg, button);
        return WaitUntil([&] { return !IsWindow(dlg); }, 5000);
    }

    Sandbox box;
    std::string target_;
};

TEST_F(Properties, CapturesTheQuitCommandFromTheTargetsMenuAndQuitAllReplaysIt) {
    TargetWhereAUserHasIt();
    box.WriteIni(Settings({Entry()}));
    Process target = StartTarget("capture.log");
    HWND targetWnd = target.WaitForWindow("VakoPlainWindow", 5000);
    ASSERT_NE(targetWnd, nullptr);
    {
        AppProcess app(box);
        MainWindow main = app.Main();
        ASSERT_TRUE(main.WaitItemCount(1));
        main.Select({0});
        // Alt+Enter opens the properties, as the user opens them.
        ASSERT_TRUE(FocusWindow(main.Hwnd()));
        SendKeys({VK_RETURN}, {VK_MENU});
        HWND dlg = FindDialog(app.Id(), kPropCaption, 5000);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_NAMELABEL)), kName);
        EXPECT_TRUE(IsChecked(dlg, IDC_PROP_QUITNORMAL));
        EXPECT_TRUE(ShotForGuide(dlg, "properties_dialog"));
        EXPECT_TRUE(KeyboardOrderHolds(dlg));

        MessageBoxInfo question = ChooseQuitCommand(app, dlg, IDYES);
        EXPECT_EQ(question.caption, "確認");
        EXPECT_EQ(question.text, "終了コマンドを取得しますか？");
        HWND capture = FindDialog(app.Id(), kCaptureCaption, 5000);
        ASSERT_NE(capture, nullptr);
        HWND panel = GetDlgItem(capture, IDC_CMD_MESSAGEPANEL);
        EXPECT_EQ(WindowText(GetDlgItem(capture, IDC_CMD_PROGLABEL)), kName);
        EXPECT_EQ(WindowText(panel), "アプリを終了させれば自動的に閉じます。");
        EXPECT_TRUE(ShotForGuide(capture, "capture_dialog_waiting"));

        // The user quits the target from its own menu, by keyboard.
        // Wine does not hand the activation to the target from the X focus alone while
        // the program's capture dialog is active; asked first, it takes the focus. On a
        // busy machine the key can still reach the window before Wine has moved the
        // focus to it, so a menu that has not opened is asked for once more.
        const auto menuOpened = [&] {
            SetForegroundWindow(targetWnd);
            return FocusWindow(targetWnd) &&
                   RunHostProgram("xdotool", "key alt+f") == std::optional<DWORD>(0) &&
                   WaitUntil([&] { return FindTopWindow(target.Id(), "#32768") != nullptr; }, 2500);
        };
        ASSERT_TRUE(menuOpened() || menuOpened()) << "the target's menu did not open";
        ASSERT_EQ(RunHostProgram("xdotool", "key x"), std::optional<DWORD>(0));

        // The capture dialog shows the string while the target takes the command.
        bool shown =
            WaitUntil([&] { return IsWindow(panel) && WindowText(panel) == kQuitCommand; }, 5000);
        EXPECT_TRUE(shown) << (IsWindow(panel) ? WindowText(panel) : "(closed)");
        if (shown) {
            EXPECT_TRUE(ShotForGuide(capture, "capture_dialog"));
        }
        EXPECT_TRUE(target.WaitExit(10000).has_value()) << "the command was not passed on";
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(capture); }, 5000))
            << "the capture dialog did not close by itself";
        EXPECT_EQ(FindMessageBox(app.Id()), nullptr);
        EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_COMMANDEDIT)), kQuitCommand);
        EXPECT_TRUE(IsChecked(dlg, IDC_PROP_QUITCOMMAND));
        ASSERT_TRUE(Finish(dlg, IDOK));
        ASSERT_TRUE(app.Close().has_value());
    }
    // The target took the command once: the hooked delivery was neutralised.
    int commands = 0;
    for (const LoggedMessage& m : LoggedMessages(box.Path("capture.log")))
        commands += m.msg == WM_COMMAND && m.wParam == 0x9C41;
    EXPECT_EQ(commands, 1);
    auto keys = SectionKeys(box.ReadIni(), 0);
    EXPECT_EQ(keys["QuitCom"], kQuitCommand);
    EXPECT_EQ(keys["QuitType"], "1");

    // Quit-all quits the target again by replaying the command.
    Process again = StartTarget("replay.log");
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(1));
    main.Command(ID_ACT_ALLQUIT);
    std::vector<AnsweredBox> boxes;
    EXPECT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return main.StatusText() == "ポムッと終了処理完了"; }, 20000, boxes));
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(again.WaitExit(10000).has_value());
    bool replayed = false;
    for (const LoggedMessage& m : LoggedMessages(box.Path("replay.log"))) {
        replayed |= m.msg == WM_COMMAND && m.wParam == 0x9C41;
        EXPECT_NE(m.msg, static_cast<unsigned>(WM_CLOSE));
    }
    EXPECT_TRUE(replayed);
}

// The hook's report may arrive while a modal loop of the system runs in VakoQuit
// (here the capture dialog's system menu is open): it still reaches the capture,
// which shows the command and passes it on, instead of being dropped after the hook
// had already taken the command from the target.
TEST_F(Properties, ACommandReportedWhileTheSystemMenuIsOpenIsCaptured) {
    box.WriteIni(Settings({Entry()}));
    Process target = StartTarget("menu.log");
    HWND targetWnd = target.WaitForWindow("VakoPlainWindow", 5000);
    ASSERT_NE(targetWnd, nullptr);
    AppProcess app(box);
    HWND dlg = nullptr;
    HWND capture = OpenCapture(app, dlg);
    ASSERT_NE(capture, nullptr);
    HWND panel = GetDlgItem(capture, IDC_CMD_MESSAGEPANEL);
    ASSERT_TRUE(PostMessageA(capture, WM_SYSCOMMAND, SC_KEYMENU, ' '));
    ASSERT_TRUE(WaitUntil([&] { return FindTopWindow(app.Id(), "#32768") != nullptr; }, 5000))
        << "the capture dialog's system menu did not open";
    // The target's own "Exit" command, as its menu posts it.
    ASSERT_TRUE(PostMessageA(targetWnd, WM_COMMAND, 0x9C41, 0));
    EXPECT_TRUE(
        WaitUntil([&] { return IsWindow(panel) && WindowText(panel) == kQuitCommand; }, 5000))
        << (IsWindow(panel) ? WindowText(panel) : "(closed)");
    EXPECT_TRUE(target.WaitExit(10000).has_value()) << "the command was not passed on";
    // The menu goes as any modal loop does when its owner cancels it.
    PostMessageA(capture, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(capture); }, 10000));
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_COMMANDEDIT)), kQuitCommand);
    ASSERT_TRUE(Finish(dlg, IDCANCEL));
    ASSERT_TRUE(app.Close().has_value());
}

TEST_F(Properties, ANotRunningProgramIsRefusedUntilItRunsAndAbortKeepsNoResult) {
    Fields f = Entry();
    box.WriteIni(Settings({f}));
    AppProcess app(box);
    HWND dlg = OpenProperties(app);
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(ChooseQuitCommand(app, dlg, IDYES).text, "終了コマンドを取得しますか？");
    HWND error = FindMessageBox(app.Id(), 5000);
    ASSERT_NE(error, nullptr);
    MessageBoxInfo info = ReadMessageBox(error);
    EXPECT_EQ(info.caption, "エラー");
    EXPECT_EQ(info.text, std::string(kName) + "を起動してから実行してください");
    ASSERT_TRUE(AnswerMessageBox(error, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(dlg, IDC_PROP_QUITNORMAL); }, 5000));
    EXPECT_FALSE(IsChecked(dlg, IDC_PROP_QUITCOMMAND));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_PROP_QUITCOMMANDBUTTON)));

    // Started as the message asks, the program can be captured without reopening.
    Process target = StartTarget("abort.log");
    ASSERT_EQ(ChooseQuitCommand(app, dlg, IDYES).caption, "確認");
    HWND capture = FindDialog(app.Id(), kCaptureCaption, 5000);
    ASSERT_NE(capture, nullptr);
    // A command is captured and passed on (this one does not quit the target) ...
    HWND targetWnd = target.WaitForWindow("VakoPlainWindow", 5000);
    Post(targetWnd, WM_COMMAND, 0x0005);
    HWND panel = GetDlgItem(capture, IDC_CMD_MESSAGEPANEL);
    ASSERT_TRUE(
        WaitUntil([&] { return WindowText(panel) == "C:00000005,C:VakoPlainWindow"; }, 5000));
    // ... and thrown away by the abort button.
    Click(capture, IDC_CMD_ABORT);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(capture); }, 5000));
    EXPECT_TRUE(target.Running());
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_COMMANDEDIT)), "");
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(dlg, IDC_PROP_QUITNORMAL); }, 5000));
    ASSERT_TRUE(Finish(dlg, IDOK));
    ASSERT_TRUE(app.Close().has_value());
    auto keys = SectionKeys(box.ReadIni(), 0);
    EXPECT_EQ(keys["QuitType"], "0");
    EXPECT_EQ(keys["QuitCom"], "");
}

TEST_F(Properties, ATargetEndingWithoutACommandShowsTheErrorAndCancelKeepsTheOldCommand) {
    Fields f = Entry();
    f.quitType = 1;
    f.quitCom = "C:00001234,C:Old";
    box.WriteIni(Settings({f}));
    Process target = StartTarget("nocommand.log");
    AppProcess app(box);
    HWND dlg = OpenProperties(app);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(IsChecked(dlg, IDC_PROP_QUITCOMMAND));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_PROP_QUITCOMMANDBUTTON)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_PROP_PARAMETEREDIT)));

    // The target closes by WM_CLOSE, which is no command.
    Click(dlg, IDC_PROP_QUITCOMMANDBUTTON);
    HWND capture = FindDialog(app.Id(), kCaptureCaption, 5000);
    ASSERT_NE(capture, nullptr);
    Post(target.WaitForWindow("VakoPlainWindow", 5000), WM_CLOSE);
    ASSERT_TRUE(AnswerNoCommandBox(app));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(capture); }, 5000));
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_COMMANDEDIT)), "C:00001234,C:Old");
    EXPECT_TRUE(IsChecked(dlg, IDC_PROP_QUITCOMMAND)) << "an earlier command keeps its type";

    // A capture that succeeds, then Cancel: the old command stays.
    Process second = StartTarget("cancel.log");
    Click(dlg, IDC_PROP_QUITCOMMANDBUTTON);
    capture = FindDialog(app.Id(), kCaptureCaption, 5000);
    ASSERT_NE(capture, nullptr);
    Post(second.WaitForWindow("VakoPlainWindow", 5000), WM_COMMAND, 0x9C41);
    EXPECT_TRUE(second.WaitExit(10000).has_value());
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(capture); }, 5000));
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_COMMANDEDIT)), kQuitCommand);
    ASSERT_TRUE(Finish(dlg, IDCANCEL));
    ASSERT_TRUE(app.Close().has_value());
    auto keys = SectionKeys(box.ReadIni(), 0);
    EXPECT_EQ(keys["QuitCom"], "C:00001234,C:Old");
    EXPECT_EQ(keys["QuitType"], "1");
}

TEST_F(Properties, AHandEditedQuitTypeThreeChecksNoButtonAndStays) {
    Fields f = Entry();
    f.quitType = 3;
    box.WriteIni(Settings({f}));
    AppProcess app(box);
    HWND dlg = OpenProperties(app);
    ASSERT_NE(dlg, nullptr);
    for (int id : {IDC_PROP_QUITNORMAL, IDC_PROP_QUITCOMMAND, IDC_PROP_QUITPARAMETER})
        EXPECT_FALSE(IsChecked(dlg, id)) << id;
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_PROP_PARAMETEREDIT)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_PROP_QUITCOMMANDBUTTON)));
    // With every control enabled, Tab visits them all from top to bottom.
    std::vector<int> order;
    HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
    for (HWND c = first; c && order.size() < 30;) {
        order.push_back(GetDlgCtrlID(c));
        c = GetNextDlgTabItem(dlg, c, FALSE);
        if (c == first)
            break;
    }
    EXPECT_EQ(order,
              (std::vector<int>{IDC_PROP_QUITCHECK, IDC_PROP_QUITNORMAL, IDC_PROP_QUITCOMMAND,
                                IDC_PROP_QUITCOMMANDBUTTON, IDC_PROP_COMMANDEDIT,
                                IDC_PROP_QUITPARAMETER, IDC_PROP_PARAMETEREDIT, IDC_PROP_RUNCHECK,
                                IDC_PROP_ARGUMENTSEDIT, IDC_PROP_WORKDIREDIT,
                                IDC_PROP_WORKDIRBUTTON, IDC_PROP_SHOWCMDCOMBO, IDOK, IDCANCEL}));
    // Enter is OK.
    ASSERT_TRUE(FocusWindow(dlg));
    SendKeys({VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
    ASSERT_TRUE(app.Close().has_value());
    EXPECT_EQ(SectionKeys(box.ReadIni(), 0)["QuitType"], "3");
}

TEST_F(Properties, OnlyTheFirstOfSeveralSelectedEntriesIsEdited) {
    Fields one = Entry();
    one.name = "一番";
    Fields two = Entry();
    two.name = "二番";
    two.program = box.Path("other.exe");
    box.WriteIni(Settings({one, two}));
    AppProcess app(box);
    HWND dlg = OpenProperties(app, 2, {0, 1});
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_NAMELABEL)), "一番");
    SetText(GetDlgItem(dlg, IDC_PROP_ARGUMENTSEDIT), "-changed");
    // Esc is Cancel; then the same change again, confirmed.
    ASSERT_TRUE(FocusWindow(dlg));
    SendKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
    dlg = OpenProperties(app, 2, {0, 1});
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_ARGUMENTSEDIT)), "") << "Cancel kept nothing";
    SetText(GetDlgItem(dlg, IDC_PROP_ARGUMENTSEDIT), "-changed");
    ASSERT_TRUE(Finish(dlg, IDOK));
    ASSERT_TRUE(app.Close().has_value());
    std::string ini = box.ReadIni();
    EXPECT_EQ(SectionKeys(ini, 0)["Arg"], "-changed");
    EXPECT_EQ(SectionKeys(ini, 0)["Name"], "一番");
    EXPECT_EQ(SectionKeys(ini, 1)["Arg"], "");
}

TEST_F(Properties, EveryFieldShowsAndRoundTripsThroughOk) {
    Fields f = Entry();
    f.work = "C:\\作業\\表示";
    f.arg = "/a \"b c\"";
    f.quitArg = "-quit";
    f.quitCom = "S:0000F060,T:Setup";
    f.quit = true;
    f.run = false;
    f.quitType = 2;
    f.show = 1;
    box.WriteIni(Settings({f}));
    AppProcess app(box);
    HWND dlg = OpenProperties(app);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_NAMELABEL)), kName);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_PROGLABEL)), f.program);
    EXPECT_TRUE(IsChecked(dlg, IDC_PROP_QUITCHECK));
    EXPECT_FALSE(IsChecked(dlg, IDC_PROP_RUNCHECK));
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_ARGUMENTSEDIT)), f.arg);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_WORKDIREDIT)), f.work);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_PARAMETEREDIT)), f.quitArg);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_COMMANDEDIT)), f.quitCom);
    EXPECT_TRUE(IsChecked(dlg, IDC_PROP_QUITPARAMETER));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_PROP_PARAMETEREDIT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_PROP_QUITCOMMANDBUTTON)));
    HWND combo = GetDlgItem(dlg, IDC_PROP_SHOWCMDCOMBO);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 1);
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 3);

    // Every field changed as the user changes it.
    Click(dlg, IDC_PROP_QUITCHECK);
    Click(dlg, IDC_PROP_RUNCHECK);
    SetText(GetDlgItem(dlg, IDC_PROP_ARGUMENTSEDIT), "-x 1");
    SetText(GetDlgItem(dlg, IDC_PROP_WORKDIREDIT), "D:\\新しい");
    SetText(GetDlgItem(dlg, IDC_PROP_PARAMETEREDIT), "/close");
    Send(combo, CB_SETCURSEL, 2);
    Send(dlg, WM_COMMAND, MAKEWPARAM(IDC_PROP_SHOWCMDCOMBO, CBN_SELCHANGE),
         reinterpret_cast<LPARAM>(combo));
    Click(dlg, IDC_PROP_QUITNORMAL);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(dlg, IDC_PROP_QUITNORMAL); }, 5000));
    EXPECT_FALSE(IsChecked(dlg, IDC_PROP_QUITPARAMETER));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_PROP_PARAMETEREDIT)));
    ASSERT_TRUE(Finish(dlg, IDOK));
    MainWindow main = app.Main();
    EXPECT_EQ(main.ItemText(0, 1), "") << "the list shows the changed quit mark";
    EXPECT_EQ(main.ItemText(0, 2), "●");
    ASSERT_TRUE(app.Close().has_value());
    auto keys = SectionKeys(box.ReadIni(), 0);
    EXPECT_EQ(keys["Name"], kName);
    EXPECT_EQ(keys["Program"], f.program);
    EXPECT_EQ(keys["Quit"], "0");
    EXPECT_EQ(keys["Run"], "1");
    EXPECT_EQ(keys["Arg"], "-x 1");
    EXPECT_EQ(keys["Work"], "D:\\新しい");
    EXPECT_EQ(keys["QuitArg"], "/close");
    EXPECT_EQ(keys["QuitCom"], f.quitCom);
    EXPECT_EQ(keys["QuitType"], "0");
    EXPECT_EQ(keys["Show"], "2");
}

// Whether the target's log shows `msg` with `wParam` as the program received it.
bool TargetGot(const std::string& log, unsigned msg, unsigned long wParam) {
    for (const LoggedMessage& m : LoggedMessages(log)) {
        if (m.msg == msg && m.wParam == wParam)
            return true;
    }
    return false;
}

// VakoQuit killed while its hook sits in the target: the target's commands reach it
// again, it quits from its own menu command, and the settings file is untouched.
TEST_F(Properties, KillingTheProgramDuringACaptureLeavesTheTargetWorking) {
    const std::string ini = Settings({Entry()});
    box.WriteIni(ini);
    Process target = StartTarget("killed.log");
    HWND targetWnd = target.WaitForWindow("VakoPlainWindow", 5000);
    ASSERT_NE(targetWnd, nullptr);
    AppProcess app(box);
    HWND dlg = nullptr;
    HWND capture = OpenCapture(app, dlg);
    ASSERT_NE(capture, nullptr);
    // The hook is in: a command is captured.
    Post(targetWnd, WM_COMMAND, 0x0005);
    HWND panel = GetDlgItem(capture, IDC_CMD_MESSAGEPANEL);
    ASSERT_TRUE(
        WaitUntil([&] { return WindowText(panel) == "C:00000005,C:VakoPlainWindow"; }, 5000));

    ASSERT_TRUE(TerminateProcess(app.Handle(), 1));
    ASSERT_EQ(WaitForSingleObject(app.Handle(), 10000), WAIT_OBJECT_0);
    Post(targetWnd, WM_COMMAND, 0x0006);
    EXPECT_TRUE(WaitUntil([&] { return TargetGot(box.Path("killed.log"), WM_COMMAND, 6); }, 10000))
        << "the command did not reach the target";
    EXPECT_FALSE(TargetGot(box.Path("killed.log"), WM_NULL, 6)) << "the dead program's hook ate it";
    Post(targetWnd, WM_COMMAND, 0x9C41);
    EXPECT_EQ(target.WaitExit(10000), std::optional<DWORD>(0));
    EXPECT_EQ(box.ReadIni(), ini);
}

// The target killed while the capture dialog waits for its command: the dialog says
// that no command came and closes, and nothing is stored.
TEST_F(Properties, KillingTheTargetDuringACaptureShowsTheErrorAndStoresNothing) {
    box.WriteIni(Settings({Entry()}));
    Process target = StartTarget("victim.log");
    AppProcess app(box);
    HWND dlg = nullptr;
    HWND capture = OpenCapture(app, dlg);
    ASSERT_NE(capture, nullptr);

    target.Terminate();
    ASSERT_TRUE(AnswerNoCommandBox(app));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(capture); }, 5000));
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_PROP_COMMANDEDIT)), "");
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(dlg, IDC_PROP_QUITNORMAL); }, 5000));
    ASSERT_TRUE(Finish(dlg, IDOK));
    ASSERT_TRUE(app.Close().has_value());
    auto keys = SectionKeys(box.ReadIni(), 0);
    EXPECT_EQ(keys["QuitType"], "0");
    EXPECT_EQ(keys["QuitCom"], "");
}

} // namespace

// The options dialog of the real program: the options and the ignore list go
// through the dialog into the settings file and back, the add dialog offers the
// other programs' windows, and the three desktop shortcuts start the program with
// their hot keys.
#include "app/command_ids.h"
#include "dialogs/add_list_form_ids.h"
#include "dialogs/option_form_ids.h"
#include "driver/vako_e2e.h"
#include "steps.h"
#include "support.h"
#include "target_log.h"

#include <shlobj.h>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char kOptionsCaption[] = "ポムッと終了 オプション";
const char kAddCaption[] = "無視するウィンドウに追加";
const char kTargetTitle[] = "Vako 無視の候補";

class Options : public ::testing::Test {
  protected:
    Options() : box({"quit_target.exe"}) { CoInitialize(nullptr); }
    ~Options() override { CoUninitialize(); }

    HWND OpenOptions(AppProcess& app) {
        MainWindow main = app.Main();
        main.Command(ID_ACT_OPTION);
        return FindDialog(app.Id(), kOptionsCaption, 5000);
    }
    static HWND Control(HWND dlg, int id) { return GetDlgItem(dlg, id); }
    static bool Checked(HWND dlg, int id) {
        return Send(Control(dlg, id), BM_GETCHECK) == BST_CHECKED;
    }
    static void Click(HWND dlg, int id) { Send(Control(dlg, id), BM_CLICK); }
    // Wine hands only the first character of an ANSI item text across processes;
    // the wide text comes whole and is converted here.
    static std::vector<std::string> Items(HWND list, bool combo = false) {
        std::vector<std::string> items;
        const LRESULT n = Send(list, combo ? CB_GETCOUNT : LB_GETCOUNT);
        for (LRESULT i = 0; i < n; ++i) {
            wchar_t wide[512] = L"";
            DWORD_PTR got = 0;
            if (!SendMessageTimeoutW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i,
                                     reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG,
                                     kSendTimeoutMs, &got))
                throw DriverError("no answer to the item text");
            char buf[1024] = "";
            WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
            items.push_back(buf);
        }
        return items;
    }
    // Ctrl+Tab through the real keyboard, until the page showing `id` is up.
    static bool NextPageUntil(HWND dlg, int id) {
        return WaitUntil(
            [&] {
                if (IsWindowVisible(Control(dlg, id)))
                    return true;
                FocusWindow(dlg);
                SendKeys({VK_TAB}, {VK_CONTROL});
                return WaitUntil([&] { return IsWindowVisible(Control(dlg, id)) != FALSE; }, 500);
            },
            8000, 50);
    }
    static bool Gone(HWND w) {
        return WaitUntil([&] { return !IsWindow(w); }, 5000);
    }
    Process StartTarget() {
        Process p = Process::Start(box.Path("quit_target.exe"),
                                   std::string("--title \"") + kTargetTitle + "\"", box.Dir());
        EXPECT_NE(p.WaitForWindow("VakoPlainWindow", 10000), nullptr);
        return p;
    }

    Sandbox box;
};

// What the add dialog must offer, read independently in this process: the titles of
// the visible, enabled, framed, non-tool top-level windows of other processes than
// `own`, in Z-order.
struct TitleWalk {
    DWORD own;
    std::vector<std::string> titles;
};

BOOL CALLBACK CollectTitle(HWND w, LPARAM lp) {
    auto* walk = reinterpret_cast<TitleWalk*>(lp);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    const LONG ex = GetWindowLongA(w, GWL_EXSTYLE);
    if ((style & WS_VISIBLE) && IsWindowEnabled(w) && (style & WS_CAPTION) &&
        !(ex & WS_EX_TOOLWINDOW) && WindowProcessId(w) != walk->own)
        walk->titles.push_back(Caption(w));
    return TRUE;
}

std::vector<std::string> ExpectedTitles(DWORD own) {
    TitleWalk walk{own, {}};
    EnumWindows(CollectTitle, reinterpret_cast<LPARAM>(&walk));
    return walk.titles;
}

} // namespace

TEST_F(Options, OkStoresTheOptionsAndTheIgnoreListCancelChangesNothing) {
    Process target = StartTarget();
    box.WriteIni("[Setting]\r\nQuitTimeout=0\r\nAllClose=0\r\nEachRun=1\r\nVersion=0.3\r\n\r\n"
                 "[Ignore]\r\n0=keep\r\n\r\n");
    {
        AppProcess app(box);
        HWND dlg = OpenOptions(app);
        ASSERT_NE(dlg, nullptr);
        EXPECT_TRUE(ShotForGuide(dlg, "options_general"));
        EXPECT_TRUE(KeyboardOrderHolds(dlg));
        EXPECT_EQ(WindowText(Control(dlg, IDC_OPT_TIMEOUT)), "1");
        for (int id : {IDC_OPT_IGNORELIST, IDC_OPT_ADD, IDC_OPT_DELETE})
            EXPECT_FALSE(IsWindowEnabled(Control(dlg, id))) << id;
        EXPECT_EQ(Items(Control(dlg, IDC_OPT_IGNORELIST)), std::vector<std::string>{"keep"});
        // Changed, then cancelled.
        ASSERT_TRUE(NextPageUntil(dlg, IDC_OPT_ALLCLOSE));
        Click(dlg, IDC_OPT_ALLCLOSE);
        SetText(Control(dlg, IDC_OPT_TIMEOUT), "30");
        Click(dlg, IDCANCEL);
        ASSERT_TRUE(Gone(dlg));
        EXPECT_EQ(app.Close(), 0u);
    }
    std::string ini = box.ReadIni();
    EXPECT_NE(ini.find("QuitTimeout=0\r\nAllClose=0\r\nEachRun=1\r\n"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("QuitAtOnce"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[Ignore]\r\n0=keep\r\n\r\n"), std::string::npos) << ini;

    {
        AppProcess app(box);
        HWND dlg = OpenOptions(app);
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(NextPageUntil(dlg, IDC_OPT_ALLCLOSE));
        Click(dlg, IDC_OPT_ALLCLOSE);
        for (int id : {IDC_OPT_IGNORELIST, IDC_OPT_ADD, IDC_OPT_DELETE})
            EXPECT_TRUE(IsWindowEnabled(Control(dlg, id))) << id;
        Click(dlg, IDC_OPT_QUITATONCE);
        Click(dlg, IDC_OPT_ENDSESSION);
        SetText(Control(dlg, IDC_OPT_TIMEOUT), "99");

        // The add dialog, three times: the target's title picked twice, then OK with
        // nothing chosen, which adds nothing.
        for (int round = 0; round < 3; ++round) {
            std::vector<std::string> expected = ExpectedTitles(app.Id());
            Post(Control(dlg, IDC_OPT_ADD), BM_CLICK);
            HWND add = FindDialog(app.Id(), kAddCaption, 5000);
            ASSERT_NE(add, nullptr);
            HWND combo = Control(add, IDC_ADD_NAMECOMBO);
            std::vector<std::string> offered = Items(combo, true);
            EXPECT_EQ(offered, expected);
            EXPECT_NE(std::find(offered.begin(), offered.end(), kTargetTitle), offered.end());
            for (const std::string& t : offered) {
                EXPECT_NE(t, "ポムッと終了");
                EXPECT_NE(t, kOptionsCaption);
            }
            EXPECT_EQ(WindowText(combo), "");
            if (round == 0) {
                EXPECT_TRUE(ShotForGuide(add, "options_add_dialog"));
                EXPECT_TRUE(KeyboardOrderHolds(add));
            }
            if (round < 2)
                Send(combo, CB_SETCURSEL,
                     std::find(offered.begin(), offered.end(), kTargetTitle) - offered.begin());
            // Sent, not posted: the dialog must end although its loop is waiting for
            // a posted message when the click arrives.
            Click(add, IDOK);
            ASSERT_TRUE(Gone(add));
        }
        EXPECT_EQ(Items(Control(dlg, IDC_OPT_IGNORELIST)),
                  (std::vector<std::string>{"keep", kTargetTitle, kTargetTitle}));
        EXPECT_TRUE(ShotForGuide(dlg, "options_quit"));
        EXPECT_TRUE(KeyboardOrderHolds(dlg));

        ASSERT_TRUE(NextPageUntil(dlg, IDC_OPT_EACHRUN));
        Click(dlg, IDC_OPT_EACHRUN);
        Click(dlg, IDC_OPT_SKIPRUNNING);
        EXPECT_TRUE(ShotForGuide(dlg, "options_run"));
        EXPECT_TRUE(KeyboardOrderHolds(dlg));
        // Enter is OK.
        FocusWindow(dlg);
        SendKeys({VK_RETURN});
        ASSERT_TRUE(Gone(dlg));
        EXPECT_EQ(app.Close(), 0u);
    }
    ini = box.ReadIni();
    EXPECT_NE(ini.find("QuitTimeout=60\r\nAllClose=1\r\nEachRun=0\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Column2=50\r\nQuitAtOnce=1\r\nSkipRunning=1\r\nEndSession=1\r\n"),
              std::string::npos)
        << ini;
    EXPECT_EQ(ini.find("WaitDialogs"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("HotKey"), std::string::npos) << ini; // no key chosen: none stored
    EXPECT_NE(ini.find(std::string("[Ignore]\r\n0=keep\r\n1=") + kTargetTitle +
                       "\r\n2=" + kTargetTitle + "\r\n\r\n"),
              std::string::npos)
        << ini;

    // Read back at the next start: the dialog shows what was stored.
    AppProcess app(box);
    HWND dlg = OpenOptions(app);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(WindowText(Control(dlg, IDC_OPT_TIMEOUT)), "60");
    EXPECT_TRUE(Checked(dlg, IDC_OPT_ALLCLOSE));
    EXPECT_TRUE(Checked(dlg, IDC_OPT_QUITATONCE));
    EXPECT_TRUE(Checked(dlg, IDC_OPT_ENDSESSION));
    EXPECT_FALSE(Checked(dlg, IDC_OPT_WAITDIALOGS));
    EXPECT_FALSE(Checked(dlg, IDC_OPT_EACHRUN));
    EXPECT_TRUE(Checked(dlg, IDC_OPT_SKIPRUNNING));
    EXPECT_EQ(Items(Control(dlg, IDC_OPT_IGNORELIST)),
              (std::vector<std::string>{"keep", kTargetTitle, kTargetTitle}));
    Click(dlg, IDCANCEL);
    ASSERT_TRUE(Gone(dlg));
}

// The three buttons write their shortcuts with the hot key beside each: the stored
// one shown when the dialog opens, or one chosen now; the keys written stay stored
// although the dialog is cancelled.
TEST_F(Options, ShortcutButtonsWriteTheDesktopShortcutsThatRunTheProgram) {
    char desktopBuf[MAX_PATH] = "";
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktopBuf), S_OK);
    const std::string desktop = desktopBuf;
    const std::string quitLnk = desktop + "\\ポムッと終了.lnk";
    const std::string runLnk = desktop + "\\ポムッと起動.lnk";
    const std::string shutdownLnk = desktop + "\\ポムッと終了してシャットダウン.lnk";
    for (const std::string& lnk : {quitLnk, runLnk, shutdownLnk})
        DeleteFileA(lnk.c_str());
    const WORD ctrlAltQ = MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT);          // 1617
    const WORD ctrlAltR = MAKEWORD('R', HOTKEYF_CONTROL | HOTKEYF_ALT);          // 1618
    const WORD ctrlShiftF12 = MAKEWORD(VK_F12, HOTKEYF_CONTROL | HOTKEYF_SHIFT); // 891

    box.WriteIni("[Setting]\r\nVersion=0.3\r\nRunHotKey=1618\r\n\r\n[0]\r\nName=quit\r\n"
                 "Program=" +
                 box.Path("quit_target.exe") + "\r\nQuit=1\r\nRun=0\r\n\r\n");
    {
        AppProcess app(box);
        HWND dlg = OpenOptions(app);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(Send(Control(dlg, IDC_OPT_QUITKEY), HKM_GETHOTKEY), 0);
        EXPECT_EQ(Send(Control(dlg, IDC_OPT_RUNKEY), HKM_GETHOTKEY), ctrlAltR);
        EXPECT_EQ(Send(Control(dlg, IDC_OPT_SHUTDOWNKEY), HKM_GETHOTKEY), 0);
        Send(Control(dlg, IDC_OPT_QUITKEY), HKM_SETHOTKEY, ctrlAltQ);
        Send(Control(dlg, IDC_OPT_SHUTDOWNKEY), HKM_SETHOTKEY, ctrlShiftF12);
        struct Case {
            int button;
            std::string lnk, question;
        };
        for (const Case& c :
             {Case{IDC_OPT_MAKEQUIT, quitLnk,
                   "デスクトップにポムッと終了するショートカットを作成します。\nよろしいですか？"},
              Case{IDC_OPT_MAKERUN, runLnk,
                   "デスクトップにポムッと起動するショートカットを作成します。\nよろしいですか"
                   "？"},
              Case{IDC_OPT_MAKESHUTDOWN, shutdownLnk,
                   "デスクトップにポムッと終了してシャットダウンするショートカットを作成します。"
                   "\nよろしいですか？"}}) {
            for (int answer : {IDNO, IDYES}) {
                Post(Control(dlg, c.button), BM_CLICK);
                HWND question = FindMessageBox(app.Id(), 5000);
                ASSERT_NE(question, nullptr);
                MessageBoxInfo info = ReadMessageBox(question);
                EXPECT_EQ(info.caption, "確認");
                EXPECT_EQ(info.text, c.question);
                EXPECT_TRUE(info.HasButton(IDYES) && info.HasButton(IDNO));
                ASSERT_TRUE(AnswerMessageBox(question, answer));
                if (answer == IDNO) {
                    Send(dlg, WM_NULL); // the handler has returned
                    EXPECT_FALSE(FileExists(c.lnk));
                }
            }
            EXPECT_TRUE(WaitUntil([&] { return FileExists(c.lnk); }, 5000)) << c.lnk;
        }
        Click(dlg, IDCANCEL);
        ASSERT_TRUE(Gone(dlg));
        EXPECT_EQ(app.Close(), 0u);
    }
    // Cancel does not take the shortcuts back, nor the keys they carry.
    ASSERT_TRUE(FileExists(quitLnk));
    ASSERT_TRUE(FileExists(runLnk));
    ASSERT_TRUE(FileExists(shutdownLnk));
    const std::string ini = box.ReadIni();
    EXPECT_NE(ini.find("\r\nQuitHotKey=1617\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("\r\nRunHotKey=1618\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("\r\nShutdownHotKey=891\r\n"), std::string::npos) << ini;

    struct Expect {
        std::string lnk, args;
        int icon;
        WORD hotKey;
    };
    for (const Expect& e : {Expect{quitLnk, "-q", 1, ctrlAltQ}, Expect{runLnk, "-r", 2, ctrlAltR},
                            Expect{shutdownLnk, "-s", 1, ctrlShiftF12}}) {
        testing_shell::RawLink link = testing_shell::LoadLink(e.lnk);
        EXPECT_EQ(link.target, box.ExePath());
        EXPECT_EQ(link.arguments, e.args);
        EXPECT_EQ(link.workingDir, box.Dir());
        EXPECT_EQ(link.iconPath, box.ExePath());
        EXPECT_EQ(link.iconIndex, e.icon);
        EXPECT_EQ(link.description, "");
        EXPECT_EQ(link.hotKey, e.hotKey) << e.lnk;
        // The show command of a link object whose show command was never set or read.
        // (Wine reads every show command back as 1, so the header is read instead.)
        EXPECT_EQ(testing_shell::HeaderShowCmd(e.lnk), 0);
    }

    // The quit-all shortcut's command line quits the registered program and ends.
    Process target = Process::Start(box.Path("quit_target.exe"),
                                    "--log \"" + box.Path("q.log") + "\"", box.Dir());
    ASSERT_TRUE(WaitUntil([&] { return LogHas(box.Path("q.log"), "ready"); }, 10000));
    testing_shell::RawLink quit = testing_shell::LoadLink(quitLnk);
    RunShortcutToEnd(quit.target, quit.arguments, quit.workingDir);
    EXPECT_TRUE(target.WaitExit(5000).has_value()) << "the registered program was not quit";
    for (const std::string& lnk : {quitLnk, runLnk, shutdownLnk})
        DeleteFileA(lnk.c_str());
}

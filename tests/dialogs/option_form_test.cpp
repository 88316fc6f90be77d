// The options dialog and the add dialog, driven in-process through the program's
// own message loop: the copies of the options, the ignore list and its enabling,
// the time-out field, the tab pages with their keyboard, the window titles offered
// for the ignore list, and the shortcut buttons with their hot keys and failures.
#include "dialog_test_support.h"
#include "dialogs/add_list_form.h"
#include "dialogs/add_list_form_ids.h"
#include "dialogs/option_form_ids.h"
#include "dialogs/option_form.h"
#include "quit/window_list.h"
#include "win/message_loop.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const UINT kRunScript = WM_APP + 17;

// A dialog that runs the test's script once it is up, from inside its modal loop.
template <typename Base> class Scripted : public Base {
  public:
    using Base::Base;
    std::function<void(Scripted&)> script;
    std::string desktop = "unset"; // "unset": the real desktop folder

    HWND Control(int id) const { return GetDlgItem(this->hwnd(), id); }
    void Click(int id) {
        SendMessageA(this->hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(id)));
    }
    std::string ControlText(int id) const {
        char buf[512] = "";
        GetWindowTextA(Control(id), buf, sizeof buf);
        return buf;
    }

  protected:
    void OnInit() override {
        Base::OnInit();
        PostMessageA(this->hwnd(), kRunScript, 0, 0);
    }
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kRunScript) {
            if (script)
                script(*this);
            return TRUE;
        }
        return Base::OnMessage(msg, wp, lp);
    }
};

class TestOptionForm : public Scripted<TVakoOptionForm> {
  public:
    TestOptionForm() : Scripted<TVakoOptionForm>("C:\\Tools\\VakoQuit.exe") {}

  protected:
    std::string DesktopDir() override {
        return desktop == "unset" ? TVakoOptionForm::DesktopDir() : desktop;
    }
};

using TestAddForm = Scripted<TVakoAddListForm>;

std::vector<std::string> ListItems(HWND list, bool combo = false) {
    std::vector<std::string> items;
    int n = static_cast<int>(SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char buf[512] = "";
        SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
        items.push_back(buf);
    }
    return items;
}

void PostKey(HWND target, UINT vk) {
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

// Holds Ctrl (and Shift) down in this thread's key state while it lives.
struct HeldKeys {
    BYTE saved[256];
    explicit HeldKeys(std::initializer_list<int> keys) {
        GetKeyboardState(saved);
        BYTE state[256];
        std::copy(saved, saved + 256, state);
        for (int k : keys)
            state[k] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved); }
};

bool Visible(HWND w) {
    return IsWindowVisible(w) != FALSE;
}

std::function<void(HWND)> g_onAddDialog;

void CALLBACK AddDialogTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindWindowA("#32770", "無視するウィンドウに追加");
    if (!dlg || !IsWindowVisible(dlg))
        return;
    KillTimer(nullptr, id);
    auto act = std::move(g_onAddDialog);
    act(dlg);
}

// Runs `action` on the add dialog once it is open (it runs its own modal loop).
void OnAddDialog(std::function<void(HWND)> action) {
    g_onAddDialog = std::move(action);
    SetTimer(nullptr, 0, 20, AddDialogTimer);
}

} // namespace

TEST(OptionForm, ShowsTheCopiesOnTheFirstPageWithTheIgnoreListFollowingAllClose) {
    Owner owner;
    TestOptionForm form;
    form.Options.QuitTimeout = 0; // shown as the nearer bound
    form.Options.AllClose = false;
    form.Options.EachRun = false;
    form.Options.IgnoreMemo = {"一", "", "一"};
    form.Options.QuitAtOnce = true;
    form.Options.WaitDialogs = true;
    bool ran = false;
    form.script = [&](auto& f) {
        ran = true;
        char caption[64] = "";
        GetWindowTextA(f.hwnd(), caption, sizeof caption);
        EXPECT_STREQ(caption, "ポムッと終了 オプション");
        HWND tabs = f.Control(IDC_OPT_TABS);
        ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
        EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
        EXPECT_TRUE(Visible(f.Control(IDC_OPT_MAKEQUIT)));
        EXPECT_FALSE(Visible(f.Control(IDC_OPT_ALLCLOSE)));
        EXPECT_FALSE(Visible(f.Control(IDC_OPT_EACHRUN)));
        EXPECT_FALSE(Visible(f.Control(IDC_OPT_RESTOREAFTER)));

        EXPECT_EQ(f.ControlText(IDC_OPT_TIMEOUT), "1");
        EXPECT_EQ(ListItems(f.Control(IDC_OPT_IGNORELIST)),
                  (std::vector<std::string>{"一", "", "一"}));
        EXPECT_FALSE(IsDlgButtonChecked(f.hwnd(), IDC_OPT_EACHRUN));
        EXPECT_TRUE(IsDlgButtonChecked(f.hwnd(), IDC_OPT_QUITATONCE));
        EXPECT_FALSE(IsDlgButtonChecked(f.hwnd(), IDC_OPT_ENDSESSION));
        EXPECT_TRUE(IsDlgButtonChecked(f.hwnd(), IDC_OPT_WAITDIALOGS));
        EXPECT_FALSE(IsDlgButtonChecked(f.hwnd(), IDC_OPT_SKIPRUNNING));
        for (int id : {IDC_OPT_IGNORELIST, IDC_OPT_ADD, IDC_OPT_DELETE})
            EXPECT_FALSE(IsWindowEnabled(f.Control(id))) << id;

        CheckDlgButton(f.hwnd(), IDC_OPT_ALLCLOSE, BST_CHECKED);
        f.Click(IDC_OPT_ALLCLOSE);
        for (int id : {IDC_OPT_IGNORELIST, IDC_OPT_ADD, IDC_OPT_DELETE})
            EXPECT_TRUE(IsWindowEnabled(f.Control(id))) << id;
        PostMessageA(f.hwnd(), WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_EQ(form.ShowModal(owner.hwnd), IDCANCEL);
    EXPECT_TRUE(ran);
    // Cancel leaves the caller's copies as they were.
    EXPECT_EQ(form.Options.QuitTimeout, 0);
    EXPECT_FALSE(form.Options.AllClose);
}

TEST(OptionForm, OkTakesTheControlsAndDeleteRemovesOnlyTheSelectedEntry) {
    Owner owner;
    TestOptionForm form;
    form.Options.AllClose = true;
    form.Options.IgnoreMemo = {"a", "b", "c"};
    form.Options.QuitHotKey = MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT);
    form.script = [](auto& f) {
        HWND list = f.Control(IDC_OPT_IGNORELIST);
        // Chosen, not written into a shortcut: OK keeps what the controls show.
        SendMessageA(f.Control(IDC_OPT_QUITKEY), HKM_SETHOTKEY, 0, 0);
        SendMessageA(f.Control(IDC_OPT_RUNKEY), HKM_SETHOTKEY, MAKEWORD(VK_F9, HOTKEYF_ALT), 0);
        f.Click(IDC_OPT_DELETE); // nothing selected: nothing happens
        EXPECT_EQ(ListItems(list).size(), 3u);
        SendMessageA(list, LB_SETCURSEL, 1, 0);
        f.Click(IDC_OPT_DELETE);
        EXPECT_EQ(ListItems(list), (std::vector<std::string>{"a", "c"}));
        CheckDlgButton(f.hwnd(), IDC_OPT_EACHRUN, BST_UNCHECKED);
        CheckDlgButton(f.hwnd(), IDC_OPT_SKIPRUNNING, BST_CHECKED);
        CheckDlgButton(f.hwnd(), IDC_OPT_ENDSESSION, BST_CHECKED);
        CheckDlgButton(f.hwnd(), IDC_OPT_RESTOREAFTER, BST_CHECKED);
        CheckDlgButton(f.hwnd(), IDC_OPT_ALLCLOSE, BST_UNCHECKED);
        SetWindowTextA(f.Control(IDC_OPT_TIMEOUT), "17");
        PostMessageA(f.hwnd(), WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(form.ShowModal(owner.hwnd), IDOK);
    EXPECT_EQ(form.Options.IgnoreMemo, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(form.Options.QuitTimeout, 17);
    EXPECT_FALSE(form.Options.AllClose);
    EXPECT_FALSE(form.Options.EachRun);
    EXPECT_TRUE(form.Options.SkipRunning);
    EXPECT_FALSE(form.Options.QuitAtOnce);
    EXPECT_TRUE(form.Options.EndSession);
    EXPECT_FALSE(form.Options.WaitDialogs);
    EXPECT_EQ(form.Options.QuitHotKey, 0);
    EXPECT_EQ(form.Options.RunHotKey, MAKEWORD(VK_F9, HOTKEYF_ALT));
    EXPECT_EQ(form.Options.ShutdownHotKey, 0);
    EXPECT_TRUE(form.Options.RestoreAfter);
    EXPECT_FALSE(form.Options.RunLastQuit);
}

TEST(OptionForm, TheTimeoutIsBroughtIntoRangeOnLeavingTheFieldAndOnEnterInIt) {
    Owner owner;
    TestOptionForm form;
    form.Options.QuitTimeout = 99;
    form.script = [](auto& f) {
        EXPECT_EQ(f.ControlText(IDC_OPT_TIMEOUT), "60");
        HWND edit = f.Control(IDC_OPT_TIMEOUT);
        HWND tabs = f.Control(IDC_OPT_TABS);
        for (auto [typed, shown] : {std::pair<const char*, const char*>{"0", "1"},
                                    {"", "1"},
                                    {"75", "60"},
                                    {"33", "33"}}) {
            SetFocus(edit);
            SetWindowTextA(edit, typed);
            SetFocus(tabs);
            EXPECT_EQ(f.ControlText(IDC_OPT_TIMEOUT), shown) << "typed " << typed;
        }
        // Typed and confirmed with Enter while the field still has the focus.
        SetFocus(edit);
        SetWindowTextA(edit, "99");
        PostKey(edit, VK_RETURN);
    };
    EXPECT_EQ(form.ShowModal(owner.hwnd), IDOK);
    EXPECT_EQ(form.Options.QuitTimeout, 60);
}

TEST(OptionForm, CtrlTabChangesPagesAndTabStaysOnTheVisiblePage) {
    Owner owner;
    TestOptionForm form;
    form.Options.AllClose = true;
    std::vector<int> pages;
    int afterTab = 0;
    form.script = [&](auto& f) {
        HWND tabs = f.Control(IDC_OPT_TABS);
        SetFocus(f.Control(IDC_OPT_MAKEQUIT));
        {
            HeldKeys ctrl({VK_CONTROL});
            PostKey(GetFocus(), VK_TAB);
            win::ProcessMessages();
            pages.push_back(static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)));
        }
        EXPECT_TRUE(Visible(f.Control(IDC_OPT_ALLCLOSE)));
        EXPECT_FALSE(Visible(f.Control(IDC_OPT_MAKEQUIT)));
        // The focused button went with its page: the focus is not left on it.
        EXPECT_NE(GetFocus(), f.Control(IDC_OPT_MAKEQUIT));
        SetFocus(tabs);
        PostKey(tabs, VK_TAB);
        win::ProcessMessages();
        afterTab = GetDlgCtrlID(GetFocus());
        {
            HeldKeys ctrlShift({VK_CONTROL, VK_SHIFT});
            PostKey(GetFocus(), VK_TAB);
            win::ProcessMessages();
            pages.push_back(static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)));
            PostKey(GetFocus(), VK_TAB);
            win::ProcessMessages();
            pages.push_back(static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)));
        }
        EXPECT_TRUE(Visible(f.Control(IDC_OPT_EACHRUN)));
        EXPECT_TRUE(Visible(f.Control(IDC_OPT_RESTOREAFTER)));
        PostKey(GetFocus(), VK_ESCAPE);
    };
    EXPECT_EQ(form.ShowModal(owner.hwnd), IDCANCEL);
    EXPECT_EQ(pages, (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(afterTab, IDC_OPT_ALLCLOSE) << "Tab from the tabs must reach the visible page";
}

// An empty entry is refused: the settings file's list would end at it.
TEST(OptionForm, AddAppendsTheEntryAsTypedAlsoRepeatedButNotEmpty) {
    Owner owner;
    TestOptionForm form;
    form.Options.AllClose = true;
    form.Options.IgnoreMemo = {"x"};
    form.script = [](auto& f) {
        for (const char* typed : {"", "x", "メモ"}) {
            std::string t = typed;
            OnAddDialog([t](HWND add) {
                EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(add, IDC_ADD_NAMECOMBO)), 0);
                SetDlgItemTextA(add, IDC_ADD_NAMECOMBO, t.c_str());
                PostMessageA(add, WM_COMMAND, IDOK, 0);
            });
            f.Click(IDC_OPT_ADD);
        }
        OnAddDialog([](HWND add) {
            SetDlgItemTextA(add, IDC_ADD_NAMECOMBO, "捨てる");
            PostMessageA(add, WM_COMMAND, IDCANCEL, 0);
        });
        f.Click(IDC_OPT_ADD);
        PostMessageA(f.hwnd(), WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(form.ShowModal(owner.hwnd), IDOK);
    EXPECT_EQ(form.Options.IgnoreMemo, (std::vector<std::string>{"x", "x", "メモ"}));
}

TEST(AddListForm, OffersTheTitlesInTheirOrderWithEmptyTextAndTheFourLineLabel) {
    Owner owner;
    TestAddForm form({"b", "", "a", "b"});
    form.script = [](TestAddForm& f) {
        char caption[64] = "";
        GetWindowTextA(f.hwnd(), caption, sizeof caption);
        EXPECT_STREQ(caption, "無視するウィンドウに追加");
        HWND combo = f.Control(IDC_ADD_NAMECOMBO);
        EXPECT_EQ(ListItems(combo, true), (std::vector<std::string>{"b", "", "a", "b"}));
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
        EXPECT_EQ(f.ControlText(IDC_ADD_NAMECOMBO), "");
        EXPECT_EQ(f.ControlText(IDC_ADD_LABEL2), "※ここに入力した文字がタイトルに含まれている\r\n"
                                                 "   ウィンドウが無視されます。\r\n"
                                                 "※ドロップダウンの中に現在開いているウィンドウ\r\n"
                                                 "   のタイトル一覧があります。");
        SendMessageA(combo, CB_SETCURSEL, 2, 0);
        PostMessageA(f.hwnd(), WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(form.ShowModal(owner.hwnd), IDOK);
    EXPECT_EQ(form.Text(), "a");
}

// Windows of this process stand for other programs' windows here: the rule is
// asked with another process id, then with this one.
TEST(AddListForm, OffersVisibleEnabledFramedNonToolWindowsInZOrderNeverOwnOnes) {
    struct Made {
        HWND hwnd;
        ~Made() { DestroyWindow(hwnd); }
    };
    auto make = [](const char* title, DWORD style, DWORD ex = 0) {
        return CreateWindowExA(ex, "STATIC", title, style, 10, 10, 100, 60, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    const DWORD framed = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    Made lower{make("VakoAdd-lower", framed)};
    Made hidden{make("VakoAdd-hidden", WS_OVERLAPPEDWINDOW)};
    Made disabled{make("VakoAdd-disabled", framed | WS_DISABLED)};
    Made tool{make("VakoAdd-tool", framed, WS_EX_TOOLWINDOW)};
    Made bare{make("VakoAdd-bare", WS_POPUP | WS_VISIBLE)};
    Made border{make("VakoAdd-border", WS_POPUP | WS_BORDER | WS_VISIBLE)};
    Made upper{make("VakoAdd-lower", framed)}; // same title, created last: on top

    TWindowList list;
    std::vector<std::string> mine;
    for (const std::string& t : OpenWindowTitles(list, GetCurrentProcessId() + 4)) {
        if (t.rfind("VakoAdd-", 0) == 0)
            mine.push_back(t);
    }
    EXPECT_EQ(mine, (std::vector<std::string>{"VakoAdd-lower", "VakoAdd-border", "VakoAdd-lower"}));
    for (const std::string& t : OpenWindowTitles(list, GetCurrentProcessId()))
        EXPECT_NE(t.rfind("VakoAdd-", 0), 0u) << t;
}

TEST(OptionForm, ShortcutButtonsAskFirstAndReportAMissingOrUnwritableDesktop) {
    CoInitialize(nullptr);
    Owner owner;
    BoxWatch boxes;
    TestOptionForm form;
    form.Options.QuitTimeout = 9;
    const std::string missing = "C:\\VakoNoSuchFolder\\deeper";
    form.script = [&](auto& f) {
        f.desktop = "";
        f.Click(IDC_OPT_MAKEQUIT); // answered No: nothing more
        boxes.answers = {IDYES};
        f.Click(IDC_OPT_MAKEQUIT); // Yes, but no desktop folder
        f.desktop = missing;
        boxes.answers = {IDYES};
        f.Click(IDC_OPT_MAKERUN); // Yes, the folder does not exist
        EXPECT_TRUE(IsWindow(f.hwnd())) << "the dialog stays open";
        PostMessageA(f.hwnd(), WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(form.ShowModal(owner.hwnd), IDOK);
    EXPECT_EQ(form.Options.QuitTimeout, 9);
    ASSERT_EQ(boxes.seen.size(), 5u);
    EXPECT_EQ(boxes.seen[0].caption, "確認");
    EXPECT_EQ(boxes.seen[0].text,
              "デスクトップにポムッと終了するショートカットを作成します。\nよろしいですか？");
    EXPECT_EQ(boxes.seen[1].text, boxes.seen[0].text);
    EXPECT_EQ(boxes.seen[2].caption, "エラー");
    EXPECT_EQ(boxes.seen[3].text,
              "デスクトップにポムッと起動するショートカットを作成します。\nよろしいですか？");
    EXPECT_EQ(boxes.seen[4].caption, "エラー");
    EXPECT_EQ(boxes.seen[4].text, "Unable to create .lnk file");
    EXPECT_EQ(GetFileAttributesA((missing + "\\ポムッと起動.lnk").c_str()),
              INVALID_FILE_ATTRIBUTES);
    CoUninitialize();
}

// A key that another of the three shortcuts uses is refused and nothing is written;
// a key typed without Ctrl or Alt becomes Ctrl+Alt+key; of the keys, Cancel keeps
// only those written into a shortcut. (What the shortcuts hold is read back in the
// end-to-end test of the buttons.)
TEST(OptionForm, ShortcutButtonsRefuseAKeyAnotherUsesAndCancelKeepsOnlyWrittenKeys) {
    CoInitialize(nullptr);
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string desktop = std::string(temp) + "vako 鍵の机";
    CreateDirectoryA(desktop.c_str(), nullptr);
    const std::string runLnk = desktop + "\\ポムッと起動.lnk";
    DeleteFileA(runLnk.c_str());
    auto written = [&] { return GetFileAttributesA(runLnk.c_str()) != INVALID_FILE_ATTRIBUTES; };

    const WORD ctrlAltQ = MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT);
    const WORD ctrlAltR = MAKEWORD('R', HOTKEYF_CONTROL | HOTKEYF_ALT);
    Owner owner;
    BoxWatch boxes;
    TestOptionForm form;
    form.Options.QuitHotKey = ctrlAltQ;
    form.desktop = desktop;
    WORD typed = 0;
    bool writtenWhenRefused = true;
    form.script = [&](auto& f) {
        SendMessageA(f.Control(IDC_OPT_RUNKEY), HKM_SETHOTKEY, ctrlAltQ, 0);
        f.Click(IDC_OPT_MAKERUN); // taken by quit-all: refused before any question
        writtenWhenRefused = written();
        SendMessageA(f.Control(IDC_OPT_RUNKEY), HKM_SETHOTKEY, ctrlAltR, 0);
        boxes.answers = {IDYES};
        f.Click(IDC_OPT_MAKERUN);
        HWND quitKey = f.Control(IDC_OPT_QUITKEY);
        SendMessageA(quitKey, HKM_SETHOTKEY, 0, 0);
        SetFocus(quitKey);
        SendMessageA(quitKey, WM_KEYDOWN, 'A', 1);
        SendMessageA(quitKey, WM_KEYUP, 'A', 0xC0000001);
        typed = static_cast<WORD>(SendMessageA(quitKey, HKM_GETHOTKEY, 0, 0));
        PostMessageA(f.hwnd(), WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_EQ(form.ShowModal(owner.hwnd), IDCANCEL);
    EXPECT_EQ(typed, MAKEWORD('A', HOTKEYF_CONTROL | HOTKEYF_ALT));
    ASSERT_EQ(boxes.seen.size(), 2u);
    EXPECT_EQ(boxes.seen[0].caption, "エラー");
    EXPECT_EQ(boxes.seen[0].text,
              "このショートカットキーは、ほかのショートカットにも使われています。"
              "別のキーを選んでください。");
    EXPECT_FALSE(writtenWhenRefused);
    EXPECT_TRUE(written());
    EXPECT_EQ(form.Options.QuitHotKey, ctrlAltQ); // typed, not written
    EXPECT_EQ(form.Options.RunHotKey, ctrlAltR);  // written
    DeleteFileA(runLnk.c_str());
    RemoveDirectoryA(desktop.c_str());
    CoUninitialize();
}

#include "app/registration.h"
#include "shell/shortcut_link.h"
#include "win/ansi_path.h"
#include "win/file.h"

#include "fake_registration_host.h"
#include "support.h"

#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <thread>

using namespace testing_shell;

namespace {

class RegistrationTest : public ::testing::Test {
  protected:
    ComScope com;
    TempDir dir{"reg"};
    FakeHost host;

    std::string Lnk(const std::string& name, const std::string& target,
                    const std::string& args = "", const std::string& work = "",
                    int show = SW_SHOWNORMAL) {
        RawLink raw;
        raw.target = target;
        raw.arguments = args;
        raw.workingDir = work;
        raw.showCmd = show;
        std::string path = dir.Path() + "\\" + name;
        MakeLink(path, raw);
        return path;
    }
    // Adds `path` expecting the refusal box for `named`; nothing may change.
    void ExpectRefused(const std::string& path, const std::string& named) {
        TProgTable before = host.table;
        size_t appended = host.appended.size();
        BoxAnswerer boxes;
        boxes.Reply(IDOK);
        AddProgram(host, path);
        ASSERT_EQ(boxes.Seen().size(), 1u) << path;
        EXPECT_EQ(boxes.Seen()[0].caption, "エラー");
        EXPECT_EQ(boxes.Seen()[0].text, "このプログラムを使用することはできません\n" + named);
        EXPECT_EQ(host.appended.size(), appended);
        for (int i = 0; i < kMaxPrograms; ++i)
            EXPECT_EQ(host.table[i].Program, before[i].Program) << i;
    }
    void AddSilently(const std::string& path) {
        BoxAnswerer boxes; // fails the test through an unexpected box's record below
        AddProgram(host, path);
        EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;
    }
};

} // namespace

TEST_F(RegistrationTest, RefusesMissingNonExeProtectedAndOwnPrograms) {
    ExpectRefused(dir.Path() + "\\absent.exe", dir.Path() + "\\absent.exe");
    std::string text = dir.WriteFile("readme.txt", "text");
    std::string toText = Lnk("to text.lnk", text);
    ExpectRefused(toText, toText);
    dir.MakeDir("a\\b");
    for (const char* name : {"a\\EXPLORER.EXE", "a\\b\\explorer.exe", "Explorer.exe", "TaskMgr.exe",
                             "progman.exe", "systray.exe", "winlogon.EXE"}) {
        std::string p = dir.CopyBin("shell_ver_none.exe", name);
        EXPECT_FALSE(CanRegister(host, p)) << p;
        ExpectRefused(p, p);
    }
    ExpectRefused(host.own, host.own);
    std::string upperOwn = host.own;
    CharUpperBuffA(&upperOwn[0], static_cast<DWORD>(upperOwn.size()));
    ExpectRefused(upperOwn, upperOwn);

    // A file of another kind is passed over without a word.
    AddSilently(text);
    // A folder named like a program is no program file.
    std::string folderExe = dir.MakeDir("folder.exe");
    EXPECT_FALSE(CanRegister(host, folderExe));
    EXPECT_EQ(host.Occupied(), 0);
}

TEST_F(RegistrationTest, RefusesWhatIsRegisteredUnderAnySpelling) {
    dir.MakeDir("A Folder With A Long Name");
    std::string exe =
        dir.CopyBin("shell_ver_none.exe", "A Folder With A Long Name\\Program Tool.exe");
    AddSilently(exe);
    ASSERT_EQ(host.Occupied(), 1);

    std::string upper = exe;
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    ExpectRefused(upper, upper);
    char shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(exe.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortPath), exe);
    ExpectRefused(shortPath, shortPath);
    // The box names the shortcut, not its registered target.
    std::string lnk = Lnk("again.lnk", exe);
    ExpectRefused(lnk, lnk);
}

TEST_F(RegistrationTest, ProgramFileRecordNamedByProductOrFileName) {
    dir.MakeDir("表示");
    std::string spaced = dir.CopyBin("shell_ver_spaced.exe", "表示\\Spaced.exe");
    AddSilently(spaced);
    const TProgInfo& r = host.table[0];
    EXPECT_EQ(r.Name, "表示テスト");
    EXPECT_EQ(r.Program, spaced);
    EXPECT_EQ(r.Work, dir.Path() + "\\表示\\");
    EXPECT_EQ(r.Arg, "");
    EXPECT_EQ(r.QuitCom, "");
    EXPECT_EQ(r.QuitArg, "");
    EXPECT_TRUE(r.Quit);
    EXPECT_TRUE(r.Run);
    EXPECT_EQ(r.Show, 0);
    EXPECT_EQ(r.QuitType, kQuitAuto);
    EXPECT_EQ(r.ImageIndex, 100);

    // Empty, absent, under another language only, no resource at all: the file name.
    const char* fallbacks[][2] = {{"shell_ver_empty.exe", "Empty Name.exe"},
                                  {"shell_ver_noname.exe", "表示なし.exe"},
                                  {"shell_ver_otherlang.exe", "Other.Lang.exe"},
                                  {"shell_ver_none.exe", "NoVersion.EXE"}};
    const char* names[] = {"Empty Name", "表示なし", "Other.Lang", "NoVersion"};
    for (int i = 0; i < 4; ++i) {
        AddSilently(dir.CopyBin(fallbacks[i][0], fallbacks[i][1]));
        EXPECT_EQ(host.table[i + 1].Name, names[i]);
    }
    EXPECT_EQ(host.appended, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(RegistrationTest, ShortcutRecordRunsTheTargetWithTheShortcutsSettings) {
    std::string work = dir.MakeDir("work");
    std::string exe = dir.CopyBin("shell_ver_spaced.exe", "target.exe");
    std::string lnk = Lnk("メモの起動.lnk", exe, "-open \"x y\"", work, SW_SHOWMINNOACTIVE);
    AddSilently(lnk);
    const TProgInfo& r = host.table[0];
    EXPECT_EQ(r.Name, "メモの起動");
    EXPECT_EQ(r.Program, exe);
    EXPECT_EQ(r.Arg, "-open \"x y\"");
    EXPECT_EQ(r.Work, work);
    EXPECT_TRUE(r.Quit && r.Run);
    EXPECT_EQ(r.QuitType, kQuitAuto);
    EXPECT_EQ(r.ImageIndex, 100);
    // Wine 8 deviation: a loaded shortcut always reports SW_SHOWNORMAL, so the
    // minimized state cannot come back there.
    EXPECT_EQ(r.Show, UnderWine() ? 0 : 1);
}

TEST(ShowFromShortcut, ByTheShortcutsWindowState) {
    EXPECT_EQ(ShowFromShortcut(scShowMaximized), 2);
    EXPECT_EQ(ShowFromShortcut(scShowMinimized), 1);
    EXPECT_EQ(ShowFromShortcut(scShowNormal), 0);
}

TEST_F(RegistrationTest, FreedSlotIsReusedAndItsItemAppendedLast) {
    for (const char* name : {"one.exe", "two.exe", "three.exe"})
        AddSilently(dir.CopyBin("shell_ver_none.exe", name));
    host.table[0].Program.clear();
    std::string four = dir.CopyBin("shell_ver_none.exe", "four.exe");
    AddSilently(four);
    EXPECT_EQ(host.table[0].Program, four);
    EXPECT_EQ(host.table[0].Name, "four");
    EXPECT_EQ(host.appended, (std::vector<int>{0, 1, 2, 0}));
    // The freed slot may be taken by the program it held before.
    host.table[1].Program.clear();
    AddSilently(dir.Path() + "\\two.exe");
    EXPECT_EQ(host.table[1].Name, "two");
}

TEST_F(RegistrationTest, FullTableRefusesWithItsOwnBox) {
    for (int i = 0; i < kMaxPrograms; ++i) {
        host.table[i].Program = "C:\\nowhere\\p" + std::to_string(i) + ".exe";
        host.table[i].Name = "p" + std::to_string(i);
    }
    std::string exe = dir.CopyBin("shell_ver_none.exe", "extra.exe");
    BoxAnswerer boxes;
    boxes.Reply(IDOK);
    AddProgram(host, exe);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, "エラー");
    EXPECT_EQ(boxes.Seen()[0].text, kTableFullText);
    EXPECT_TRUE(host.appended.empty());
    EXPECT_EQ(host.table[0].Program, "C:\\nowhere\\p0.exe");
    // With one slot free again the same program goes in.
    host.table[200].Program.clear();
    AddProgram(host, exe);
    EXPECT_EQ(host.table[200].Program, exe);
}

TEST_F(RegistrationTest, ImportReplacesEverythingByTheFoldersShortcuts) {
    host.table[0].Program = "C:\\old.exe";
    host.table[0].QuitCom = "old command";
    host.table[7].Program = "C:\\old7.exe";
    std::string startup = dir.MakeDir("startup");
    std::string exe = dir.CopyBin("shell_ver_none.exe", "app.exe");
    std::string explorer = dir.CopyBin("shell_ver_none.exe", "explorer.exe");
    Lnk("startup\\アプリ.lnk", exe, "/min", dir.Path(), SW_SHOWNORMAL);
    Lnk("startup\\explorer.lnk", explorer); // taken without CanRegister
    Lnk("startup\\twice.lnk", exe);         // duplicates too
    dir.WriteFile("startup\\notes.txt", "ignored");
    // A shortcut file whose extension only begins with ".lnk" is no entry; the pattern
    // finds it through its short name (Wine does so too).
    Lnk("startup\\stray.lnk2", exe);

    // The file system's order decides the slots.
    std::vector<std::string> order;
    WIN32_FIND_DATAA f;
    HANDLE h = FindFirstFileA((startup + "\\*.lnk").c_str(), &f);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do {
        std::string name = f.cFileName;
        if (name != "stray.lnk2")
            order.push_back(name.substr(0, name.size() - 4));
    } while (FindNextFileA(h, &f));
    FindClose(h);
    ASSERT_EQ(order.size(), 3u);

    ImportStartup(host, startup);
    EXPECT_EQ(host.builds, 1);
    EXPECT_EQ(host.list, order);
    EXPECT_EQ(host.Occupied(), 3);
    EXPECT_TRUE(host.appended.empty());
    for (int i = 0; i < 3; ++i) {
        const TProgInfo& r = host.table[i];
        EXPECT_EQ(r.Name, order[i]);
        EXPECT_TRUE(r.Quit && r.Run);
        EXPECT_EQ(r.QuitCom, "");
        EXPECT_EQ(r.Program, order[i] == "explorer" ? explorer : exe);
        if (order[i] == "アプリ") {
            EXPECT_EQ(r.Arg, "/min");
            EXPECT_EQ(r.Work, dir.Path());
        }
    }
}

TEST_F(RegistrationTest, ImportFailuresLeaveAListOfTheFilledSlots) {
    host.table[0].Program = "C:\\old.exe";
    host.table[0].Name = "old";
    try {
        ImportStartup(host, dir.Path() + "\\no startup");
        ADD_FAILURE() << "a missing folder was imported";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), kNoStartupFolderText);
    }
    // Nothing was discarded and nothing rebuilt.
    EXPECT_EQ(host.table[0].Program, "C:\\old.exe");
    EXPECT_EQ(host.builds, 0);

    // A file that is no shell link and a shortcut to a folder are passed over and
    // counted; the good shortcuts around them are all imported.
    std::string startup = dir.MakeDir("startup");
    std::string exe = dir.CopyBin("shell_ver_none.exe", "app.exe");
    Lnk("startup\\a good.lnk", exe);
    dir.WriteFile("startup\\b broken.lnk", "no shortcut");
    Lnk("startup\\c folder.lnk", dir.Path());
    Lnk("startup\\d good.lnk", exe, "-d");
    BoxAnswerer boxes;
    boxes.Reply(IDOK);
    ImportStartup(host, startup);
    EXPECT_EQ(host.builds, 1);
    ASSERT_EQ(host.Occupied(), 2);
    EXPECT_EQ(host.list.size(), 2u);
    EXPECT_EQ(host.table[0].Program, exe);
    EXPECT_EQ(host.table[1].Program, exe);
    EXPECT_EQ(host.table[0].Arg.empty() ? host.table[1].Arg : host.table[0].Arg, "-d");
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, ImportUnreadableText(2));
}

TEST_F(RegistrationTest, ImportTakesTheFirst256AndSaysHowManyWereLeftOut) {
    std::string startup = dir.MakeDir("startup");
    std::string exe = dir.CopyBin("shell_ver_none.exe", "app.exe");
    std::string first = Lnk("startup\\0.lnk", exe);
    for (int i = 1; i < kMaxPrograms + 2; ++i)
        ASSERT_TRUE(
            CopyFileA(first.c_str(), (startup + "\\" + std::to_string(i) + ".lnk").c_str(), FALSE));
    BoxAnswerer boxes;
    boxes.Reply(IDOK);
    ImportStartup(host, startup);
    EXPECT_EQ(host.Occupied(), kMaxPrograms);
    EXPECT_EQ(host.list.size(), static_cast<size_t>(kMaxPrograms));
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, ImportOverflowText(2));
    EXPECT_NE(boxes.Seen()[0].text.find('2'), std::string::npos);
}

TEST_F(RegistrationTest, ImportQuestionAndBusyState) {
    host.startupFolder = dir.MakeDir("startup");
    Lnk("startup\\new.lnk", dir.CopyBin("shell_ver_none.exe", "new.exe"));
    host.table[0].Program = "C:\\old.exe";
    {
        BoxAnswerer boxes;
        boxes.Reply(IDNO);
        ActStartUpReadExecute(host);
        ASSERT_EQ(boxes.Seen().size(), 1u);
        const SeenBox& q = boxes.Seen()[0];
        EXPECT_EQ(q.caption, "確認");
        EXPECT_EQ(q.text, "すべての項目を破棄してスタートアップからアプリを読み込みます。\n"
                          "よろしいですか？");
        EXPECT_TRUE(q.hasYes && q.hasNo);
        EXPECT_EQ(q.defaultButton, IDNO);
    }
    EXPECT_EQ(host.table[0].Program, "C:\\old.exe");
    EXPECT_TRUE(host.busy.empty());
    {
        BoxAnswerer boxes;
        boxes.Reply(IDYES);
        ActStartUpReadExecute(host);
        EXPECT_EQ(boxes.Seen().size(), 1u);
    }
    EXPECT_EQ(host.list, (std::vector<std::string>{"new"}));
    EXPECT_EQ(host.busy, (std::vector<bool>{false, true}));

    // A failing import still gives the actions back.
    host.startupFolder = dir.Path() + "\\gone";
    BoxAnswerer boxes;
    boxes.Reply(IDYES);
    EXPECT_THROW(ActStartUpReadExecute(host), Exception);
    EXPECT_EQ(host.busy, (std::vector<bool>{false, true, false, true}));
}

TEST_F(RegistrationTest, FirstStartGreetsThenImportsWithoutAsking) {
    host.startupFolder = dir.MakeDir("startup");
    Lnk("startup\\first.lnk", dir.CopyBin("shell_ver_none.exe", "first.exe"));
    host.firstRun = true;
    {
        BoxAnswerer boxes;
        boxes.Reply(IDOK);
        FirstStartStep(host);
        ASSERT_EQ(boxes.Seen().size(), 1u);
        EXPECT_EQ(boxes.Seen()[0].caption, "謝辞");
        EXPECT_EQ(boxes.Seen()[0].text,
                  "ポムッと終了をダウンロードしていただき、ありがとうございました。\n"
                  "まずスタートアップからアプリを読み込みます");
        EXPECT_TRUE(boxes.Seen()[0].hasOk);
    }
    EXPECT_FALSE(host.firstRun);
    EXPECT_EQ(host.list, (std::vector<std::string>{"first"}));
    EXPECT_EQ(host.busy, (std::vector<bool>{false, true}));
    // Later activations do nothing.
    BoxAnswerer none;
    FirstStartStep(host);
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_EQ(host.builds, 1);

    // A failed first import is not retried at every activation.
    FakeHost failing;
    failing.firstRun = true;
    failing.startupFolder = dir.Path() + "\\gone";
    none.Reply(IDOK);
    EXPECT_THROW(FirstStartStep(failing), Exception);
    EXPECT_FALSE(failing.firstRun);
    EXPECT_EQ(failing.busy, (std::vector<bool>{false, true}));
}

TEST_F(RegistrationTest, DefaultImportFolderIsTheUsersStartup) {
    struct PlainHost : FakeHost {
        std::string StartupFolder() override { return RegistrationHost::StartupFolder(); }
    } plain;
    std::string expected;
    plain.link.GetStartupDir(expected);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(plain.StartupFolder(), expected);
}

// Windows would hand back the target of a chosen shortcut unless told not to. Wine 8
// deviation: its dialog returns a typed shortcut name as it is either way, so there
// this checks the title and the path through to AddProgram only.
TEST_F(RegistrationTest, OpenDialogAddsTheChosenShortcutItself) {
    std::string exe = dir.CopyBin("shell_ver_spaced.exe", "picked.exe");
    std::string lnk = Lnk("選んだ.lnk", exe, "-arg");
    BoxAnswerer boxes;
    boxes.Reply(IDOK, [&](HWND dlg) { SetDlgItemTextA(dlg, cmb13, lnk.c_str()); });
    ActAddExecute(host);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, "追加する実行ファイル");
    ASSERT_EQ(host.appended.size(), 1u);
    EXPECT_EQ(host.table[0].Name, "選んだ");
    EXPECT_EQ(host.table[0].Arg, "-arg");

    boxes.Reply(IDCANCEL);
    ActAddExecute(host);
    EXPECT_EQ(host.appended.size(), 1u);
}

// The link object keeps its values when the shell returns without reading (here: no
// COM on the calling thread). Such a shortcut must not pass as the one read before.
TEST_F(RegistrationTest, UnreadShortcutDoesNotInheritThePreviousTarget) {
    std::string earlier = dir.CopyBin("shell_ver_none.exe", "earlier.exe");
    host.link.ShortcutFile = Lnk("earlier.lnk", earlier, "-x");
    host.link.ReadShortcut();
    ASSERT_EQ(host.link.Target, earlier);
    std::string other = Lnk("other.lnk", dir.CopyBin("shell_ver_none.exe", "other.exe"));

    std::vector<SeenBox> seen;
    std::thread([&] {
        BoxAnswerer boxes;
        boxes.Reply(IDOK);
        AddProgram(host, other);
        seen = boxes.Seen();
    }).join();
    EXPECT_EQ(host.Occupied(), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "このショートカットは読み取れません\n" + other);
}

namespace {

std::wstring NoShortName(const std::wstring&) {
    return std::wstring();
}

// The short-name lookup stands for a volume without 8.3 names while it lives.
struct NoShortNames {
    NoShortNames() { win::SetShortPathReader(&NoShortName); }
    ~NoShortNames() { win::SetShortPathReader(nullptr); }
};

} // namespace

// Programs below a folder whose name holds U+00FC, which code page 932 lacks: they are
// kept by their short form, which names the real file, and shown by the long name as
// the code page best spells it; adding one again is refused under that name. Without
// short names (injected) the box says why, for a picked file, a shortcut to one and
// the import alike, and nothing is registered.
TEST_F(RegistrationTest, NamesTheCodePageLacksAreKeptByTheirShortFormOrRefused) {
    const std::wstring folder = win::WideFromAnsi(dir.Path()) + L"\\J\u00FCrgen";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring none = win::WideFromAnsi(dir.CopyBin("shell_ver_none.exe", "none.exe"));
    const std::wstring spaced =
        win::WideFromAnsi(dir.CopyBin("shell_ver_spaced.exe", "spaced.exe"));
    const std::wstring mine = folder + L"\\mine.exe";
    const std::wstring named = folder + L"\\J\u00FCrgen.exe";
    const std::wstring product = folder + L"\\product.exe";
    ASSERT_TRUE(CopyFileW(none.c_str(), mine.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(none.c_str(), named.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(spaced.c_str(), product.c_str(), FALSE));
    const std::string shortFolder = win::StorablePath(folder).Path;
    ASSERT_FALSE(shortFolder.empty());

    BoxAnswerer boxes;
    boxes.Reply(IDOK);
    AddProgram(host, mine);
    AddProgram(host, named);
    AddProgram(host, product);
    EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;
    ASSERT_EQ(host.Occupied(), 3);
    EXPECT_EQ(host.table[0].Program, shortFolder + "\\mine.exe");
    EXPECT_TRUE(win::FileExists(host.table[0].Program));
    EXPECT_EQ(host.table[0].Work, shortFolder + "\\");
    EXPECT_EQ(host.table[0].Name, "mine");
    EXPECT_TRUE(win::FileExists(host.table[1].Program));
    EXPECT_EQ(host.table[1].Name, win::BestFitAnsi(L"J\u00FCrgen"));
    EXPECT_EQ(host.table[2].Name, "表示テスト");

    AddProgram(host, mine);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, kRefusalText + win::BestFitAnsi(mine));

    // A shortcut to it, its working folder there too, gives both by their short form.
    host.table = TProgTable();
    RawLink raw;
    raw.wideTarget = mine;
    raw.wideWorkingDir = folder;
    MakeLink(dir.Path() + "\\mine.lnk", raw);
    AddProgram(host, win::WideFromAnsi(dir.Path() + "\\mine.lnk"));
    EXPECT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(host.table[0].Program, shortFolder + "\\mine.exe");
    EXPECT_EQ(host.table[0].Work, shortFolder);
    EXPECT_EQ(host.table[0].Name, "mine");

    host.table = TProgTable();
    const std::string startup = dir.MakeDir("startup");
    MakeLink(startup + "\\mine.lnk", raw);
    Lnk("startup\\plain.lnk", win::BestFitAnsi(none));
    {
        NoShortNames noShortNames;
        AddProgram(host, mine);
        AddProgram(host, win::WideFromAnsi(dir.Path() + "\\mine.lnk"));
        ImportStartup(host, startup);
    }
    const std::string unstorable = "プログラムのフォルダまたはファイルの名前に、ポムッと終了が保存"
                                   "できない文字が含まれています\n";
    ASSERT_EQ(boxes.Seen().size(), 4u);
    EXPECT_EQ(boxes.Seen()[1].text, unstorable + win::BestFitAnsi(mine));
    EXPECT_EQ(boxes.Seen()[2].text, unstorable + win::BestFitAnsi(mine));
    EXPECT_EQ(boxes.Seen()[3].text, ImportUnreadableText(1));
    ASSERT_EQ(host.Occupied(), 1);
    EXPECT_EQ(host.table[0].Name, "plain");
}

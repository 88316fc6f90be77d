// The main window and its settings file, driven from outside like a user would.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"
#include "steps.h"
#include "target_log.h"
#include "win/handles.h"

#include <gtest/gtest.h>
#include <sddl.h>

using namespace e2e;

namespace {

const char kSettingSection[] = "[Setting]\r\nXPos=0\r\nYPos=0\r\nWidth=313\r\nHeight=277\r\n"
                               "QuitTimeout=5\r\nAllClose=0\r\nEachRun=1\r\nView=3\r\n"
                               "Status=1\r\nVersion=0.3\r\nColumn0=180\r\nColumn1=50\r\n"
                               "Column2=50\r\n\r\n";

std::string SectionOf(const std::string& ini, const std::string& name) {
    std::string header = "[" + name + "]\r\n";
    size_t b = ini.find(header);
    if (b == std::string::npos)
        return std::string();
    size_t e = ini.find("\r\n\r\n", b);
    return ini.substr(b, e == std::string::npos ? std::string::npos : e + 4 - b);
}

// Waits until the program has read its settings and written them back.
void WaitForLoad(const Sandbox& box, const std::string& original) {
    ASSERT_TRUE(WaitUntil([&] { return box.IniExists() && box.ReadIni() != original; }, 10000));
}

} // namespace

TEST(MainWindow, FirstStartWithoutSettingsFile) {
    ASSERT_TRUE(ShellFoldersEmpty());
    Sandbox box;
    AppProcess app(box);
    std::vector<AnsweredBox> boxes;
    // The greeting of a first start; with the Startup folder empty nothing follows.
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return !boxes.empty(); }, 15000, boxes));
    EXPECT_EQ(boxes[0].caption, "謝辞");
    MainWindow main = app.Main();
    RECT rc = main.Rect();
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right - rc.left, 313);
    EXPECT_EQ(rc.bottom - rc.top, 277);
    EXPECT_EQ(main.ViewType(), static_cast<DWORD>(LVS_REPORT));
    EXPECT_TRUE(main.StatusVisible());
    EXPECT_EQ(main.StatusText(), "0個のアプリケーション");
    ASSERT_TRUE(box.IniExists());
    EXPECT_EQ(box.ReadIni(), ""); // created empty at the start

    ASSERT_EQ(app.Close(), 0u);
    EXPECT_EQ(box.ReadIni(), kSettingSection);
}

TEST(MainWindow, ApplicationsEndAtAMissingSection) {
    Sandbox box;
    std::string ini = Known(App(0, "一番", "C:\\one.exe") + App(1, "二番", "C:\\two.exe") +
                            App(3, "四番", "C:\\four.exe"));
    box.WriteIni(ini);
    AppProcess app(box);
    MainWindow main = app.Main();
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"一番", "二番"}));
    EXPECT_EQ(main.ItemText(0, 1), "●");
    EXPECT_EQ(main.ItemText(0, 2), "");
    EXPECT_EQ(main.StatusText(), "2個のアプリケーション");
}

TEST(MainWindow, DeletingTheLastOfThreeErasesItsSection) {
    Sandbox box;
    std::string ini =
        Known(App(0, "a", "C:\\a.exe") + App(1, "b", "C:\\b.exe") + App(2, "c", "C:\\c.exe"));
    box.WriteIni(ini);
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_EQ(main.ItemCount(), 3);
    main.Select({2});
    ASSERT_TRUE(main.WaitStatus("1個のアプリケーションを選択(終了)"));
    MessageBoxInfo info = DeleteSelected(app, main, IDYES);
    EXPECT_EQ(info.caption, "確認");
    EXPECT_EQ(info.text, "本当に削除してもよろしいですか？");
    EXPECT_TRUE(info.HasButton(IDYES) && info.HasButton(IDNO));
    ASSERT_TRUE(WaitUntil([&] { return main.ItemCount() == 2; }, 5000));
    EXPECT_EQ(main.StatusText(), "2個のアプリケーション");

    ASSERT_EQ(app.Close(), 0u);
    std::string saved = box.ReadIni();
    EXPECT_EQ(SectionOf(saved, "0"), App(0, "a", "C:\\a.exe"));
    EXPECT_EQ(SectionOf(saved, "1"), App(1, "b", "C:\\b.exe"));
    EXPECT_EQ(SectionOf(saved, "2"), "");
}

TEST(MainWindow, AnsweringNoToTheDeleteQuestionKeepsTheEntry) {
    Sandbox box;
    box.WriteIni(Known(App(0, "a", "C:\\a.exe")));
    AppProcess app(box);
    MainWindow main = app.Main();
    main.Select({0});
    ASSERT_EQ(DeleteSelected(app, main, IDNO).caption, "確認");
    EXPECT_EQ(main.ItemCount(), 1);
}

TEST(MainWindow, SortingByNameRenumbersTheSections) {
    Sandbox box;
    box.WriteIni(Known(App(0, "cherry", "C:\\c.exe") + App(1, "Apple", "C:\\a.exe") +
                       App(2, "banana", "C:\\b.exe")));
    AppProcess app(box);
    MainWindow main = app.Main();
    main.ClickColumn(0);
    ASSERT_TRUE(WaitUntil([&] { return main.ItemText(0) == "Apple"; }, 5000));
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"Apple", "banana", "cherry"}));
    main.ClickColumn(0); // the second sort reverses the order
    ASSERT_TRUE(WaitUntil([&] { return main.ItemText(0) == "cherry"; }, 5000));
    main.ClickColumn(0);
    ASSERT_TRUE(WaitUntil([&] { return main.ItemText(0) == "Apple"; }, 5000));

    ASSERT_EQ(app.Close(), 0u);
    std::string saved = box.ReadIni();
    EXPECT_EQ(SectionOf(saved, "0"), App(0, "Apple", "C:\\a.exe"));
    EXPECT_EQ(SectionOf(saved, "1"), App(1, "banana", "C:\\b.exe"));
    EXPECT_EQ(SectionOf(saved, "2"), App(2, "cherry", "C:\\c.exe"));
}

TEST(MainWindow, SortingByTheQuitMarkPutsUnmarkedFirstThenReverses) {
    Sandbox box;
    std::string unmarked = App(2, "b-none", "C:\\n.exe");
    unmarked.replace(unmarked.find("Quit=1"), 6, "Quit=0");
    box.WriteIni(Known(App(0, "z-quit", "C:\\z.exe") + App(1, "a-quit", "C:\\a.exe") + unmarked));
    AppProcess app(box);
    MainWindow main = app.Main();
    main.ClickColumn(1);
    ASSERT_TRUE(WaitUntil([&] { return main.ItemText(0) == "b-none"; }, 5000));
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"b-none", "a-quit", "z-quit"}));
    main.ClickColumn(1);
    ASSERT_TRUE(WaitUntil([&] { return main.ItemText(0) == "z-quit"; }, 5000));
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"z-quit", "a-quit", "b-none"}));
}

TEST(MainWindow, RenamingChangesTheNameAndAnEmptyNameIsRefused) {
    Sandbox box;
    box.WriteIni(Known(App(0, "old", "C:\\o.exe")));
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.Rename(0, ""));
    EXPECT_EQ(main.ItemText(0), "old");
    ASSERT_TRUE(main.Rename(0, "新しい名前"));
    ASSERT_TRUE(WaitUntil([&] { return main.ItemText(0) == "新しい名前"; }, 5000));
    ASSERT_EQ(app.Close(), 0u);
    EXPECT_NE(box.ReadIni().find("Name=新しい名前\r\n"), std::string::npos);
}

TEST(MainWindow, HandWrittenFileIsRewrittenAtStart) {
    Sandbox box;
    std::string ini = "before any section\r\n[Setting]\r\n; a comment\r\nVersion=0.3\r\n"
                      "View=0x2\r\nQuitTimeout=abc\r\n\r\n\r\n[0]\r\nname=小文字\r\n"
                      "Program=C:\\x.exe\r\nUnknown=kept\r\n";
    box.WriteIni(ini);
    AppProcess app(box);
    MainWindow main = app.Main();
    WaitForLoad(box, ini);
    std::string loaded = box.ReadIni();
    EXPECT_EQ(loaded, "[Setting]\r\nVersion=0.3\r\nView=0x2\r\nQuitTimeout=abc\r\n\r\n"
                      "[0]\r\nname=小文字\r\nProgram=C:\\x.exe\r\nUnknown=kept\r\n\r\n");
    EXPECT_EQ(main.ViewType(), static_cast<DWORD>(LVS_LIST));
    EXPECT_EQ(main.ItemText(0), "小文字"); // a lower-case key is found

    ASSERT_EQ(app.Close(), 0u);
    std::string saved = box.ReadIni();
    EXPECT_NE(saved.find("QuitTimeout=5\r\n"), std::string::npos); // letters read as 5
    EXPECT_NE(saved.find("View=2\r\n"), std::string::npos);
    EXPECT_NE(saved.find("name=小文字\r\n"), std::string::npos); // replaced in place
    EXPECT_NE(saved.find("Unknown=kept\r\n"), std::string::npos);
}

TEST(MainWindow, StatusTextFollowsTheSelection) {
    Sandbox box;
    std::string both = App(1, "both", "C:\\b.exe");
    both.replace(both.find("Run=0"), 5, "Run=1");
    std::string none = App(2, "none", "C:\\n.exe");
    none.replace(none.find("Quit=1"), 6, "Quit=0");
    box.WriteIni(Known(App(0, "quit", "C:\\q.exe") + both + none));
    AppProcess app(box);
    MainWindow main = app.Main();
    EXPECT_EQ(main.StatusText(), "3個のアプリケーション");
    EXPECT_FALSE(ToolbarButtonEnabled(main.Toolbar(), ID_ACT_CLOSE));
    main.Select({1});
    EXPECT_TRUE(main.WaitStatus("1個のアプリケーションを選択(終了＆起動)"));
    EXPECT_TRUE(ToolbarButtonEnabled(main.Toolbar(), ID_ACT_CLOSE));
    main.Select({2});
    EXPECT_TRUE(main.WaitStatus("1個のアプリケーションを選択"));
    main.Select({0, 2});
    EXPECT_TRUE(main.WaitStatus("2個のアプリケーションを選択"));
    main.Select({});
    EXPECT_TRUE(main.WaitStatus("3個のアプリケーション"));
    EXPECT_FALSE(ToolbarButtonEnabled(main.Toolbar(), ID_ACT_CLOSE));
}

TEST(MainWindow, ViewStylesAndStatusBarAreSaved) {
    Sandbox box;
    box.WriteIni(Known(""));
    AppProcess app(box);
    MainWindow main = app.Main();
    main.Command(ID_ACT_LARGEICON);
    ASSERT_TRUE(WaitUntil([&] { return main.ViewType() == LVS_ICON; }, 5000));
    main.Command(ID_ACT_SMALLICON);
    ASSERT_TRUE(WaitUntil([&] { return main.ViewType() == LVS_SMALLICON; }, 5000));
    main.Command(ID_ACT_STATUS);
    ASSERT_TRUE(WaitUntil([&] { return !main.StatusVisible(); }, 5000));
    ASSERT_EQ(app.Close(), 0u);
    std::string saved = box.ReadIni();
    EXPECT_NE(saved.find("View=1\r\n"), std::string::npos);
    EXPECT_NE(saved.find("Status=0\r\n"), std::string::npos);
    // Column widths outside the report view are the last known ones.
    EXPECT_NE(saved.find("Column0=180\r\n"), std::string::npos);
}

TEST(MainWindow, SecondStartBringsTheFirstToTheFrontAndQuitsNothing) {
    Sandbox box({"quit_target.exe"});
    Process target =
        Process::Start(box.Path("quit_target.exe"), "--log \"" + box.Path("q.log") + "\"");
    HWND targetWindow = target.WaitForWindow("VakoPlainWindow", 10000);
    ASSERT_NE(targetWindow, nullptr);
    box.WriteIni(Known(App(0, "target", box.Path("quit_target.exe"))));
    AppProcess first(box);
    MainWindow main = first.Main();
    ShowWindow(main.Hwnd(), SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main.Hwnd()); }, 5000));

    for (const char* args : {"-q", ""}) {
        Process second = Process::Start(box.ExePath(), args, box.Dir());
        EXPECT_EQ(second.WaitExit(10000), std::optional<DWORD>(0)) << args;
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main.Hwnd()) != FALSE; }, 5000));
        ShowWindow(main.Hwnd(), SW_HIDE);
    }
    // A minimised first window is restored, not only shown.
    ShowWindow(main.Hwnd(), SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(main.Hwnd()) != FALSE; }, 5000));
    {
        Process second = Process::Start(box.ExePath(), "", box.Dir());
        EXPECT_EQ(second.WaitExit(10000), std::optional<DWORD>(0));
        EXPECT_TRUE(WaitUntil(
            [&] { return !IsIconic(main.Hwnd()) && IsWindowVisible(main.Hwnd()); }, 5000));
    }
    EXPECT_TRUE(first.Running());
    // A quit-all of either start would have posted to the target before now.
    ASSERT_TRUE(MarkLog(targetWindow, box.Path("q.log")));
    EXPECT_TRUE(MessagesBeforeMarker(box.Path("q.log")).empty());
    EXPECT_EQ(FindProcesses("VakoQuit.exe").size(), 1u);
}

// A first instance running with other rights (elevated) holds a mutex this one may
// not open; it is another instance all the same, and no second window comes up.
TEST(MainWindow, AMutexThatCannotBeOpenedMeansAnotherInstance) {
    Sandbox box;
    PSECURITY_DESCRIPTOR denyAll = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:", SDDL_REVISION_1,
                                                                     &denyAll, nullptr));
    SECURITY_ATTRIBUTES sa = {sizeof sa, denyAll, FALSE};
    win::Handle mutex(CreateMutexA(&sa, FALSE, "MyVakoquitMutex"));
    LocalFree(denyAll);
    ASSERT_TRUE(mutex);
    win::Handle probe(OpenMutexA(SYNCHRONIZE, FALSE, "MyVakoquitMutex"));
    if (probe || GetLastError() != ERROR_ACCESS_DENIED)
        GTEST_SKIP() << "Wine deviation: a mutex's empty DACL does not refuse its opening";
    Process second = Process::Start(box.ExePath(), "", box.Dir());
    EXPECT_EQ(second.WaitExit(10000), std::optional<DWORD>(0));
    // A start that went on would have written its settings file.
    EXPECT_FALSE(FileExists(box.IniPath()));
}

TEST(MainWindow, UnwritableSettingsFileIsReportedOnceAndKept) {
    Sandbox box;
    std::string ini = Known(App(0, "keep", "C:\\k.exe"));
    box.WriteIni(ini);
    SetFileAttributesA(box.IniPath().c_str(), FILE_ATTRIBUTE_READONLY);
    AppProcess app(box);
    std::vector<AnsweredBox> boxes;
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return !boxes.empty(); }, 10000, boxes));
    EXPECT_EQ(boxes[0].caption, "エラー");
    EXPECT_NE(boxes[0].text.find(box.IniPath()), std::string::npos);
    MainWindow main = app.Main();
    main.Command(ID_ACT_LIST);
    // Closing still works, says nothing more, and the file is as it was.
    Post(main.Hwnd(), WM_CLOSE);
    EXPECT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return !app.Running(); }, 10000, boxes));
    EXPECT_EQ(boxes.size(), 1u);
    SetFileAttributesA(box.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(box.ReadIni(), ini);
    EXPECT_FALSE(FileExists(box.IniPath() + ".new"));
}

// A settings file that another program holds locked at the start is no first start:
// one box names it, the list stays empty, and neither the start, the session's end
// nor the close writes over the user's list once the file is free again. Locked only
// at the close, the file is reported as well and kept.
TEST(MainWindow, UnreadableSettingsFileIsReportedOnceAndNeverOverwritten) {
    Sandbox box;
    const std::string ini = Known(App(0, "keep", "C:\\k.exe"));
    box.WriteIni(ini);
    win::FileHandle lock(CreateFileA(box.IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    AppProcess app(box);
    std::vector<AnsweredBox> boxes;
    // Every box up to the window's showing is answered and counted: a write-back at
    // the start would add its own.
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return app.WaitForMainWindow(0) != nullptr; }, 10000, boxes));
    ASSERT_EQ(boxes.size(), 1u) << boxes.back().text;
    EXPECT_EQ(boxes[0].caption, "エラー");
    EXPECT_EQ(boxes[0].text.find("設定ファイルを読み込めませんでした。\n" + box.IniPath() + "\n"),
              0u)
        << boxes[0].text;
    MainWindow main = app.Main();
    // The window was activated before its message loop ran; a greeting posted then
    // is up once a second barrier has passed.
    ASSERT_TRUE(main.WaitPostedHandled());
    ASSERT_TRUE(main.WaitPostedHandled());
    EXPECT_EQ(FindMessageBox(app.Id()), nullptr) << "a greeting or a second box";
    EXPECT_EQ(main.ItemCount(), 0);
    EXPECT_EQ(main.StatusText(), "0個のアプリケーション");

    lock.reset();
    Send(main.Hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    Post(main.Hwnd(), WM_CLOSE);
    EXPECT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return !app.Running(); }, 10000, boxes));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(box.ReadIni(), ini);
    EXPECT_FALSE(FileExists(box.IniPath() + ".new"));

    // Read at the start, locked by the close: the save says so once and leaves it.
    AppProcess again(box);
    MainWindow shown = again.Main();
    ASSERT_TRUE(shown.WaitItemCount(1, 10000));
    lock.reset(CreateFileA(box.IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    boxes.clear();
    Post(shown.Hwnd(), WM_CLOSE);
    EXPECT_TRUE(WaitAnsweringBoxes(
        again.Id(), [&] { return !again.Running(); }, 10000, boxes));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.find("設定ファイルを読み込めませんでした。\n" + box.IniPath() + "\n"),
              0u)
        << boxes[0].text;
    lock.reset();
    EXPECT_EQ(box.ReadIni(), ini);
}

namespace {

// The screen's pixels where list item `item` shows its picture.
std::vector<COLORREF> ItemPicture(HWND list, int item) {
    RECT rc = ListItemRect(list, item, LVIR_ICON);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x)
            pixels.push_back(GetPixel(screen, x, y));
    }
    ReleaseDC(nullptr, screen);
    return pixels;
}

} // namespace

TEST(MainWindow, EveryEntryHasAPictureOfItsOwnWithOrWithoutAnIcon) {
    const std::string notepad = "C:\\windows\\system32\\notepad.exe";
    Sandbox box({"quit_target.exe"});
    box.WriteIni(Known(App(0, "no file", "C:\\nowhere\\gone.exe") + App(1, "メモ帳", notepad) +
                       App(2, "also gone", "C:\\nowhere\\none.exe") + App(3, "メモ帳 2", notepad)));
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_EQ(main.ItemCount(), 4);
    // A missing program file keeps its row's picture, so the rows after it keep theirs.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ListItemImage(main.List(), i), i);
    // The program's icon replaces the stand-in, and a program registered twice shows
    // it twice though its file is read once.
    const std::vector<COLORREF> standIn = ItemPicture(main.List(), 0);
    ASSERT_FALSE(standIn.empty());
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ItemPicture(main.List(), 1) != standIn &&
                   ItemPicture(main.List(), 3) == ItemPicture(main.List(), 1);
        },
        10000));
    EXPECT_EQ(ItemPicture(main.List(), 2), standIn);
}

TEST(MainWindow, ShortcutKeysRunActionsButNotWhileANameIsEdited) {
    Sandbox box;
    box.WriteIni(Known(App(0, "one", "C:\\one.exe")));
    AppProcess app(box);
    MainWindow main = app.Main();
    main.Select({0});
    ASSERT_TRUE(FocusWindow(main.Hwnd()));
    SetForegroundWindow(main.Hwnd());
    SendKeys({'D'}, {VK_CONTROL});
    HWND question = FindMessageBox(app.Id(), 5000);
    ASSERT_NE(question, nullptr); // Ctrl+D asks to delete
    ASSERT_TRUE(AnswerMessageBox(question, IDNO));

    HWND edit = reinterpret_cast<HWND>(Send(main.List(), LVM_EDITLABELA, 0));
    ASSERT_NE(edit, nullptr);
    SendKeys({'D'}, {VK_CONTROL});
    SendKeys({'X'});
    // Keys arrive in order: once the letter is in the box, Ctrl+D has been handled.
    ASSERT_TRUE(
        WaitUntil([&] { return WindowText(edit).find_first_of("xX") != std::string::npos; }, 5000));
    EXPECT_EQ(FindTopWindow(app.Id(), "#32770"), nullptr);
    Post(edit, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(main.ItemCount(), 1);
}

namespace {

// The settings of a program that has run before, in the list style with column
// widths of its own, as a save writes them.
std::string ListStyleSettings(int view, const std::string& apps, int firstWidth = 250) {
    std::string ini = kSettingSection;
    ini.replace(ini.find("View=3"), 6, "View=" + std::to_string(view));
    const std::string widths = "Column0=180\r\nColumn1=50\r\nColumn2=50";
    ini.replace(ini.find(widths), widths.size(),
                "Column0=" + std::to_string(firstWidth) + "\r\nColumn1=60\r\nColumn2=70");
    return ini + apps;
}

// Wine's own programs, so that the guide's pictures of each view show real icons;
// the first column narrower than the default, so that all three fit the window.
std::string ThreePrograms() {
    return App(0, "メモ帳", "C:\\windows\\system32\\notepad.exe") +
           App(1, "マインスイーパ", "C:\\windows\\system32\\winemine.exe") +
           App(2, "ワードパッド", "C:\\windows\\system32\\wordpad.exe");
}
constexpr int kNarrowFirstColumn = 150;

void ShowView(const MainWindow& main, WORD command, DWORD type) {
    main.Command(command);
    ASSERT_TRUE(WaitUntil([&] { return main.ViewType() == type; }, 5000));
}

} // namespace

TEST(MainWindow, LoadedColumnWidthsSurviveEveryViewAndAreWrittenBackUnchanged) {
    Sandbox box;
    const std::string ini = ListStyleSettings(2, ThreePrograms(), kNarrowFirstColumn);
    box.WriteIni(ini);
    {
        AppProcess app(box);
        ASSERT_TRUE(app.Main().WaitItemCount(3));
        ASSERT_EQ(app.Close(), 0u);
        EXPECT_EQ(box.ReadIni(), ini); // a start and a close change nothing
    }
    {
        AppProcess app(box);
        MainWindow main = app.Main();
        ASSERT_TRUE(main.WaitItemCount(3));
        ShowView(main, ID_ACT_LARGEICON, LVS_ICON);
        EXPECT_TRUE(ShotForGuide(main.Hwnd(), "main_largeicon"));
        ShowView(main, ID_ACT_SMALLICON, LVS_SMALLICON);
        EXPECT_TRUE(ShotForGuide(main.Hwnd(), "main_smallicon"));
        ShowView(main, ID_ACT_LIST, LVS_LIST);
        EXPECT_TRUE(ShotForGuide(main.Hwnd(), "main_list"));
        ASSERT_EQ(app.Close(), 0u);
        EXPECT_EQ(box.ReadIni(), ini);
    }
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(3));
    ShowView(main, ID_ACT_REPORT, LVS_REPORT);
    EXPECT_EQ(main.ColumnWidth(0), kNarrowFirstColumn);
    EXPECT_EQ(main.ColumnWidth(1), 60);
    EXPECT_EQ(main.ColumnWidth(2), 70);
    EXPECT_TRUE(ShotForGuide(main.Hwnd(), "main_report"));
    ASSERT_EQ(app.Close(), 0u);
    EXPECT_EQ(box.ReadIni(), ListStyleSettings(3, ThreePrograms(), kNarrowFirstColumn));
}

TEST(MainWindow, LongNamesAreNotCutInTheListStyle) {
    Sandbox box;
    const std::string shortName = "短い";
    const std::string longName = "とても長い名前のアプリケーション・その一二三四五六七八九十";
    const std::string longer = longName + "・さらに長く";
    box.WriteIni(
        ListStyleSettings(2, App(0, shortName, "C:\\a.exe") + App(1, longName, "C:\\b.exe")));
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(2));
    // The whole text fits into the label, and the label into the item's box (the box
    // is the list's item width, which the label may be clipped to or may overflow).
    auto labelFits = [&](int item, const std::string& text) {
        int width = ListStringWidth(main.List(), text);
        RECT label = ListItemRect(main.List(), item, LVIR_LABEL);
        RECT box = ListItemRect(main.List(), item, LVIR_BOUNDS);
        return width > 0 && label.right - label.left >= width && box.right >= label.left + width;
    };
    EXPECT_TRUE(labelFits(1, longName));
    // A name that grows by renaming widens the items as well.
    ASSERT_TRUE(main.Rename(0, longer));
    ASSERT_TRUE(WaitUntil([&] { return main.ItemText(0) == longer; }, 5000));
    EXPECT_TRUE(labelFits(0, longer));
    // And so does a return from another view.
    ShowView(main, ID_ACT_REPORT, LVS_REPORT);
    ShowView(main, ID_ACT_LIST, LVS_LIST);
    EXPECT_TRUE(labelFits(0, longer));
    EXPECT_TRUE(labelFits(1, longName));
}

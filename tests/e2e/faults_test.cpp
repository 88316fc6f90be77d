// The program under faults: killed while it saves, the session ending under it,
// a huge and damaged settings file, a full table, a missing Startup folder and a
// shortcut with an over-long target.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"
#include "steps.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <random>

using namespace e2e;

namespace {

const char kTableFull[] = "これ以上アプリケーションを登録できません（最大256個）";
const char kNoStartupFolder[] = "スタートアップフォルダが見つかりません";

std::string Apps(int count, int first = 0) {
    std::string s;
    for (int i = first; i < first + count; ++i)
        s += App(i, "app" + std::to_string(i), "C:\\apps\\app" + std::to_string(i) + ".exe");
    return s;
}

// Every action that a long operation disables is enabled again.
void ExpectBusyActionsEnabled(const MainWindow& main) {
    for (int id : {ID_ACT_ADD, ID_ACT_ALLQUIT, ID_ACT_ALLRUN, ID_ACT_STARTUPREAD})
        EXPECT_TRUE(ToolbarButtonEnabled(main.Toolbar(), id)) << id;
}

// Moves the prefix's Startup folder away for one test and back afterwards.
class StartupFolderAway {
  public:
    StartupFolderAway() : folder_(StartupFolder()), away_(folder_ + ".away") {
        moved_ = MoveFileA(folder_.c_str(), away_.c_str()) != FALSE;
    }
    ~StartupFolderAway() {
        if (moved_)
            MoveFileA(away_.c_str(), folder_.c_str());
    }
    bool Moved() const { return moved_; }

  private:
    std::string folder_;
    std::string away_;
    bool moved_ = false;
};

bool InstanceMutexExists() {
    HANDLE h = OpenMutexA(SYNCHRONIZE, FALSE, "MyVakoquitMutex");
    if (h)
        CloseHandle(h);
    return h != nullptr;
}

// How many kill trials: VAKO_KILL_TRIALS, else a number that keeps `make test` short.
int KillTrials() {
    const char* v = std::getenv("VAKO_KILL_TRIALS");
    int n = v ? std::atoi(v) : 0;
    return n > 0 ? n : 20;
}

} // namespace

// Logging off or shutting down ends the program without a WM_CLOSE. The entry added
// since the start must reach the file then, byte for byte what a close would save.
TEST(Faults, SessionEndSavesWhatWasAddedSinceTheStart) {
    Sandbox box({"quit_target.exe"});
    box.WriteIni(Known());
    AppProcess app(box);
    MainWindow main = app.Main();
    ChooseInOpenDialog(app, box.Path("quit_target.exe"));
    ASSERT_TRUE(main.WaitItemCount(1, 10000));
    const std::string program = "Program=" + box.Path("quit_target.exe") + "\r\n";
    ASSERT_EQ(box.ReadIni().find(program), std::string::npos);

    EXPECT_EQ(Send(main.Hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    Send(main.Hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF); // the end was cancelled
    EXPECT_EQ(box.ReadIni().find(program), std::string::npos);
    Send(main.Hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    const std::string saved = box.ReadIni();
    EXPECT_NE(saved.find(program), std::string::npos);
    EXPECT_TRUE(app.Running());

    ASSERT_EQ(app.Close(), 0u);
    EXPECT_EQ(box.ReadIni(), saved);
}

// Killed at a random moment of its save, the program leaves either the complete
// old file or the complete new one, and starts again with it. The old file holds a
// stale section that the save erases, so old and new differ.
TEST(Faults, KilledWhileSavingLeavesTheOldOrTheNewFile) {
    Sandbox box;
    std::string filler = "[Unknown]\r\n";
    for (int i = 0; i < 20000; ++i)
        filler += "key" + std::to_string(i) + "=" + std::string(40, 'v') + "\r\n";
    const std::string oldFile = Known(Apps(200) + "[250]\r\nName=stale\r\n\r\n" + filler + "\r\n");

    // One undisturbed close gives the new file and the length of the save.
    box.WriteIni(oldFile);
    DWORD saveMs = 0;
    std::string newFile;
    {
        AppProcess app(box);
        MainWindow main = app.Main();
        ASSERT_TRUE(main.WaitItemCount(200, 20000));
        ASSERT_EQ(box.ReadIni(), oldFile); // the start wrote it back unchanged
        DWORD start = GetTickCount();
        Post(main.Hwnd(), WM_CLOSE);
        ASSERT_TRUE(app.WaitExit(30000).has_value());
        saveMs = GetTickCount() - start;
        newFile = box.ReadIni();
    }
    ASSERT_NE(newFile, oldFile);
    ASSERT_EQ(newFile.find("stale"), std::string::npos);

    std::mt19937 random(12345);
    std::uniform_int_distribution<DWORD> delay(0, saveMs + saveMs / 4);
    const int trials = KillTrials();
    int olds = 0, news = 0, broken = 0;
    const DWORD begin = GetTickCount();
    for (int t = 0; t < trials; ++t) {
        box.WriteIni(oldFile);
        AppProcess app(box);
        MainWindow main = app.Main(30000);
        ASSERT_TRUE(main.WaitItemCount(200, 20000));
        Post(main.Hwnd(), WM_CLOSE);
        Sleep(delay(random)); // the kill lands at a random point of the save
        app.process().Terminate();
        ASSERT_TRUE(app.WaitExit(10000).has_value());
        // The next start must not take the dying one's mutex for a running instance.
        ASSERT_TRUE(WaitUntil([] { return !InstanceMutexExists(); }, 10000));
        const std::string now = box.ReadIni();
        if (now == oldFile)
            ++olds;
        else if (now == newFile)
            ++news;
        else
            ++broken;
    }
    std::printf("kill during save: %d trials in %lu ms (save %lu ms): %d old, %d new, %d broken\n",
                trials, static_cast<unsigned long>(GetTickCount() - begin),
                static_cast<unsigned long>(saveMs), olds, news, broken);
    EXPECT_EQ(broken, 0);

    AppProcess again(box);
    EXPECT_TRUE(again.Main().WaitItemCount(200, 20000));
}

// 10 MB: a 4 MB line, 1,000 sections of long lines, then a NUL byte, after which
// nothing counts. The program shows the two applications before it and closes.
TEST(Faults, HugeDamagedSettingsFileShowsWhatItCanAndCloses) {
    Sandbox box;
    std::string ini = Known(Apps(2)) + "[Long]\r\nline=" + std::string(4 << 20, 'x') + "\r\n\r\n";
    for (int i = 0; i < 1000; ++i)
        ini += "[s" + std::to_string(i) + "]\r\nk=" + std::string(5000, 'v') + "\r\n\r\n";
    ini += std::string(1, '\0') + App(2, "hidden", "C:\\hidden.exe");
    ini += std::string((10 << 20) - ini.size(), 'z');
    box.WriteIni(ini);

    AppProcess app(box);
    MainWindow main = app.Main(60000);
    ASSERT_TRUE(main.WaitItemCount(2, 60000));
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"app0", "app1"}));
    const DWORD start = GetTickCount();
    ASSERT_EQ(app.Close(120000), 0u);
    std::printf("10 MB settings file: closed in %lu ms\n",
                static_cast<unsigned long>(GetTickCount() - start));

    const std::string saved = box.ReadIni();
    EXPECT_EQ(saved.find('\0'), std::string::npos);
    EXPECT_EQ(saved.find("hidden"), std::string::npos);
    EXPECT_NE(saved.find("[s999]\r\n"), std::string::npos);
    EXPECT_NE(saved.find(std::string(4 << 20, 'x')), std::string::npos);
}

// 256 applications fill the table: one more from the open dialog gets its own
// box and changes nothing; an import of 257 shortcuts takes 256 and says so.
TEST(Faults, FullTableRefusesTheOpenDialogAndTheImportSaysWhatItLeftOut) {
    Sandbox box({"quit_target.exe"});
    box.WriteIni(Known(Apps(256)));
    ComScope com;
    StartupShortcuts startup;
    for (int i = 0; i < 257; ++i)
        startup.Add("s" + std::to_string(i), box.Path("quit_target.exe"));

    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(256, 20000));
    ChooseInOpenDialog(app, box.Path("quit_target.exe"));
    AnsweredBox full = NextBox(app);
    EXPECT_EQ(full.caption, "エラー");
    EXPECT_EQ(full.text, kTableFull);
    EXPECT_EQ(main.ItemCount(), 256);

    main.Command(ID_ACT_STARTUPREAD);
    std::vector<AnsweredBox> boxes;
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return boxes.size() == 2; }, 60000, boxes));
    EXPECT_EQ(boxes[0].caption, "確認");
    EXPECT_EQ(boxes[1].text,
              "登録できるのは256個までのため、1個のショートカットは取り込みませんでした");
    EXPECT_EQ(main.ItemCount(), 256);
    ExpectBusyActionsEnabled(main);
    ASSERT_EQ(app.Close(), 0u);
    EXPECT_NE(box.ReadIni().find("[255]\r\nName=s"), std::string::npos);
}

// Without a Startup folder the import stops before it discards anything, says why,
// and leaves the actions enabled.
TEST(Faults, MissingStartupFolderKeepsTheListAndTheActions) {
    Sandbox box;
    box.WriteIni(Known(Apps(2)));
    StartupFolderAway away;
    ASSERT_TRUE(away.Moved());
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(2, 10000));
    main.Command(ID_ACT_STARTUPREAD);
    std::vector<AnsweredBox> boxes;
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return boxes.size() == 2; }, 10000, boxes));
    EXPECT_EQ(boxes[1].caption, "エラー");
    EXPECT_EQ(boxes[1].text, kNoStartupFolder);
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"app0", "app1"}));
    ExpectBusyActionsEnabled(main);
}

// Shortcuts the import cannot use — a target path longer than the 259 characters a
// path may have, a shell folder without a path, a file that is no shell link — are
// passed over and counted; the good ones around them are all imported.
TEST(Faults, ShortcutWithAnOverLongTargetIsImportedWithoutHarm) {
    Sandbox box({"quit_target.exe"});
    box.WriteIni(Known(Apps(1)));
    std::string longTarget = box.Dir();
    while (longTarget.size() < 300)
        longTarget += "very long folder name\\";
    longTarget += "tool.exe";
    ComScope com;
    StartupShortcuts startup;
    startup.Add("long", longTarget);
    startup.Add("short", box.Path("quit_target.exe"));
    startup.AddShellFolder("PC", CSIDL_DRIVES);
    startup.AddFile("garbage.lnk", "this is no shortcut");
    startup.Add("second", box.CopyFromBin("quit_target.exe", "second.exe"));

    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(1, 10000));
    main.Command(ID_ACT_STARTUPREAD);
    std::vector<AnsweredBox> boxes;
    // The import's question, then its one completion box.
    ASSERT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return boxes.size() >= 2; }, 10000, boxes));
    std::vector<std::string> names = main.Names();
    std::printf("shortcuts the import cannot use: entries:");
    for (const std::string& n : names)
        std::printf(" %s", n.c_str());
    std::printf("\n");
    for (const AnsweredBox& b : boxes)
        std::printf("  box: %s / %s\n", b.caption.c_str(), b.text.c_str());
    auto has = [&](const char* name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    EXPECT_TRUE(has("short"));
    EXPECT_TRUE(has("second"));
    EXPECT_FALSE(has("PC"));
    EXPECT_FALSE(has("garbage"));
    EXPECT_FALSE(has("app0"));
    // The shell may hand back a shortened over-long path (the 64-bit one does); the
    // 32-bit one fails to, and then that shortcut is counted too.
    const int skipped = has("long") ? 2 : 3;
    EXPECT_EQ(names.size(), static_cast<size_t>(5 - skipped));
    EXPECT_EQ(boxes[1].text, std::string("読み取れないか、ファイルを指していないため、") +
                                 std::to_string(skipped) +
                                 "個のショートカットは取り込みませんでした");
    ExpectBusyActionsEnabled(main);
    ASSERT_EQ(app.Close(), 0u);
}

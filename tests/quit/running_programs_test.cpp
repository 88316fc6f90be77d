// The running programs a user may register: the owners of the desktop's top-level
// windows, hidden ones included, read with their whole paths.
#include "quit/running_programs.h"
#include "win/ansi_path.h"

#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Lower(std::string s) {
    CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

const TRunningProgram* FindPath(const std::vector<TRunningProgram>& programs,
                                const std::string& path) {
    for (const TRunningProgram& p : programs) {
        if (Lower(p.Path) == Lower(path))
            return &p;
    }
    return nullptr;
}

// The reader and the short forms stand for one target whose path the code page
// cannot hold; every other process reads as it is.
DWORD g_fakePid = 0;
std::wstring g_fakePath;
std::wstring g_fakeShort;
std::wstring FakeImage(DWORD pid) {
    return pid == g_fakePid ? g_fakePath : ProcessImagePathW(pid);
}
std::wstring FakeShort(const std::wstring&) {
    return g_fakeShort;
}

struct ShortPathsRestored {
    ~ShortPathsRestored() { win::SetShortPathReader(nullptr); }
};

std::wstring WindowsFolderW() {
    wchar_t buf[MAX_PATH] = {};
    GetWindowsDirectoryW(buf, MAX_PATH);
    return buf;
}

} // namespace

// A tray program has hidden windows only, a 64-bit one is read across the WOW64
// border by its real path, and a program with two windows is listed once.
TEST(RunningPrograms, HiddenAnd64BitOwnersListedOnceWithTheirPaths) {
    const std::string dir = qt::NewTempDir();
    qt::Target tray(qt::TargetPath(), dir + "tray.log", "--mode resident --count 2");
    qt::Target t64(qt::Target64Path(), dir + "t64.log", "--count 2 --title Vako64");
    ASSERT_TRUE(tray.Ready());
    ASSERT_TRUE(t64.Ready());
    // A window of this process, which must never list itself.
    HWND own = CreateWindowExA(0, "STATIC", "own", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(own, nullptr);

    const std::vector<TRunningProgram> programs = ReadRunningPrograms(GetCurrentProcessId());
    DestroyWindow(own);
    const TRunningProgram* trayEntry = FindPath(programs, qt::TargetPath());
    const TRunningProgram* entry64 = FindPath(programs, qt::Target64Path());
    ASSERT_NE(trayEntry, nullptr);
    ASSERT_NE(entry64, nullptr);
    EXPECT_FALSE(trayEntry->InWindowsFolder);
    EXPECT_EQ(win::WideFromAnsi(trayEntry->Path), trayEntry->WidePath);
    EXPECT_EQ(FindPath(programs, qt::OwnExePath()), nullptr);
    const auto same64 =
        std::count_if(programs.begin(), programs.end(), [](const TRunningProgram& p) {
            return Lower(p.Path) == Lower(qt::Target64Path());
        });
    EXPECT_EQ(same64, 1);
}

// A path the code page cannot hold is kept by its short form, and left out where it
// has none; one in the Windows folder is marked so.
TEST(RunningPrograms, PathOutsideTheCodePageByItsShortFormOrLeftOut) {
    ShortPathsRestored restore;
    const std::string dir = qt::NewTempDir();
    qt::Target target(qt::TargetPath(), dir + "t.log", "");
    ASSERT_TRUE(target.Ready());
    g_fakePid = target.Pid();
    g_fakePath = L"C:\\apps\\J\u00fcrgen\\mine.exe";
    g_fakeShort = L"C:\\apps\\JRGEN~1\\mine.exe";
    win::SetShortPathReader(&FakeShort);
    std::vector<TRunningProgram> programs = ReadRunningPrograms(GetCurrentProcessId(), &FakeImage);
    const TRunningProgram* entry = FindPath(programs, "C:\\apps\\JRGEN~1\\mine.exe");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->WidePath, g_fakePath);

    g_fakeShort.clear();
    programs = ReadRunningPrograms(GetCurrentProcessId(), &FakeImage);
    for (const TRunningProgram& p : programs)
        EXPECT_NE(p.WidePath, g_fakePath);

    g_fakePath = WindowsFolderW() + L"\\system32\\notepad.exe";
    programs = ReadRunningPrograms(GetCurrentProcessId(), &FakeImage);
    const auto found = std::find_if(programs.begin(), programs.end(), [](const TRunningProgram& p) {
        return p.WidePath == g_fakePath;
    });
    ASSERT_NE(found, programs.end());
    EXPECT_TRUE(found->InWindowsFolder);
}

TEST(RunningPrograms, NeitherItselfItsHelperNorTheShellsProcessesAreOffered) {
    const std::string windows = win::BestFitAnsi(WindowsFolderW());
    auto program = [](const std::string& path, bool inWindows) {
        TRunningProgram p;
        p.Path = path;
        p.WidePath = win::WideFromAnsi(path);
        p.InWindowsFolder = inWindows;
        return p;
    };
    const std::string own = "C:\\Tools\\Vako\\VakoQuit.exe";
    EXPECT_FALSE(OffersRunningProgram(program("c:\\tools\\vako\\VAKOQUIT.EXE", false), own));
    EXPECT_FALSE(OffersRunningProgram(program("C:\\Tools\\Vako\\VakoHook64.exe", false), own));
    EXPECT_TRUE(OffersRunningProgram(program("C:\\Other\\VakoHook64.exe", false), own));
    for (const char* shell : {"explorer.exe", "system32\\conhost.exe", "system32\\svchost.exe",
                              "system32\\ctfmon.exe", "system32\\winedevice.exe"})
        EXPECT_FALSE(OffersRunningProgram(program(windows + "\\" + shell, true), own)) << shell;
    EXPECT_TRUE(OffersRunningProgram(program(windows + "\\system32\\notepad.exe", true), own));
    EXPECT_TRUE(OffersRunningProgram(program("C:\\Program Files\\Memo\\memo.exe", false), own));

    EXPECT_TRUE(LiesInFolder(L"C:\\WINDOWS\\system32\\a.exe", L"c:\\windows"));
    EXPECT_TRUE(LiesInFolder(L"c:\\windows\\a.exe", L"C:\\Windows\\"));
    EXPECT_FALSE(LiesInFolder(L"C:\\WindowsApps\\a.exe", L"C:\\Windows"));
}

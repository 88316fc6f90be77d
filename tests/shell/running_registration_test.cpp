// Registering programs that run now: what is offered, and the registration of the
// ticked ones through the add command's own steps.
#include "app/running_registration.h"

#include "fake_registration_host.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace testing_shell;

namespace {

class RunningRegistration : public ::testing::Test {
  protected:
    ComScope com;
    TempDir dir{"running"};
    FakeHost host;

    void AddSilently(const std::string& path) {
        BoxAnswerer boxes;
        AddProgram(host, path);
        EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;
    }
};

} // namespace

// The running programs offered: what the add command would take, named by the file
// description first; registered ones marked, whatever it would refuse left out.
TEST_F(RunningRegistration, RunningProgramsOfferedAsTheAddCommandTakesThem) {
    const std::string registered = dir.CopyBin("shell_ver_none.exe", "registered.exe");
    AddSilently(registered);
    std::string upper = registered;
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    char shortForm[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(registered.c_str(), shortForm, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortForm), registered);
    const std::string described = dir.CopyBin("shell_ver_noname.exe", "described.exe");
    const std::string spaced = dir.CopyBin("shell_ver_spaced.exe", "spaced.exe");
    const std::string plain = dir.CopyBin("shell_ver_empty.exe", "Plain Tool.exe");
    std::vector<TRunningProgram> programs;
    for (const std::string& path :
         {described, upper, std::string(shortForm), host.own,
          std::string(windows) + "\\explorer.exe", dir.Path() + "\\gone.exe",
          dir.CopyBin("shell_ver_none.exe", "taskmgr.exe"), spaced, plain}) {
        TRunningProgram p;
        p.Path = path;
        p.InWindowsFolder = path.find(windows) == 0;
        programs.push_back(p);
    }
    const std::vector<TRunningEntry> entries = RunningEntries(host, programs);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].Name, "no name");
    EXPECT_FALSE(entries[0].Registered);
    EXPECT_EQ(entries[1].Path, upper);
    EXPECT_TRUE(entries[1].Registered);
    EXPECT_EQ(entries[2].Path, shortForm);
    EXPECT_TRUE(entries[2].Registered);
    EXPECT_EQ(entries[3].Name, "表示テスト");
    EXPECT_FALSE(entries[3].Registered);
    EXPECT_EQ(entries[4].Name, "Plain Tool");
    EXPECT_EQ(entries[4].Path, plain);
}

// The ticked programs go in in their order as added program files, until the table
// is full: its box comes once; the first one's slot is the answer.
TEST_F(RunningRegistration, RunningProgramsRegisteredInOrderUntilTheTableIsFull) {
    for (int i = 0; i < kMaxPrograms - 2; ++i) {
        host.table[i].Program = "C:\\nowhere\\p" + std::to_string(i) + ".exe";
        host.table[i].Name = "p" + std::to_string(i);
    }
    const std::string a = dir.CopyBin("shell_ver_noname.exe", "a.exe");
    const std::string b = dir.CopyBin("shell_ver_spaced.exe", "b.exe");
    const std::string c = dir.CopyBin("shell_ver_none.exe", "c.exe");
    const std::string d = dir.CopyBin("shell_ver_none.exe", "d.exe");
    BoxAnswerer boxes;
    boxes.Reply(IDOK);
    EXPECT_EQ(RegisterPrograms(host, {a, b, c, d}), kMaxPrograms - 2);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, kTableFullText);
    EXPECT_EQ(host.table[kMaxPrograms - 2].Program, a);
    // The registered name is the add command's: the product name, else the file name.
    EXPECT_EQ(host.table[kMaxPrograms - 2].Name, "a");
    EXPECT_EQ(host.table[kMaxPrograms - 1].Program, b);
    EXPECT_EQ(host.table[kMaxPrograms - 1].Name, "表示テスト");
    EXPECT_TRUE(host.table[kMaxPrograms - 1].Quit && host.table[kMaxPrograms - 1].Run);
    EXPECT_EQ(host.appended, (std::vector<int>{kMaxPrograms - 2, kMaxPrograms - 1}));
    EXPECT_EQ(RegisterPrograms(host, {}), -1);
}

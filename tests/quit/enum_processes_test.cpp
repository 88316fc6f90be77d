// The process walks, the lookup of a registered program and SameProgram, against
// the real processes of the Wine prefix and against a stand-in system DLL.
#include "core/limits.h"
#include "quit/enum_processes.h"
#include "quit/process_lookup.h"
#include "quit/same_program.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

struct Reported {
    std::string ExeName;
    uint32_t ProcessID;
    intptr_t lParam;
};

// Records what a walk reports; stops after `stopAfter` calls when that is > 0.
struct Recorder {
    std::vector<Reported> calls;
    int stopAfter = 0;
    TEnumProcessesProc Handler() {
        return [this](const std::string& name, uint32_t pid, bool& cont, intptr_t lp) {
            EXPECT_TRUE(cont) << "ContinueEnum must be true on entry";
            calls.push_back({name, pid, lp});
            if (stopAfter > 0 && static_cast<int>(calls.size()) >= stopAfter)
                cont = false;
        };
    }
    const Reported* Find(uint32_t pid) const {
        for (const Reported& r : calls) {
            if (r.ProcessID == pid)
                return &r;
        }
        return nullptr;
    }
};

// Walks bound from other libraries than the system's.
class BoundElsewhere : public TEnumProcesses {
  public:
    BoundElsewhere(const std::string& toolhelp, const std::string& psapi,
                   const std::string& imageName = "Kernel32.dll") {
        toolhelpLibrary_ = toolhelp;
        psapiLibrary_ = psapi;
        imageNameLibrary_ = imageName;
    }
};

std::string FakeDll() {
    return qt::ExeDir() + "fake_sysdll.dll";
}

bool FakeLoaded() {
    return GetModuleHandleA(FakeDll().c_str()) != nullptr;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

// Runs f and returns the message of the EEnumProcesses it throws ("" if none).
template <typename F> std::string ThrownMessage(F f) {
    try {
        f();
    } catch (const EEnumProcesses& e) {
        return e.what();
    }
    return "";
}

struct FakeMode {
    explicit FakeMode(const char* m) { SetEnvironmentVariableA("VAKO_FAKE_MODE", m); }
    ~FakeMode() { SetEnvironmentVariableA("VAKO_FAKE_MODE", nullptr); }
};

} // namespace

TEST(PsapiWalk, ReportsEveryProcessOnceWithItsFullPath) {
    TEnumProcesses walker;
    Recorder rec;
    walker.OnEnum = rec.Handler();
    walker.PsapiWalk(1234);
    ASSERT_GE(rec.calls.size(), 3u); // this test, wineserver's services, explorer ...
    std::map<uint32_t, int> seen;
    for (const Reported& r : rec.calls) {
        EXPECT_EQ(r.lParam, 1234);
        EXPECT_EQ(++seen[r.ProcessID], 1) << r.ProcessID;
    }
    const Reported* self = rec.Find(GetCurrentProcessId());
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(Lower(self->ExeName), Lower(qt::OwnExePath()));

    // The IDs alone, and one process's program file, as the walk gives them.
    std::vector<DWORD> ids;
    ASSERT_TRUE(walker.ProcessIds(ids));
    EXPECT_NE(std::find(ids.begin(), ids.end(), GetCurrentProcessId()), ids.end());
    EXPECT_EQ(Lower(walker.ProgramFileOf(GetCurrentProcessId())), Lower(qt::OwnExePath()));
    EXPECT_EQ(walker.ProgramFileOf(0x7FFFFFF0), "");
}

TEST(PsapiWalk, HandlerEndsTheWalk) {
    TEnumProcesses walker;
    Recorder rec;
    rec.stopAfter = 2;
    walker.OnEnum = rec.Handler();
    walker.PsapiWalk(0);
    EXPECT_EQ(rec.calls.size(), 2u);
}

TEST(ToolhelpWalk, ReportsOwnProcessByItsFileNameAndStopsWhenAsked) {
    TEnumProcesses walker;
    Recorder all;
    walker.OnEnum = all.Handler();
    walker.ToolhelpWalk(77);
    ASSERT_GE(all.calls.size(), 3u);
    const Reported* self = all.Find(GetCurrentProcessId());
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->lParam, 77);
    // On the NT family the snapshot names only the file, not its folder.
    std::string own = qt::OwnExePath();
    EXPECT_EQ(Lower(self->ExeName), Lower(own.substr(own.find_last_of('\\') + 1)));

    Recorder two;
    two.stopAfter = 2;
    walker.OnEnum = two.Handler();
    walker.ToolhelpWalk(0);
    EXPECT_EQ(two.calls.size(), 2u);
}

TEST(Execute, PicksTheWalkByPlatform) {
    struct Probe : TEnumProcesses {
        std::vector<std::string> walks;
        void ToolhelpWalk(intptr_t lp) override {
            walks.push_back("toolhelp:" + std::to_string(lp));
        }
        void PsapiWalk(intptr_t lp) override { walks.push_back("psapi:" + std::to_string(lp)); }
    } probe;
    probe.ExecuteForPlatform(1, 5);
    probe.ExecuteForPlatform(2, 6);
    probe.Execute(7); // Wine reports the NT family
    EXPECT_EQ(probe.walks, (std::vector<std::string>{"toolhelp:5", "psapi:6", "psapi:7"}));
    EXPECT_EQ(ThrownMessage([&] { probe.ExecuteForPlatform(0, 0); }),
              "未対応のプラットフォームです。");
    EXPECT_EQ(ThrownMessage([&] { probe.ExecuteForPlatform(3, 0); }),
              "未対応のプラットフォームです。");
    EXPECT_EQ(probe.walks.size(), 3u);
}

TEST(WalkErrors, LibraryMissingOrWithoutTheFunctions) {
    BoundElsewhere missing("vako_no_such_library.dll", "vako_no_such_library.dll");
    EXPECT_EQ(ThrownMessage([&] { missing.ToolhelpWalk(0); }), "Kernel32.dll がロードできません。");
    EXPECT_EQ(ThrownMessage([&] { missing.PsapiWalk(0); }), "PSAPI.DLL がロードできません。");

    // The library loads but has none of the functions; it must be freed again.
    std::string empty = qt::ExeDir() + "empty_dll.dll";
    BoundElsewhere wrong(empty, empty);
    EXPECT_EQ(ThrownMessage([&] { wrong.ToolhelpWalk(0); }), "API のアドレスを取得できません。");
    EXPECT_EQ(GetModuleHandleA(empty.c_str()), nullptr);
    EXPECT_EQ(ThrownMessage([&] { wrong.PsapiWalk(0); }), "API のアドレスを取得できません。");
    EXPECT_EQ(GetModuleHandleA(empty.c_str()), nullptr);
}

TEST(WalkErrors, EnumProcessesFailureCarriesTheSystemText) {
    FakeMode mode("fail");
    BoundElsewhere fake("Kernel32.dll", FakeDll());
    Recorder rec;
    fake.OnEnum = rec.Handler();
    char expected[256];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             ERROR_ACCESS_DENIED, 0, expected, sizeof expected, nullptr);
    ASSERT_GT(n, 0u);
    std::string text(expected, n);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.pop_back();
    EXPECT_EQ(ThrownMessage([&] { fake.PsapiWalk(0); }), text);
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_FALSE(FakeLoaded());
}

// A full buffer may have been cut short: it is doubled until the IDs leave room.
TEST(PsapiWalkGrowth, FullBufferIsDoubledUntilEveryIdFits) {
    const DWORD first = kFirstProcessIdCount * sizeof(DWORD);
    std::vector<DWORD> asked;
    const DWORD running = 5000;
    auto call = [&](DWORD* pids, DWORD bytes, DWORD* returned) -> BOOL {
        asked.push_back(bytes);
        DWORD n = std::min<DWORD>(bytes / 4, running);
        for (DWORD i = 0; i < n; ++i)
            pids[i] = 4 * (i + 1);
        *returned = n * 4;
        return TRUE;
    };
    std::vector<DWORD> ids = ReadProcessIds(call);
    EXPECT_EQ(asked, (std::vector<DWORD>{first, 2 * first, 4 * first}));
    ASSERT_EQ(ids.size(), running);
    EXPECT_EQ(ids.front(), 4u);
    EXPECT_EQ(ids.back(), 4 * running);

    // Exactly as many IDs as the buffer holds is a full buffer too.
    asked.clear();
    EXPECT_EQ(ReadProcessIds([&](DWORD* pids, DWORD bytes, DWORD* returned) -> BOOL {
                  asked.push_back(bytes);
                  *returned = std::min<DWORD>(bytes, first);
                  std::fill(pids, pids + *returned / 4, 8);
                  return TRUE;
              }).size(),
              kFirstProcessIdCount);
    EXPECT_EQ(asked, (std::vector<DWORD>{first, 2 * first}));

    // The stand-in has 4100 processes: the walk reports each of them.
    FakeMode mode("full");
    BoundElsewhere fake("Kernel32.dll", FakeDll());
    Recorder rec;
    fake.OnEnum = rec.Handler();
    fake.PsapiWalk(0);
    EXPECT_EQ(rec.calls.size(), 4100u);
    EXPECT_FALSE(FakeLoaded());
}

TEST(WalkErrors, SnapshotThatCannotBeTaken) {
    FakeMode mode("nosnap");
    BoundElsewhere fake(FakeDll(), "PSAPI.DLL");
    EXPECT_EQ(ThrownMessage([&] { fake.ToolhelpWalk(0); }),
              "Toolhelp スナップショットが取得できません。");
    EXPECT_FALSE(FakeLoaded());
}

// The stand-in reports this process, a process that does not exist, and this
// process again, with a padded module name first and unreadable modules after.
TEST(PsapiWalkNames, ImageNameFirstAndNeverCarriedOver) {
    FakeMode mode("names");
    BoundElsewhere fake("Kernel32.dll", FakeDll());
    Recorder rec;
    fake.OnEnum = rec.Handler();
    fake.PsapiWalk(3);
    EXPECT_FALSE(FakeLoaded());
    ASSERT_EQ(rec.calls.size(), 3u);
    // Where the system gives the image name, the module list is not read at all.
    EXPECT_EQ(Lower(rec.calls[0].ExeName), Lower(qt::OwnExePath()));
    EXPECT_EQ(rec.calls[1].ExeName, ""); // not the name reported before it
    EXPECT_EQ(rec.calls[1].ProcessID, 0x7FFFFFF0u);
    EXPECT_EQ(Lower(rec.calls[2].ExeName), Lower(qt::OwnExePath()));
}

// Without the image-name function (before Vista) the module list names the process,
// trimmed; a process whose modules cannot be read has no name.
TEST(PsapiWalkNames, WithoutImageNameFunctionTheModuleListNamesIt) {
    FakeMode mode("names");
    BoundElsewhere fake("Kernel32.dll", FakeDll(), FakeDll());
    Recorder rec;
    fake.OnEnum = rec.Handler();
    fake.PsapiWalk(0);
    ASSERT_EQ(rec.calls.size(), 3u);
    EXPECT_EQ(rec.calls[0].ExeName, "C:\\Fake\\padded.exe");
    EXPECT_EQ(rec.calls[2].ExeName, "");
    EXPECT_FALSE(FakeLoaded());
}

TEST(ToolhelpWalkNames, UntrimmedInSnapshotOrderWithTheRightEntrySize) {
    FakeMode mode("normal");
    BoundElsewhere fake(FakeDll(), "PSAPI.DLL");
    Recorder rec;
    fake.OnEnum = rec.Handler();
    fake.ToolhelpWalk(9);
    ASSERT_EQ(rec.calls.size(), 3u); // the stand-in fails an entry whose size is not the system's
    EXPECT_EQ(rec.calls[0].ExeName, " spaced.exe\t");
    EXPECT_EQ(rec.calls[0].ProcessID, 11u);
    EXPECT_EQ(rec.calls[2].ExeName, "third.exe");
    EXPECT_EQ(rec.calls[2].ProcessID, 33u);

    fake.OnEnum = nullptr; // unassigned: walks to the end, reports nothing
    fake.ToolhelpWalk(0);
    EXPECT_FALSE(FakeLoaded());
}

TEST(PsapiWalk, SixtyFourBitProcessFoundWithItsFullPath) {
    std::string dir = qt::NewTempDir();
    qt::Target t64(qt::Target64Path(), dir + "log.txt", "--title Vako64");
    ASSERT_TRUE(t64.Ready());
    TEnumProcesses walker;
    Recorder rec;
    walker.OnEnum = rec.Handler();
    walker.PsapiWalk(0);
    const Reported* r = rec.Find(t64.Pid());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Lower(r->ExeName), Lower(qt::Target64Path()));

    walker.OnEnum = EnumProcessesEnum;
    EXPECT_EQ(FindProcessOf(walker, qt::Target64Path()), t64.Pid());
}

TEST(Lookup, FirstInstanceInWalkOrderAndZeroWhenNotRunning) {
    std::string dir = qt::NewTempDir();
    qt::Target a(qt::TargetPath(), dir + "log.txt", "");
    qt::Target b(qt::TargetPath(), dir + "log.txt", "");
    ASSERT_TRUE(a.Ready() && b.Ready());

    TEnumProcesses walker;
    Recorder order;
    walker.OnEnum = order.Handler();
    walker.PsapiWalk(0);
    uint32_t first = 0;
    for (const Reported& r : order.calls) {
        if (r.ProcessID == a.Pid() || r.ProcessID == b.Pid()) {
            first = r.ProcessID;
            break;
        }
    }
    ASSERT_NE(first, 0u);

    walker.OnEnum = EnumProcessesEnum;
    EXPECT_EQ(FindProcessOf(walker, qt::TargetPath()), first);
    EXPECT_EQ(FindProcessOf(walker, qt::ExeDir() + "vako_not_there.exe"), 0u);
    // A program registered by its 8.3 alias is found running under its long name.
    char alias[MAX_PATH];
    const DWORD n = GetShortPathNameA(qt::TargetPath().c_str(), alias, sizeof alias);
    ASSERT_GT(n, 0u);
    ASSERT_NE(std::string(alias, n).find('~'), std::string::npos);
    EXPECT_EQ(FindProcessOf(walker, std::string(alias, n)), first);
}

// A walk of fixed processes that counts what it is asked.
struct FixedWalk : TEnumProcesses {
    std::vector<std::pair<DWORD, std::string>> running;
    bool listsIds = true;
    int walks = 0;
    int idLists = 0;
    std::vector<DWORD> read;
    void PsapiWalk(intptr_t lp) override {
        ++walks;
        for (const auto& p : running) {
            bool cont = false;
            OnEnum(p.second, p.first, cont, lp);
            EXPECT_TRUE(cont);
        }
    }
    bool ProcessIds(std::vector<DWORD>& ids) override {
        ++idLists;
        ids.clear();
        for (const auto& p : running)
            ids.push_back(p.first);
        return listsIds;
    }
    std::string ProgramFileOf(DWORD pid) override {
        read.push_back(pid);
        for (const auto& p : running) {
            if (p.first == pid)
                return p.second;
        }
        return "";
    }
};

TEST(Lookup, OneWalkPerSnapshotAndOnlyProcessesStartedSinceAreRead) {
    FixedWalk walker;
    walker.OnEnum = EnumProcessesEnum;
    walker.running = {{5, "C:\\Other\\tool.exe"},
                      {6, ""},
                      {7, "c:\\tools\\TOOL.EXE"},
                      {8, "C:\\Tools\\tool.exe"}};
    TProcessSnapshot snapshot(walker, 0);
    // Another folder is another program, an unreadable process is nobody's, letter
    // case does not count, and the first in walk order is the answer.
    EXPECT_EQ(snapshot.FindProcessOf("C:\\Tools\\tool.exe"), 7u);
    EXPECT_EQ(snapshot.FindProcessOf("C:\\Tools\\absent.exe"), 0u);
    EXPECT_EQ(walker.walks, 1);
    EXPECT_TRUE(walker.read.empty());

    // 7 ends and 9 starts: only 9 is read, once for both lookups after it.
    walker.running = {
        {5, "C:\\Other\\tool.exe"}, {6, ""}, {9, "C:\\New\\late.exe"}, {8, "C:\\Tools\\tool.exe"}};
    EXPECT_EQ(snapshot.FindProcessOf("C:\\Tools\\tool.exe"), 8u);
    EXPECT_EQ(snapshot.FindProcessOf("c:\\new\\LATE.exe"), 9u);
    EXPECT_EQ(walker.walks, 1);
    EXPECT_EQ(walker.read, std::vector<DWORD>{9});

    // Where the system cannot list the IDs alone, every lookup walks.
    FixedWalk toolhelp;
    toolhelp.OnEnum = EnumProcessesEnum;
    toolhelp.listsIds = false;
    toolhelp.running = walker.running;
    TProcessSnapshot whole(toolhelp, 0);
    EXPECT_EQ(whole.FindProcessOf("C:\\New\\late.exe"), 9u);
    toolhelp.running.pop_back();
    EXPECT_EQ(whole.FindProcessOf("C:\\Tools\\tool.exe"), 0u);
    EXPECT_EQ(toolhelp.walks, 2);
    EXPECT_TRUE(toolhelp.read.empty());

    // Lookups in quick succession share one reading: a start seen by neither.
    FixedWalk burst;
    burst.OnEnum = EnumProcessesEnum;
    burst.running = {{5, "C:\\Other\\tool.exe"}};
    TProcessSnapshot shared(burst, 60000);
    EXPECT_EQ(shared.FindProcessOf("C:\\Other\\tool.exe"), 5u);
    burst.running.push_back({9, "C:\\New\\late.exe"});
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(shared.FindProcessOf("C:\\New\\late.exe"), 0u);
    EXPECT_EQ(burst.walks + burst.idLists, 1);
    // Once the command has acted, the next lookup reads again.
    shared.Expire();
    EXPECT_EQ(shared.FindProcessOf("C:\\New\\late.exe"), 9u);
    EXPECT_EQ(burst.idLists, 1);
    // After a wait a found process is asked whether it runs: if it ended, the lookup reads again.
    qt::Target gone(qt::TargetPath(), qt::NewTempDir() + "gone.log", "");
    qt::Target later(qt::TargetPath(), qt::NewTempDir() + "later.log", "");
    const DWORD self = GetCurrentProcessId();
    burst.running = {{gone.Pid(), "C:\\Tools\\tool.exe"}, {self, "C:\\Own\\self.exe"}};
    shared.Expire();
    EXPECT_EQ(shared.FindProcessOf("C:\\Tools\\tool.exe"), gone.Pid());
    shared.Acted();
    EXPECT_EQ(shared.FindProcessOf("C:\\Own\\self.exe"), self);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, gone.Pid());
    ASSERT_TRUE(TerminateProcess(process, 0) && CloseHandle(process) && gone.WaitExit(10000));
    burst.running = {{self, "C:\\Own\\self.exe"}, {later.Pid(), "C:\\Tools\\tool.exe"}};
    shared.Acted();
    EXPECT_EQ(shared.FindProcessOf("C:\\Tools\\tool.exe"), later.Pid());
    EXPECT_EQ(burst.idLists, 3); // the reading after Expire, then the one for the ended process
}

TEST(SameProgram, LongAndShortFormsAndLetterCase) {
    std::string dir = qt::NewTempDir() + "A folder with a long name\\";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    std::string longPath = dir + "Program file name.exe";
    ASSERT_TRUE(CopyFileA(qt::TargetPath().c_str(), longPath.c_str(), FALSE));
    char shortBuf[MAX_PATH];
    DWORD n = GetShortPathNameA(longPath.c_str(), shortBuf, sizeof shortBuf);
    ASSERT_GT(n, 0u);
    std::string shortPath(shortBuf, n);
    ASSERT_NE(Lower(shortPath), Lower(longPath)); // a real 8.3 form

    EXPECT_TRUE(SameProgram(longPath, shortPath));
    EXPECT_TRUE(SameProgram(shortPath, longPath));
    EXPECT_TRUE(SameProgram(Lower(longPath), longPath));
    std::string upper = longPath;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(SameProgram(upper, shortPath));
    EXPECT_FALSE(SameProgram(longPath, qt::TargetPath()));
    EXPECT_FALSE(SameProgram(longPath, ""));
    DeleteFileA(longPath.c_str());
    RemoveDirectoryA(dir.c_str());
}

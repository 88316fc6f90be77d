#include "shell/com.h"
#include "shell/shortcut_link.h"

#include "support.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <thread>

using namespace testing_shell;

namespace {

class ShortcutLinkTest : public ::testing::Test {
  protected:
    ComScope com;
    TempDir dir{"lnk"};
    // "表" and "ソ" end in the byte of "\": the paths must survive the ANSI conversions.
    std::string folder = dir.MakeDir("表示ソフト");
    std::string exe = dir.CopyBin("shell_ver_none.exe", "表示ソフト\\tool.exe");
};

} // namespace

TEST_F(ShortcutLinkTest, ReadsWhatTheShellWroteAndWritesItBackWithCtrlAlt) {
    RawLink raw;
    raw.target = exe;
    raw.arguments = "\"a b\" -x 表";
    raw.workingDir = folder;
    raw.description = "説明のテキスト";
    raw.iconPath = exe;
    raw.iconIndex = 2;
    raw.hotKey = MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    std::string lnk = dir.Path() + "\\元.lnk";
    MakeLink(lnk, raw);

    TShortcutLink link;
    link.ShortcutFile = lnk;
    link.ReadShortcut();
    EXPECT_EQ(link.Target, exe);
    EXPECT_EQ(link.Arguments, raw.arguments);
    EXPECT_EQ(link.WorkingDir, folder);
    EXPECT_EQ(link.Description, raw.description);
    EXPECT_EQ(link.IconLocation, exe);
    EXPECT_EQ(link.IconNumber, 2);
    // The modifiers are dropped on reading.
    EXPECT_EQ(link.HotKey(), "Q");
    EXPECT_EQ(link.HotKeyCode(), 'Q');

    std::string copy = dir.Path() + "\\写し.lnk";
    link.ShortcutFile = copy;
    link.WriteShortcut();
    RawLink back = LoadLink(copy);
    EXPECT_EQ(back.target, exe);
    EXPECT_EQ(back.arguments, raw.arguments);
    EXPECT_EQ(back.workingDir, folder);
    EXPECT_EQ(back.description, raw.description);
    EXPECT_EQ(back.iconPath, exe);
    EXPECT_EQ(back.iconIndex, 2);
    EXPECT_EQ(back.hotKey, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
}

TEST_F(ShortcutLinkTest, HotKeyTextForms) {
    TShortcutLink link;
    EXPECT_EQ(link.HotKey(), " ");
    for (const char* none : {"", "\x01Q", " Q", "\t"}) {
        link.SetHotKey(none);
        EXPECT_EQ(link.HotKey(), " ") << "[" << none << "]";
        EXPECT_EQ(link.HotKeyCode(), 32);
    }
    link.SetHotKey("quit");
    EXPECT_EQ(link.HotKey(), "Q");
    EXPECT_EQ(link.HotKeyCode(), 'Q');
    link.SetHotKey("7");
    EXPECT_EQ(link.HotKey(), "7");

    // A code of 32 or less is no hot key: none is written.
    link.Target = exe;
    link.SetHotKey(" ");
    link.ShortcutFile = dir.Path() + "\\nokey.lnk";
    link.WriteShortcut();
    EXPECT_EQ(LoadLink(link.ShortcutFile).hotKey, 0);
    // ... and a shortcut without one reads as " ".
    link.SetHotKey("Z");
    link.ReadShortcut();
    EXPECT_EQ(link.HotKey(), " ");

    // A whole hot key goes in with its own modifiers, also keys the text form cannot
    // hold, until a text key takes its place again.
    for (WORD word : {MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_SHIFT),
                      MAKEWORD(VK_SPACE, HOTKEYF_CONTROL | HOTKEYF_ALT)}) {
        link.SetHotKeyWord(word);
        link.WriteShortcut();
        EXPECT_EQ(LoadLink(link.ShortcutFile).hotKey, word);
    }
    link.SetHotKey("Q");
    link.WriteShortcut();
    EXPECT_EQ(LoadLink(link.ShortcutFile).hotKey, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
    link.SetHotKeyWord(MAKEWORD('W', HOTKEYF_ALT));
    EXPECT_TRUE(link.Read(link.ShortcutFile)); // reading forgets the word
    link.WriteShortcut();
    EXPECT_EQ(LoadLink(link.ShortcutFile).hotKey, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
}

TEST(ShowCmdRules, ReadAndWrittenValues) {
    EXPECT_EQ(shortcut::ShowCmdFromRaw(3), scShowMaximized);
    EXPECT_EQ(shortcut::ShowCmdFromRaw(7), scShowMinimized);
    for (int other : {0, 1, 2, 6, 9})
        EXPECT_EQ(shortcut::ShowCmdFromRaw(other), scShowNormal) << other;
    EXPECT_EQ(shortcut::RawFromShowCmd(scShowMaximized), 3);
    EXPECT_EQ(shortcut::RawFromShowCmd(scShowMinimized), 7);
    EXPECT_EQ(shortcut::RawFromShowCmd(scShowNormal), 9);
    // The ordinals are what callers convert by.
    EXPECT_EQ(static_cast<int>(scShowMaximized), 0);
    EXPECT_EQ(static_cast<int>(scShowMinimized), 1);
    EXPECT_EQ(static_cast<int>(scShowNormal), 2);
}

TEST_F(ShortcutLinkTest, WrittenShowCommandInTheHeader) {
    TShortcutLink link;
    link.Target = exe;
    EXPECT_EQ(link.ShowCmd(), scShowNormal);
    const struct {
        bool set;
        TShowCmd cmd;
        int stored;
    } cases[] = {{false, scShowNormal, 0},
                 {true, scShowMaximized, 3},
                 {true, scShowMinimized, 7},
                 {true, scShowNormal, 9}};
    int n = 0;
    for (const auto& c : cases) {
        if (c.set)
            link.SetShowCmd(c.cmd);
        link.ShortcutFile = dir.Path() + "\\show" + std::to_string(n++) + ".lnk";
        link.WriteShortcut();
        EXPECT_EQ(HeaderShowCmd(link.ShortcutFile), c.stored) << n;
    }
}

// Wine 8 deviation: GetShowCmd after Load always returns 1 (SW_SHOWNORMAL), whatever
// the header holds, so a maximized shortcut reads as normal there.
TEST_F(ShortcutLinkTest, ShowCommandReadBack_WineDeviation) {
    RawLink raw;
    raw.target = exe;
    raw.showCmd = SW_SHOWMAXIMIZED;
    std::string lnk = dir.Path() + "\\max.lnk";
    MakeLink(lnk, raw);
    ASSERT_EQ(HeaderShowCmd(lnk), SW_SHOWMAXIMIZED);
    TShortcutLink link;
    link.ShortcutFile = lnk;
    link.ReadShortcut();
    EXPECT_EQ(link.ShowCmd(), UnderWine() ? scShowNormal : scShowMaximized);

    raw.showCmd = SW_SHOWNORMAL;
    MakeLink(lnk, raw);
    link.SetShowCmd(scShowMaximized);
    link.ReadShortcut();
    EXPECT_EQ(link.RawShowCmd(), SW_SHOWNORMAL);
    EXPECT_EQ(link.ShowCmd(), scShowNormal);
}

TEST_F(ShortcutLinkTest, IconIndexMinusOneReadsAs65535) {
    RawLink raw;
    raw.target = exe;
    raw.iconPath = exe;
    raw.iconIndex = -1;
    std::string lnk = dir.Path() + "\\icon.lnk";
    MakeLink(lnk, raw);
    TShortcutLink link;
    link.ShortcutFile = lnk;
    link.ReadShortcut();
    EXPECT_EQ(link.IconNumber, 65535);
}

TEST_F(ShortcutLinkTest, FailuresCarryTheirMessages) {
    TShortcutLink link;
    link.Target = "kept";
    link.ShortcutFile = dir.WriteFile("plain.lnk", "this is no shortcut");
    try {
        link.ReadShortcut();
        ADD_FAILURE() << "a text file read as a shortcut";
    } catch (const EShortcutError& e) {
        EXPECT_STREQ(e.what(), "Unable to open link file");
    }
    EXPECT_EQ(link.Target, "kept");

    link.ShortcutFile = dir.Path() + "\\missing.lnk";
    EXPECT_THROW(link.ReadShortcut(), EShortcutError);

    link.Target = exe;
    link.ShortcutFile = dir.Path() + "\\no such folder\\x.lnk";
    try {
        link.WriteShortcut();
        ADD_FAILURE() << "saved into a folder that does not exist";
    } catch (const EShortcutError& e) {
        EXPECT_STREQ(e.what(), "Unable to create .lnk file");
    }
}

// A target that is no file-system object fails at the target, after the working
// folder has been taken over.
TEST_F(ShortcutLinkTest, NonFileTargetRaisesAfterWorkingDir) {
    IShellLinkA* raw = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&raw)),
              S_OK);
    ComPtr<IShellLinkA> owner;
    *owner.Put() = raw;
    LPITEMIDLIST drives = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives), S_OK);
    raw->SetIDList(drives);
    CoTaskMemFree(drives);
    raw->SetWorkingDirectory(folder.c_str());
    ComPtr<IPersistFile> file;
    ASSERT_EQ(owner.As(IID_IPersistFile, file), S_OK);
    std::string lnk = dir.Path() + "\\computer.lnk";
    std::wstring wide(lnk.begin(), lnk.end());
    ASSERT_EQ(file->Save(wide.c_str(), TRUE), S_OK);

    TShortcutLink link;
    link.Target = "old target";
    link.IconLocation = "old icon";
    link.ShortcutFile = lnk;
    try {
        link.ReadShortcut();
        ADD_FAILURE() << "a non-file target was read as " << link.Target;
    } catch (const EShortcutError& e) {
        EXPECT_STREQ(e.what(), "Error in getting Target");
    }
    EXPECT_EQ(link.WorkingDir, folder);
    EXPECT_EQ(link.IconLocation, "old icon");
}

// Without COM on the calling thread reading is a silent no-op, and writing raises
// the COM error with the system's code in its message.
TEST_F(ShortcutLinkTest, WithoutComReadIsSilentAndWriteRaises) {
    TShortcutLink link;
    link.Target = "kept";
    link.ShortcutFile = dir.Path() + "\\any.lnk";
    std::string readResult, writeResult;
    std::thread([&] {
        try {
            link.ReadShortcut();
            readResult = "returned";
        } catch (...) {
            readResult = "raised";
        }
        try {
            link.WriteShortcut();
            writeResult = "returned";
        } catch (const EOleSysError& e) {
            writeResult = e.what();
        } catch (...) {
            writeResult = "other exception";
        }
    }).join();
    EXPECT_EQ(readResult, "returned");
    EXPECT_EQ(link.Target, "kept");
    EXPECT_NE(writeResult.find("800401F0"), std::string::npos) << writeResult;
}

TEST(SpecialFolders, DesktopAndStartupExistWithoutTrailingBackslash) {
    ComScope com;
    TShortcutLink link;
    std::string desktop = "unchanged", startup = "unchanged";
    link.GetDesktopDir(desktop);
    link.GetStartupDir(startup);
    for (const std::string& d : {desktop, startup}) {
        DWORD attr = GetFileAttributesA(d.c_str());
        EXPECT_TRUE(attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) << d;
        EXPECT_NE(d.back(), '\\') << d;
    }
    std::string tail = startup.substr(startup.size() - 8);
    CharLowerBuffA(&tail[0], 8);
    EXPECT_EQ(tail, "\\startup") << startup;
    EXPECT_NE(desktop, startup);
}

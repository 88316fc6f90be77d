// The zip a user downloads (make dist): it holds the program, its hook pieces, the
// guide and the licence and nothing else; its programs need only what every
// Windows has; and a copy unpacked into a folder of its own starts, keeps its
// settings beside itself and quits a registered program from the desktop shortcut
// it writes.
#include "dialogs/option_form_ids.h"
#include "driver/vako_e2e.h"
#include "steps.h"
#include "support.h"
#include "target_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace e2e;

namespace {

const char kZip[] = VAKO_DIST_ZIP; // a path of the Linux host
const std::vector<std::string> kShipped = {"LICENSE.txt",    "ReadMe.txt",     "VakoHook.dll",
                                           "VakoHook64.dll", "VakoHook64.exe", "VakoQuit.exe"};

// Libraries that come with every Windows the program runs on.
bool IsSystemLibrary(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const char* const system[] = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",    "advapi32.dll", "shell32.dll",
        "ole32.dll",    "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "version.dll",
        "msvcrt.dll",   "psapi.dll",    "shlwapi.dll",  "ntdll.dll"};
    return std::any_of(std::begin(system), std::end(system),
                       [&](const char* s) { return name == s; });
}

struct PeFacts {
    WORD machine = 0;
    std::vector<std::string> imports; // the libraries named in the import table
};

// Reads the machine and the import table from the file's bytes, for 32-bit and
// 64-bit files alike (a 32-bit test cannot load a 64-bit library to ask Windows).
PeFacts ReadPe(const std::string& file) {
    auto at = [&](size_t offset, size_t size) {
        if (offset > file.size() || size > file.size() - offset)
            throw DriverError("PE: offset past the end");
        return file.data() + offset;
    };
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, at(0, sizeof dos), sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE)
        throw DriverError("PE: no MZ header");
    const size_t nt = static_cast<size_t>(dos.e_lfanew);
    DWORD signature;
    std::memcpy(&signature, at(nt, 4), 4);
    if (signature != IMAGE_NT_SIGNATURE)
        throw DriverError("PE: no PE header");
    IMAGE_FILE_HEADER fh;
    std::memcpy(&fh, at(nt + 4, sizeof fh), sizeof fh);
    const size_t optional = nt + 4 + sizeof fh;
    WORD magic;
    std::memcpy(&magic, at(optional, 2), 2);
    IMAGE_DATA_DIRECTORY importDir;
    if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        IMAGE_OPTIONAL_HEADER64 oh;
        std::memcpy(&oh, at(optional, sizeof oh), sizeof oh);
        importDir = oh.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    } else {
        IMAGE_OPTIONAL_HEADER32 oh;
        std::memcpy(&oh, at(optional, sizeof oh), sizeof oh);
        importDir = oh.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    }
    std::vector<IMAGE_SECTION_HEADER> sections(fh.NumberOfSections);
    if (!sections.empty())
        std::memcpy(sections.data(),
                    at(optional + fh.SizeOfOptionalHeader, sections.size() * sizeof sections[0]),
                    sections.size() * sizeof sections[0]);
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (const IMAGE_SECTION_HEADER& s : sections)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        throw DriverError("PE: an address outside every section");
    };
    PeFacts facts;
    facts.machine = fh.Machine;
    if (importDir.VirtualAddress == 0)
        return facts;
    for (size_t d = fileOffset(importDir.VirtualAddress);; d += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR desc;
        std::memcpy(&desc, at(d, sizeof desc), sizeof desc);
        if (desc.Name == 0)
            break;
        const size_t name = fileOffset(desc.Name);
        facts.imports.emplace_back(at(name, 1), strnlen(at(name, 1), file.size() - name));
    }
    return facts;
}

class Dist : public ::testing::Test {
  protected:
    Dist() : box(SandboxOptions{false, {"quit_target.exe"}, "", ""}) {}

    // Unpacks the zip with the host's unzip into a fresh folder, then moves the
    // folder to a Japanese name, as a user's own folder may have. Returns the
    // folder (with trailing "\").
    std::string Unpack() {
        const std::string unpacked = box.Path("unpacked");
        if (!CreateDirectoryA(unpacked.c_str(), nullptr))
            ThrowLastError("CreateDirectoryA " + unpacked);
        const std::string host = HostPath(unpacked);
        EXPECT_FALSE(host.empty());
        std::optional<DWORD> code =
            RunHostProgram("unzip", "-q '" + std::string(kZip) + "' -d '" + host + "'", 30000);
        EXPECT_EQ(code, std::optional<DWORD>(0)) << "unzip " << kZip << " (run make dist)";
        const std::string folder = box.Path("ツール置き場");
        if (!MoveFileA(unpacked.c_str(), folder.c_str()))
            ThrowLastError("MoveFileA " + folder);
        return folder + "\\";
    }

    ComScope com; // the shortcut is read through the shell's link object
    Sandbox box;
};

} // namespace

TEST_F(Dist, TheZipHoldsTheProgramItsHookPiecesGuideAndLicenceNeedingOnlyWindows) {
    const std::string dir = Unpack();
    std::vector<std::string> names = FolderEntries(dir);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, kShipped);

    // The bitness each file must have, and what it may import: system libraries,
    // and the zip's own library of its bitness.
    struct Expect {
        std::string file;
        WORD machine;
        std::string sibling;
    };
    for (const Expect& e : {Expect{"VakoQuit.exe", IMAGE_FILE_MACHINE_I386, "VakoHook.dll"},
                            Expect{"VakoHook.dll", IMAGE_FILE_MACHINE_I386, ""},
                            Expect{"VakoHook64.dll", IMAGE_FILE_MACHINE_AMD64, ""},
                            Expect{"VakoHook64.exe", IMAGE_FILE_MACHINE_AMD64, ""}}) {
        PeFacts pe = ReadPe(ReadFileBytes(dir + e.file));
        EXPECT_EQ(pe.machine, e.machine) << e.file;
        EXPECT_FALSE(pe.imports.empty()) << e.file;
        for (const std::string& lib : pe.imports)
            EXPECT_TRUE(IsSystemLibrary(lib) || lib == e.sibling) << e.file << " imports " << lib;
    }

    // The guide opens in Notepad of a Japanese Windows: Shift-JIS, CRLF only.
    const std::string readme = ReadFileBytes(dir + "ReadMe.txt");
    EXPECT_NE(readme.find("ポムッと終了"), std::string::npos);
    EXPECT_NE(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, readme.data(),
                                  static_cast<int>(readme.size()), nullptr, 0),
              0)
        << "ReadMe.txt is not Shift-JIS";
    for (const std::string& text : {readme, ReadFileBytes(dir + "LICENSE.txt")}) {
        size_t bare = 0;
        for (size_t i = 0; i < text.size(); ++i)
            bare += text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
        EXPECT_EQ(bare, 0u) << "line ends without CR";
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    }
    EXPECT_EQ(ReadFileBytes(dir + "LICENSE.txt").substr(0, 13), "MIT License\r\n");
}

TEST_F(Dist, AnUnpackedCopyKeepsItsSettingsBesideItselfAndQuitsFromItsDesktopShortcut) {
    const std::string dir = Unpack();
    if (ReadPe(ReadFileBytes(dir + "VakoQuit.exe")).machine == IMAGE_FILE_MACHINE_I386 &&
        sizeof(void*) == 8)
        GTEST_SKIP() << "the shipped 32-bit program cannot run on this host";
    ASSERT_TRUE(ShellFoldersEmpty());
    const std::string exe = dir + "VakoQuit.exe";
    const std::string ini = dir + "VakoQuit.ini";
    const std::string target = box.Path("quit_target.exe");
    const std::string quitLnk = ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\ポムッと終了.lnk";
    {
        // The first start greets; the empty Startup folder adds nothing.
        AppProcess app(exe, "", dir);
        std::vector<AnsweredBox> boxes;
        ASSERT_TRUE(WaitAnsweringBoxes(
            app.Id(), [&] { return !boxes.empty(); }, 15000, boxes));
        EXPECT_EQ(boxes[0].caption, "謝辞");
        EXPECT_TRUE(FileExists(ini)) << "the settings file is created beside the program";
        MainWindow main = app.Main();
        ChooseInOpenDialog(app, target);
        ASSERT_TRUE(main.WaitItemCount(1));

        main.Command(ID_ACT_OPTION);
        HWND options = FindDialog(app.Id(), "ポムッと終了 オプション", 5000);
        ASSERT_NE(options, nullptr);
        Post(GetDlgItem(options, IDC_OPT_MAKEQUIT), BM_CLICK);
        HWND question = FindMessageBox(app.Id(), 5000);
        ASSERT_NE(question, nullptr);
        ASSERT_TRUE(AnswerMessageBox(question, IDYES));
        EXPECT_TRUE(WaitUntil([&] { return FileExists(quitLnk); }, 5000));
        Post(GetDlgItem(options, IDOK), BM_CLICK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, 5000));
        ASSERT_EQ(app.Close(), 0u);
    }
    const std::string settings = ReadFileBytes(ini);
    EXPECT_NE(settings.find("Program=" + target + "\r\n"), std::string::npos) << settings;

    Process running = Process::Start(target, "--log \"" + box.Path("q.log") + "\"", box.Dir());
    ASSERT_TRUE(WaitUntil([&] { return LogHas(box.Path("q.log"), "ready"); }, 10000));
    testing_shell::RawLink quit = testing_shell::LoadLink(quitLnk);
    EXPECT_EQ(quit.target, exe);
    RunShortcutToEnd(quit.target, quit.arguments, quit.workingDir);
    EXPECT_TRUE(running.WaitExit(5000).has_value()) << "the registered program was not quit";
    DeleteFileA(quitLnk.c_str());
}

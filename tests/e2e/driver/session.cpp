// What one test leaves behind in the shared Wine prefix must not decide the next
// one: programs still running, shortcuts in the user's Startup folder or on the
// Desktop.
#include "vako_e2e.h"

#include <shlobj.h>

#include "core/text.h"

namespace e2e {

namespace {

// Programs of the build tree that tests start as targets (by file-name prefix), and
// Wine's own programs that tests use as targets.
const char* const kBinTargets[] = {"quit_target", "launch_", "e2e_fake_form", "shell_ver_",
                                   "startup_icon_app"};
const char* const kWineTargets[] = {"notepad.exe", "wordpad.exe", "winemine.exe",
                                    "taskmgr.exe", "progman.exe", "winefile.exe"};

bool IsLeftover(const std::string& image, const std::string& sandboxes, const std::string& bin) {
    const std::string name = text::LowerAscii(text::FileNamePart(image));
    if (name == "vakoquit.exe")
        return true;
    if (text::StartsWith(text::LowerAscii(image), text::LowerAscii(sandboxes)))
        return true;
    if (IsUserProgram(image))
        return true;
    if (text::CompareText(text::FolderPart(image), bin) == 0) {
        for (const char* prefix : kBinTargets) {
            if (text::StartsWith(name, prefix))
                return true;
        }
    }
    for (const char* wine : kWineTargets) {
        if (name == wine)
            return true;
    }
    return false;
}

} // namespace

std::string SandboxesRoot() {
    char buf[MAX_PATH];
    DWORD n = GetFullPathNameA((TestBinDir() + "..\\e2e\\").c_str(), MAX_PATH, buf, nullptr);
    if (n == 0 || n >= MAX_PATH)
        ThrowLastError("GetFullPathNameA");
    return buf;
}

std::vector<std::string> EndLeftoverProcesses() {
    const std::string sandboxes = SandboxesRoot();
    const std::string bin = TestBinDir();
    std::vector<std::string> ended;
    for (const auto& entry : AllProcesses()) {
        const DWORD pid = entry.first;
        if (pid == GetCurrentProcessId())
            continue;
        std::string image = ProcessImagePath(pid);
        if (image.empty() || !IsLeftover(image, sandboxes, bin))
            continue;
        win::Handle p(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (!p)
            continue; // ended by itself meanwhile
        TerminateProcess(p.get(), 1);
        WaitForSingleObject(p.get(), kDefaultTimeoutMs);
        ended.push_back(image);
    }
    return ended;
}

std::string ShellFolder(int csidl) {
    char buf[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, buf)) || !buf[0])
        throw DriverError("no special folder " + std::to_string(csidl));
    return buf;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    win::FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &fd));
    if (!find)
        return names;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != ".." && !(fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            names.push_back(name);
    } while (FindNextFileA(find.get(), &fd));
    return names;
}

void EmptyUserShellFolders() {
    for (int csidl : {CSIDL_STARTUP, CSIDL_DESKTOPDIRECTORY}) {
        const std::string folder = ShellFolder(csidl);
        // The Desktop of a fresh prefix links to the real home: never empty that.
        const DWORD attr = GetFileAttributesA(folder.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT))
            throw DriverError(folder + " is a link out of the prefix");
        MakeEmptyFolder(folder);
    }
}

} // namespace e2e

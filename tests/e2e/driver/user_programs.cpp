// Copies of the target programs laid out where a user's programs lie, so that the
// guide's pictures show the paths a user has instead of the build tree's.
#include "vako_e2e.h"

#include <shlobj.h>

#include "core/text.h"

namespace e2e {

const UserProgram kUserNote64 = {UserRoot::ProgramFiles64, "Kumo Note", "KumoNote.exe"};
const UserProgram kUserViewer = {UserRoot::ProgramFiles, "Sora Viewer", "SoraViewer.exe"};
const UserProgram kUserTrayClock = {UserRoot::LocalAppData, "Tray Clock", "TrayClock.exe"};
const UserProgram kUserTarget = {UserRoot::ProgramFiles, "Vako Target", "target.exe"};

namespace {

const UserProgram* const kUserPrograms[] = {&kUserNote64, &kUserViewer, &kUserTrayClock,
                                            &kUserTarget};

} // namespace

std::string UserRootFolder(UserRoot root) {
    switch (root) {
    case UserRoot::ProgramFiles64: {
        // A 32-bit program sees the 64-bit programs' folder only by this variable.
        char buf[MAX_PATH] = "";
        const DWORD n = GetEnvironmentVariableA("ProgramW6432", buf, MAX_PATH);
        if (n > 0 && n < MAX_PATH)
            return buf;
        return ShellFolder(CSIDL_PROGRAM_FILES);
    }
    case UserRoot::ProgramFiles:
        return ShellFolder(CSIDL_PROGRAM_FILES);
    case UserRoot::LocalAppData:
        return ShellFolder(CSIDL_LOCAL_APPDATA);
    }
    throw DriverError("no such root");
}

std::string UserProgramPath(const UserProgram& program) {
    return UserRootFolder(program.root) + "\\" + program.folder + "\\" + program.file;
}

std::string InstallUserProgram(const UserProgram& program, const std::string& binFile) {
    const std::string to = UserProgramPath(program);
    MakeFolders(text::FolderPart(to));
    if (!CopyFileA((TestBinDir() + binFile).c_str(), to.c_str(), FALSE))
        ThrowLastError("CopyFileA " + binFile + " -> " + to);
    return to;
}

bool IsUserProgram(const std::string& image) {
    // Asked for every process of every sweep for leftovers; the folders stay put.
    static const std::vector<std::string> paths = [] {
        std::vector<std::string> all;
        for (const UserProgram* program : kUserPrograms)
            all.push_back(UserProgramPath(*program));
        return all;
    }();
    for (const std::string& path : paths) {
        if (text::CompareText(image, path) == 0)
            return true;
    }
    return false;
}

} // namespace e2e

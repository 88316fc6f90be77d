#include "quit/running_programs.h"

#include "core/text.h"
#include "hook/helper_protocol.h"
#include "quit/enum_processes.h"
#include "quit/same_program.h"
#include "quit/window_list.h"
#include "win/ansi_path.h"
#include "win/handles.h"
#include "win/process_image.h"

#include <set>

namespace {

constexpr DWORD kQueryLimited = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION
// Programs of the Windows folder that belong to the system and the shell, not to the
// user: nobody registers them, even where the Windows folder's programs are shown.
const char* const kShellPrograms[] = {"applicationframehost.exe",
                                      "conhost.exe",
                                      "csrss.exe",
                                      "ctfmon.exe",
                                      "dllhost.exe",
                                      "dwm.exe",
                                      "explorer.exe",
                                      "fontdrvhost.exe",
                                      "lsass.exe",
                                      "plugplay.exe",
                                      "rpcss.exe",
                                      "runtimebroker.exe",
                                      "searchhost.exe",
                                      "services.exe",
                                      "shellexperiencehost.exe",
                                      "sihost.exe",
                                      "smss.exe",
                                      "startmenuexperiencehost.exe",
                                      "svchost.exe",
                                      "taskhostw.exe",
                                      "textinputhost.exe",
                                      "wineboot.exe",
                                      "winedevice.exe",
                                      "wininit.exe",
                                      "winlogon.exe"};

std::wstring LowerWide(std::wstring s) {
    if (!s.empty())
        CharLowerBuffW(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::wstring WindowsFolder() {
    wchar_t buf[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryW(buf, MAX_PATH + 1);
    return n && n <= MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

// The process IDs of the desktop's top-level windows, each once, in Z-order.
std::vector<DWORD> WindowOwners(DWORD ownProcessId) {
    TWindowList windows;
    std::vector<DWORD> owners;
    std::set<DWORD> seen;
    for (int i = 0; i < windows.Count(); ++i) {
        DWORD pid = 0;
        GetWindowThreadProcessId(windows.Handle(i), &pid);
        if (pid && pid != ownProcessId && seen.insert(pid).second)
            owners.push_back(pid);
    }
    return owners;
}

} // namespace

// The wide function exists from Vista on; before it, the process walk's ANSI reading
// is all the system offers.
std::wstring ProcessImagePathW(DWORD processId) {
    if (!win::CanReadProcessImagePath())
        return win::WideFromAnsi(TEnumProcesses().ProgramFileOf(processId));
    win::Handle process(OpenProcess(kQueryLimited, FALSE, processId));
    return win::ProcessImagePath(process.get());
}

std::vector<TRunningProgram> ReadRunningPrograms(DWORD ownProcessId, ImagePathReader readImage) {
    const std::wstring windows = WindowsFolder();
    std::vector<TRunningProgram> programs;
    std::set<std::wstring> seen;
    for (DWORD pid : WindowOwners(ownProcessId)) {
        TRunningProgram program;
        program.WidePath = readImage(pid);
        if (program.WidePath.empty() || !seen.insert(LowerWide(program.WidePath)).second)
            continue;
        const win::AnsiPath storable = win::StorablePath(program.WidePath);
        if (storable.Kind == win::AnsiPathKind::None)
            continue;
        program.Path = storable.Path;
        program.InWindowsFolder = !windows.empty() && LiesInFolder(program.WidePath, windows);
        programs.push_back(std::move(program));
    }
    return programs;
}

bool LiesInFolder(const std::wstring& path, const std::wstring& folder) {
    std::wstring prefix = LowerWide(folder);
    if (prefix.empty())
        return false;
    if (prefix.back() != L'\\')
        prefix += L'\\';
    return LowerWide(path).compare(0, prefix.size(), prefix) == 0;
}

bool OffersRunningProgram(const TRunningProgram& program, const std::string& ownProgram) {
    const std::string name = text::LowerAscii(text::FileNamePart(program.Path));
    if (program.InWindowsFolder) {
        for (const char* shell : kShellPrograms) {
            if (name == shell)
                return false;
        }
    }
    if (SameProgram(program.Path, ownProgram))
        return false;
    // The helper that comes with VakoQuit and lies beside it.
    const std::string helper = vakohook::kHelperExe;
    return !(name == text::LowerAscii(helper) &&
             SameProgram(program.Path, text::FolderPart(ownProgram) + helper));
}

#include "quit/ran_with_reader.h"

#include "core/text.h"
#include "hook/helper_protocol.h"
#include "win/ansi_path.h"
#include "win/handles.h"
#include "win/module.h"
#include "win/process_command_line.h"
#include "win/process_image.h"
#include "win/window_place.h"
#include "win/wow64.h"

#include <cstring>

namespace {

// How long the helper may take to read one command line.
constexpr DWORD kHelperReadMs = 5000;

HANDLE OpenForReading(uint32_t processId) {
    // The limited right is enough from Vista on and is granted for more processes;
    // XP knows only the full one.
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    return h ? h : OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
}

// The helper reads the 64-bit process and hands the text over in a mapping it
// inherits; no other program started meanwhile inherits it.
bool ReadThroughHelper(uint32_t processId, std::wstring& commandLine) {
    const std::string exe = text::FolderPart(win::ModulePath()) + vakohook::kHelperExe;
    win::Handle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           vakohook::kCommandLineMappingBytes, nullptr));
    if (!mapping)
        return false;
    std::string cmd = "\"" + exe + "\" " + vakohook::kCommandLineRequest + " " +
                      text::IntToStr(static_cast<long long>(processId)) + " " +
                      text::IntToStr(static_cast<long long>(
                          static_cast<uint32_t>(reinterpret_cast<uintptr_t>(mapping.get()))));
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    {
        win::InheritFor inherit{mapping.get()};
        if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                            &pi))
            return false;
    }
    CloseHandle(pi.hThread);
    win::Handle helper(pi.hProcess);
    DWORD code = vakohook::kHelperNoCommandLine;
    if (WaitForSingleObject(helper.get(), kHelperReadMs) != WAIT_OBJECT_0) {
        // It only reads memory; nothing is left half done by ending it.
        TerminateProcess(helper.get(), vakohook::kHelperNoCommandLine);
        return false;
    }
    if (!GetExitCodeProcess(helper.get(), &code) || code != vakohook::kHelperDone)
        return false;
    const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
    if (!view)
        return false;
    const auto* in = static_cast<const unsigned char*>(view);
    uint32_t bytes = 0;
    std::memcpy(&bytes, in, 4);
    const bool ok = bytes % sizeof(wchar_t) == 0 && bytes + 4 <= vakohook::kCommandLineMappingBytes;
    if (ok) {
        commandLine.resize(bytes / sizeof(wchar_t));
        std::memcpy(&commandLine[0], in + 4, bytes);
    }
    UnmapViewOfFile(view);
    return ok;
}

} // namespace

bool ReadCommandLineOf(uint32_t processId, std::wstring& commandLine, std::wstring& imagePath) {
    win::Handle process(OpenForReading(processId));
    if (!process)
        return false;
    imagePath = win::ProcessImagePath(process.get());
    if (win::IsNative64Process(process.get()))
        return win::QueryProcessCommandLine(process.get(), commandLine) ||
               ReadThroughHelper(processId, commandLine);
    return win::ReadProcessCommandLine(process.get(), commandLine);
}

TRanWith ReadRanWith(uint32_t processId, HWND mainWindow) {
    TRanWith ran;
    std::wstring commandLine, imagePath;
    // A process that cannot be read (elevated, protected) starts again as it would
    // without the record: its window could not be moved from here either.
    if (!ReadCommandLineOf(processId, commandLine, imagePath))
        return ran;
    // Arguments the code page cannot spell exactly would name other files: the
    // program then starts without them.
    if (!win::ExactAnsi(ArgumentsAfterProgram(commandLine, imagePath), ran.Arg))
        ran.Arg.clear();
    ran.Place = win::WindowPlaceOf(mainWindow);
    return ran;
}

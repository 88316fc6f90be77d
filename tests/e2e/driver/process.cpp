// Processes and top-level windows of other programs.
#include "vako_e2e.h"

#include <tlhelp32.h>

#include <cstring>
#include <utility>

#include "core/text.h"
#include "win/ansi_path.h"

namespace e2e {

DWORD WindowProcessId(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::string ClassName(HWND hwnd) {
    char buf[256] = "";
    GetClassNameA(hwnd, buf, sizeof buf);
    return buf;
}

// For a window of another process GetWindowTextA reads the title the system keeps,
// without asking the window: right for captions, stale for edit controls.
std::string Caption(HWND hwnd) {
    char buf[1024] = "";
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

std::string WindowText(HWND hwnd) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &len))
        ThrowLastError("WM_GETTEXTLENGTH");
    std::string s(len + 1, '\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(&s[0]),
                             SMTO_NORMAL, kSendTimeoutMs, &got))
        ThrowLastError("WM_GETTEXT");
    s.resize(std::strlen(s.c_str()));
    return s;
}

void SetText(HWND hwnd, const std::string& text) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_NORMAL, kSendTimeoutMs, &r))
        ThrowLastError("WM_SETTEXT");
}

namespace {
struct DescendantSearch {
    std::string cls;
    int nth;
    HWND found = nullptr;
};
BOOL CALLBACK DescendantProc(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<DescendantSearch*>(lp);
    if (ClassName(hwnd) == s->cls && s->nth-- == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct TopSearch {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};
BOOL CALLBACK TopProc(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<TopSearch*>(lp);
    if (WindowProcessId(hwnd) == s->pid && (!s->visibleOnly || IsWindowVisible(hwnd)))
        s->found.push_back(hwnd);
    return TRUE;
}
} // namespace

HWND FindDescendant(HWND parent, const char* className, int nth) {
    DescendantSearch s{className, nth};
    EnumChildWindows(parent, DescendantProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly) {
    TopSearch s{pid, visibleOnly, {}};
    EnumWindows(TopProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindTopWindow(DWORD pid, const char* className, const char* caption) {
    for (HWND hwnd : TopLevelWindows(pid)) {
        if (className && ClassName(hwnd) != className)
            continue;
        if (caption && Caption(hwnd) != caption)
            continue;
        return hwnd;
    }
    return nullptr;
}

HWND WaitForTopWindow(DWORD pid, const char* className, DWORD timeoutMs, const char* caption) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(pid, className, caption)) != nullptr; },
              timeoutMs);
    return found;
}

bool IsProcessRunning(DWORD pid) {
    win::Handle h(OpenProcess(SYNCHRONIZE, FALSE, pid));
    return h && WaitForSingleObject(h.get(), 0) == WAIT_TIMEOUT;
}

bool WaitProcessExit(DWORD pid, DWORD timeoutMs) {
    win::Handle h(OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (!h)
        return true; // no such process (any more)
    return WaitForSingleObject(h.get(), timeoutMs) == WAIT_OBJECT_0;
}

std::vector<std::pair<DWORD, std::string>> AllProcesses() {
    std::vector<std::pair<DWORD, std::string>> all;
    win::FileHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap)
        ThrowLastError("CreateToolhelp32Snapshot");
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32First(snap.get(), &pe); ok; ok = Process32Next(snap.get(), &pe))
        all.emplace_back(pe.th32ProcessID, pe.szExeFile);
    return all;
}

std::vector<DWORD> FindProcesses(const std::string& exeName) {
    std::vector<DWORD> pids;
    for (const auto& [pid, exe] : AllProcesses()) {
        if (text::CompareText(text::FileNamePart(exe), exeName) == 0)
            pids.push_back(pid);
    }
    return pids;
}

std::string ProcessImagePath(DWORD pid) {
    using QueryFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    static const QueryFn query =
        win::ProcAddress<QueryFn>(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA");
    const DWORD kQueryLimited = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION
    win::Handle h(OpenProcess(kQueryLimited, FALSE, pid));
    if (!query || !h)
        return "";
    char buf[MAX_PATH];
    DWORD size = MAX_PATH;
    if (!query(h.get(), 0, buf, &size))
        return "";
    return std::string(buf, size);
}

// ---- Process ----

Process& Process::operator=(Process&& other) {
    if (this != &other) {
        if (Running())
            Terminate();
        handle_ = std::move(other.handle_);
        pid_ = std::exchange(other.pid_, 0);
    }
    return *this;
}

Process::~Process() {
    if (Running())
        Terminate();
}

Process Process::Start(const std::string& exe, const std::string& args, const std::string& dir,
                       int show) {
    return StartWide(win::WideFromAnsi(exe), win::WideFromAnsi(args), win::WideFromAnsi(dir), show);
}

Process Process::StartWide(const std::wstring& exe, const std::wstring& args,
                           const std::wstring& dir, std::optional<int> show) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty())
        cmd += L" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (show) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(*show);
    }
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi))
        ThrowLastError("CreateProcessW " + win::BestFitAnsi(cmd));
    CloseHandle(pi.hThread);
    Process p;
    p.handle_.reset(pi.hProcess);
    p.pid_ = pi.dwProcessId;
    return p;
}

Process Process::Attach(DWORD pid) {
    Process p;
    p.handle_.reset(
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, pid));
    if (!p.handle_)
        ThrowLastError("OpenProcess " + std::to_string(pid));
    p.pid_ = pid;
    return p;
}

bool Process::Running() const {
    return handle_ && WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitExit(DWORD timeoutMs) const {
    if (!handle_)
        throw DriverError("WaitExit: no process");
    if (WaitForSingleObject(handle_.get(), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(handle_.get(), &code))
        ThrowLastError("GetExitCodeProcess");
    return code;
}

void Process::Terminate(UINT exitCode) {
    if (!handle_)
        return;
    TerminateProcess(handle_.get(), exitCode);
    WaitForSingleObject(handle_.get(), kDefaultTimeoutMs);
}

void Process::Detach() {
    handle_.reset();
    pid_ = 0;
}

} // namespace e2e

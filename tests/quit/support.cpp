#include "support.h"
#include "win/file.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace qt {

std::string OwnExePath() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return std::string(buf, n);
}

std::string ExeDir() {
    std::string p = OwnExePath();
    return p.substr(0, p.find_last_of('\\') + 1);
}

std::string TargetPath() {
    return ExeDir() + "quit_target.exe";
}
std::string Target64Path() {
    return ExeDir() + "quit_target64.exe";
}

std::string NewTempDir() {
    static int serial = 0;
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    char name[64];
    std::snprintf(name, sizeof name, "vakoquit_%lu_%lu_%d", GetCurrentProcessId(), GetTickCount(),
                  ++serial);
    std::string dir = std::string(tmp) + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\";
}

std::vector<LogLine> ReadLog(const std::string& path) {
    std::vector<LogLine> lines;
    std::string data;
    if (!win::ReadWholeFile(path, data))
        return lines;

    std::istringstream in(data);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream w(line);
        LogLine l;
        w >> l.Kind >> l.Pid;
        std::string a, b, c, d;
        if (l.Kind == "session") {
            w >> a >> b >> c >> d;
            l.Hwnd = reinterpret_cast<HWND>(std::strtoull(a.c_str(), nullptr, 16));
            l.Msg = static_cast<uint32_t>(std::strtoul(b.c_str(), nullptr, 16));
            l.WParam = static_cast<uint32_t>(std::strtoul(c.c_str(), nullptr, 16));
            l.LParam = static_cast<uint32_t>(std::strtoul(d.c_str(), nullptr, 16));
        } else if (l.Kind == "msg") {
            w >> a >> b >> c >> l.ClassName;
            l.Hwnd = reinterpret_cast<HWND>(std::strtoull(a.c_str(), nullptr, 16));
            l.Msg = static_cast<uint32_t>(std::strtoul(b.c_str(), nullptr, 16));
            l.WParam = static_cast<uint32_t>(std::strtoul(c.c_str(), nullptr, 16));
        } else if (l.Kind == "thread") {
            w >> b >> c;
            l.Msg = static_cast<uint32_t>(std::strtoul(b.c_str(), nullptr, 16));
            l.WParam = static_cast<uint32_t>(std::strtoul(c.c_str(), nullptr, 16));
        } else if (l.Kind == "destroy") {
            w >> a >> l.Tick >> l.ClassName;
            l.Hwnd = reinterpret_cast<HWND>(std::strtoull(a.c_str(), nullptr, 16));
        }
        lines.push_back(l);
    }
    return lines;
}

std::vector<LogLine> Messages(const std::string& path, DWORD pid) {
    std::vector<LogLine> r;
    for (const LogLine& l : ReadLog(path)) {
        if (l.Kind == "msg" && (pid == 0 || l.Pid == pid))
            r.push_back(l);
    }
    return r;
}

int CountMessages(const std::string& path, HWND hwnd, uint32_t msg, uint32_t wParam) {
    int n = 0;
    for (const LogLine& l : Messages(path)) {
        if (l.Hwnd == hwnd && l.Msg == msg && l.WParam == wParam)
            ++n;
    }
    return n;
}

Target::Target(const std::string& exe, const std::string& log, const std::string& args) {
    std::string cmd = "\"" + exe + "\" --log \"" + log + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    ready_ = WaitFor(
        [&] {
            for (const LogLine& l : ReadLog(log)) {
                if (l.Kind == "ready" && l.Pid == pid_)
                    return true;
            }
            return !Running();
        },
        15000);
    ready_ = ready_ && Running();
}

Target::~Target() {
    if (process_) {
        if (Running()) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
}

bool Target::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Target::WaitExit(DWORD timeoutMs) const {
    return WaitFor([&] { return !Running(); }, timeoutMs);
}

namespace {
BoxAnswerer* g_answerer = nullptr;

std::string TextOf(HWND hwnd) {
    char buf[512];
    int n = GetWindowTextA(hwnd, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}
} // namespace

BoxAnswerer::BoxAnswerer() {
    g_answerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, Proc, nullptr, GetCurrentThreadId());
}

BoxAnswerer::~BoxAnswerer() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
    g_answerer = nullptr;
}

LRESULT CALLBACK BoxAnswerer::Proc(int code, WPARAM wp, LPARAM lp) {
    try {
        Answer(code, wp);
    } catch (...) {
        // A box left unanswered makes its test fail on the box count.
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void BoxAnswerer::Answer(int code, WPARAM wp) {
    if (code == HCBT_ACTIVATE && g_answerer) {
        HWND box = reinterpret_cast<HWND>(wp);
        char cls[64];
        GetClassNameA(box, cls, sizeof cls);
        bool seen = false;
        for (HWND h : g_answerer->seen_)
            seen = seen || h == box;
        if (!seen && std::string(cls) == "#32770") {
            g_answerer->seen_.push_back(box);
            g_answerer->boxes_.push_back(
                {TextOf(box), TextOf(GetDlgItem(box, 0xFFFF)), GetTickCount()});
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
}

OwnWindow::OwnWindow(const char* title, DWORD style, bool destroyOnClose)
    : destroyOnClose_(destroyOnClose) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VakoTestOwnWindow";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, title, style, 10, 10, 200, 120, nullptr, nullptr,
                            wc.hInstance, this);
}

OwnWindow::~OwnWindow() {
    if (IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

LRESULT CALLBACK OwnWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<OwnWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_CLOSE) {
        ++self->closes_;
        self->lastCloseWParam_ = static_cast<uint32_t>(wp);
        if (self->destroyOnClose_)
            DestroyWindow(hwnd);
        return 0;
    }
    if (self && msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_CLOSE) {
        ++self->sysCloses_;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace qt

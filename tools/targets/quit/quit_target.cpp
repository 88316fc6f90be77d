// quit_target: a real Win32 program for the quit engine's tests. It builds the
// kinds of top-level windows that applications show (or hide), and writes what
// reaches them into a log file, so that a test sees which window got which
// message and how often.
//
// Usage: quit_target.exe [--log FILE] [--mode MODE] [options]
//
// Modes (default plain):
//   plain      --count N windows (default 1) of --class (default VakoPlainWindow),
//              titled --title (default "Vako Plain"), style --style HEX (default
//              WS_OVERLAPPEDWINDOW), extended style --exstyle HEX; --hidden leaves
//              them hidden, --disabled disables them. WM_CLOSE destroys the window;
//              the program ends when its last window is gone.
//   resident   --count N (default 2) hidden pop-up tool windows of class
//              "TPUtilWindow" (extended style exactly WS_EX_TOOLWINDOW), and
//              nothing else. WM_CLOSE to any of them ends the
//              program.
//   framework  a hidden "TApplication" window, a visible main form "TVakoMainForm"
//              owned by it and a hidden "TPUtilWindow". WM_CLOSE to TApplication
//              ends the program; the main form only hides on WM_CLOSE.
//   command    --count N (default 2) visible windows of --class (default
//              VakoCommandWindow) and one of class "VakoCommandOther". WM_COMMAND
//              with wParam --quit-command HEX, or WM_SYSCOMMAND with wParam
//              --quit-syscommand HEX, to any of them ends the program after the
//              delay (default 300 ms, so that every command posted with it is
//              logged). WM_CLOSE is only logged.
//   styles     windows the automatic quit must not pick, all of one window
//              procedure: "Internet Explorer_Hidden" (hidden pop-up),
//              "VakoBareWindow" (created without style bits: 0x04C00000),
//              "VakoPopupWindow" (visible WS_POPUP | WS_CLIPSIBLINGS: 0x94000000),
//              and below them all the ordinary main window "VakoStyleMain". Only
//              WM_CLOSE to the main window ends the program.
//   service    the windows that system libraries create, and a main window
//              "VakoServiceMain" disabled by its own modal dialog "VakoServiceDialog";
//              see BuildService for the full list. Ends only by force.
//   ole        --count N hidden windows of class "OleVakoWndClass". Ends by force.
//   param      ends when the named event --event NAME is set; with --no-windows it
//              creates no window at all, otherwise one plain window "VakoParamWindow"
//              (WM_CLOSE to it is only logged).
// Menu (plain mode):
//   --menu             each window gets a menu bar "&File" with the item "E&xit", whose
//                      identifier is the low word of --quit-command, so that a user (or
//                      xdotool) can quit the program from its own menu
// Behaviour of the quitting request (plain, resident, framework, command, styles):
//   --close-delay MS   go away MS ms after the request instead of at once
//   --never-close      log the request and stay
//   --on-close hide    (plain) WM_CLOSE only hides the window, as tray programs do
//   --on-close ask     (plain) WM_CLOSE asks "Save changes?" in a modal Yes/No box
//                      titled "Vako Save", owned by the window: Yes ends the program,
//                      No leaves it as it was
//   --ask-disabled     (with --on-close ask) the box is created disabled, so that a
//                      test can put another window in front before it enables it
// The end of the session (every mode; a plain window ends the program on
// WM_ENDSESSION with wParam TRUE):
//   --on-query-end refuse   WM_QUERYENDSESSION answers FALSE
//   --on-query-end silent   WM_QUERYENDSESSION answers TRUE only after 30 seconds
// The quit parameter of param mode:
//   --signal NAME      set the event NAME (so that the copy waiting on it ends) and end
//
// Log lines (one WriteFile each, appended; numbers in hex unless said):
//   ready PID                        all windows exist (PID decimal)
//   msg PID HWND MSG WPARAM CLASS    WM_CLOSE, WM_COMMAND, WM_SYSCOMMAND received, and
//                                    WM_NULL with a non-zero WPARAM (a command that a
//                                    message hook neutralised)
//   thread PID MSG WPARAM            the same messages posted to the thread (no window)
//   destroy PID HWND TICK CLASS      WM_DESTROY, TICK = GetTickCount (decimal)
//   signal PID NAME                  the quit parameter set the event
//   session PID HWND MSG WPARAM LPARAM  WM_QUERYENDSESSION and WM_ENDSESSION received
//   exit PID                         the message loop ended
//   numbered PID COUNT ORDER         after every 10,000th WM_APP message: how many reached
//                                    a window (decimal), and 1 when each one's WPARAM was
//                                    its place in that stream counted from 0, else 0
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string log;
    std::string mode = "plain";
    std::string title;
    std::string className;
    int count = -1;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    bool hidden = false;
    bool disabled = false;
    int closeDelay = -1;
    bool neverClose = false;
    bool hasQuitCommand = false;
    WPARAM quitCommand = 0;
    bool hasQuitSysCommand = false;
    WPARAM quitSysCommand = 0;
    std::string event;
    bool noWindows = false;
    std::string signal;
    bool menu = false;
    std::string onClose;
    std::string onQueryEnd;
    bool askDisabled = false;
};

Options g_opt;
std::vector<HWND> g_windows; // windows that count for "the last one is gone"
HWND g_quitWindow = nullptr; // the window whose WM_CLOSE ends the program, if only one
bool g_quitOnAnyClose = false;
bool g_quitting = false;
constexpr UINT_PTR kQuitTimer = 1;
// The stream of numbered WM_APP messages that a test posts through a hook: counted,
// not logged, so that a hundred thousand of them stay cheap.
unsigned long long g_numbered = 0;
bool g_numberedInOrder = true;

// Several copies append to one log at the same moment; one at a time, so that no
// line is lost.
class LogLock {
  public:
    LogLock() : m_(CreateMutexA(nullptr, FALSE, "VakoQuitTargetLogLock")) {
        if (m_)
            WaitForSingleObject(m_, 5000);
    }
    ~LogLock() {
        if (m_) {
            ReleaseMutex(m_);
            CloseHandle(m_);
        }
    }

  private:
    HANDLE m_;
};

void Log(const std::string& line) {
    if (g_opt.log.empty())
        return;
    LogLock lock;
    HANDLE f = CreateFileA(g_opt.log.c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    std::string s = line + "\n";
    DWORD written = 0;
    WriteFile(f, s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
    CloseHandle(f);
}

std::string Hex(unsigned long long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llX", v);
    return buf;
}

std::string Dec(unsigned long long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llu", v);
    return buf;
}

std::string ClassOf(HWND hwnd) {
    char buf[256];
    int n = GetClassNameA(hwnd, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

std::string Pid() {
    return Dec(GetCurrentProcessId());
}

std::string HwndText(HWND hwnd) {
    return Hex(reinterpret_cast<uintptr_t>(hwnd));
}

// Command-line words, with "..." quoting.
std::vector<std::string> Words(const char* cmd) {
    std::vector<std::string> words;
    const char* p = cmd;
    for (;;) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            break;
        std::string w;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '"')
                quoted = !quoted;
            else
                w += *p;
            ++p;
        }
        words.push_back(w);
    }
    return words;
}

void ParseOptions() {
    std::vector<std::string> w = Words(GetCommandLineA());
    auto value = [&](size_t& i) { return i + 1 < w.size() ? w[++i] : std::string(); };
    for (size_t i = 1; i < w.size(); ++i) {
        const std::string& a = w[i];
        if (a == "--log")
            g_opt.log = value(i);
        else if (a == "--mode")
            g_opt.mode = value(i);
        else if (a == "--title")
            g_opt.title = value(i);
        else if (a == "--class")
            g_opt.className = value(i);
        else if (a == "--count")
            g_opt.count = std::atoi(value(i).c_str());
        else if (a == "--style")
            g_opt.style = std::strtoul(value(i).c_str(), nullptr, 16);
        else if (a == "--exstyle")
            g_opt.exStyle = std::strtoul(value(i).c_str(), nullptr, 16);
        else if (a == "--hidden")
            g_opt.hidden = true;
        else if (a == "--disabled")
            g_opt.disabled = true;
        else if (a == "--close-delay")
            g_opt.closeDelay = std::atoi(value(i).c_str());
        else if (a == "--never-close")
            g_opt.neverClose = true;
        else if (a == "--quit-command") {
            g_opt.hasQuitCommand = true;
            g_opt.quitCommand = std::strtoul(value(i).c_str(), nullptr, 16);
        } else if (a == "--quit-syscommand") {
            g_opt.hasQuitSysCommand = true;
            g_opt.quitSysCommand = std::strtoul(value(i).c_str(), nullptr, 16);
        } else if (a == "--event")
            g_opt.event = value(i);
        else if (a == "--no-windows")
            g_opt.noWindows = true;
        else if (a == "--signal")
            g_opt.signal = value(i);
        else if (a == "--menu")
            g_opt.menu = true;
        else if (a == "--on-close")
            g_opt.onClose = value(i);
        else if (a == "--on-query-end")
            g_opt.onQueryEnd = value(i);
        else if (a == "--ask-disabled")
            g_opt.askDisabled = true;
    }
}

void DestroyAll() {
    std::vector<HWND> all = g_windows;
    for (HWND h : all) {
        if (IsWindow(h))
            DestroyWindow(h);
    }
    PostQuitMessage(0);
}

// The program, or just this window, goes away as asked: at once or after the delay.
void QuitRequested(HWND hwnd, bool wholeProgram) {
    if (g_opt.neverClose || g_quitting)
        return;
    g_quitting = wholeProgram;
    int delay = g_opt.closeDelay;
    if (delay < 0)
        delay = g_opt.mode == "command" ? 300 : 0;
    if (delay > 0) {
        SetTimer(hwnd, kQuitTimer, static_cast<UINT>(delay), nullptr);
        return;
    }
    if (wholeProgram)
        DestroyAll();
    else
        DestroyWindow(hwnd);
}

// Creates the box of --ask-disabled disabled: the only dialog this thread opens.
LRESULT CALLBACK CreateDisabled(int code, WPARAM wp, LPARAM lp) {
    char cls[16] = "";
    if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wp), cls, sizeof cls) &&
        lstrcmpA(cls, "#32770") == 0)
        reinterpret_cast<CBT_CREATEWNDA*>(lp)->lpcs->style |= WS_DISABLED;
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NULL:
        if (wp == 0)
            break;
        [[fallthrough]];
    case WM_CLOSE:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
        Log("msg " + Pid() + " " + HwndText(hwnd) + " " + Hex(msg) + " " + Hex(wp) + " " +
            ClassOf(hwnd));
        break;
    case WM_QUERYENDSESSION:
        Log("session " + Pid() + " " + HwndText(hwnd) + " " + Hex(msg) + " " + Hex(wp) + " " +
            Hex(static_cast<unsigned long long>(lp)));
        if (g_opt.onQueryEnd == "refuse")
            return FALSE;
        if (g_opt.onQueryEnd == "silent")
            Sleep(30000);
        return TRUE;
    case WM_ENDSESSION:
        Log("session " + Pid() + " " + HwndText(hwnd) + " " + Hex(msg) + " " + Hex(wp) + " " +
            Hex(static_cast<unsigned long long>(lp)));
        if (wp && g_opt.mode == "plain")
            DestroyAll();
        return 0;
    case WM_APP:
        g_numberedInOrder = g_numberedInOrder && wp == g_numbered;
        if (++g_numbered % 10000 == 0)
            Log("numbered " + Pid() + " " + Dec(g_numbered) + " " +
                (g_numberedInOrder ? "1" : "0"));
        return 0;
    case WM_TIMER:
        if (wp == kQuitTimer) {
            KillTimer(hwnd, kQuitTimer);
            if (g_quitting)
                DestroyAll();
            else
                DestroyWindow(hwnd);
            return 0;
        }
        break;
    case WM_DESTROY: {
        Log("destroy " + Pid() + " " + HwndText(hwnd) + " " + Dec(GetTickCount()) + " " +
            ClassOf(hwnd));
        bool anyLeft = false;
        for (HWND h : g_windows)
            anyLeft = anyLeft || (h != hwnd && IsWindow(h));
        if (!anyLeft && !g_windows.empty())
            PostQuitMessage(0);
        return 0;
    }
    }

    if (msg == WM_CLOSE) {
        if (g_opt.mode == "framework" && ClassOf(hwnd) == "TVakoMainForm") {
            ShowWindow(hwnd, SW_HIDE);
            return 0;
        }
        if (g_opt.mode == "plain" && g_opt.onClose == "hide") {
            ShowWindow(hwnd, SW_HIDE);
            return 0;
        }
        if (g_opt.mode == "plain" && g_opt.onClose == "ask") {
            HHOOK hook = g_opt.askDisabled ? SetWindowsHookExA(WH_CBT, CreateDisabled, nullptr,
                                                               GetCurrentThreadId())
                                           : nullptr;
            const int answer =
                MessageBoxA(hwnd, "Save changes?", "Vako Save", MB_YESNO | MB_ICONQUESTION);
            if (hook)
                UnhookWindowsHookEx(hook);
            if (answer == IDYES)
                QuitRequested(hwnd, true);
            return 0;
        }
        if (g_quitOnAnyClose || hwnd == g_quitWindow)
            QuitRequested(hwnd, true);
        else if (g_opt.mode == "plain")
            QuitRequested(hwnd, false);
        return 0;
    }
    if (msg == WM_COMMAND && g_opt.hasQuitCommand && wp == g_opt.quitCommand) {
        QuitRequested(hwnd, true);
        return 0;
    }
    if (msg == WM_SYSCOMMAND && g_opt.hasQuitSysCommand && wp == g_opt.quitSysCommand) {
        QuitRequested(hwnd, true);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        return Handle(hwnd, msg, wp, lp);
    } catch (...) {
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

void Register(const char* className) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
}

HWND Make(const char* className, const std::string& title, DWORD style, DWORD exStyle, bool show,
          HWND owner = nullptr, int x = 40, int y = 40, int w = 240, int h = 160) {
    Register(className);
    HWND hwnd = CreateWindowExA(exStyle, className, title.c_str(), style, x, y, w, h, owner,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd && show)
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
}

void BuildPlain() {
    std::string cls = g_opt.className.empty() ? "VakoPlainWindow" : g_opt.className;
    std::string title = g_opt.title.empty() ? "Vako Plain" : g_opt.title;
    int n = g_opt.count < 0 ? 1 : g_opt.count;
    for (int i = 0; i < n; ++i) {
        HWND h = Make(cls.c_str(), title, g_opt.style, g_opt.exStyle, !g_opt.hidden, nullptr,
                      40 + 20 * i, 40 + 20 * i);
        if (g_opt.disabled)
            EnableWindow(h, FALSE);
        if (g_opt.menu) {
            HMENU file = CreatePopupMenu();
            AppendMenuA(file, MF_STRING, LOWORD(g_opt.quitCommand), "E&xit");
            HMENU bar = CreateMenu();
            AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
            SetMenu(h, bar);
        }
        g_windows.push_back(h);
    }
}

void BuildResident() {
    int n = g_opt.count < 0 ? 2 : g_opt.count;
    // As framework programs make their utility windows: a tool pop-up of size 0.
    for (int i = 0; i < n; ++i)
        g_windows.push_back(
            Make("TPUtilWindow", "", WS_POPUP, WS_EX_TOOLWINDOW, false, nullptr, 0, 0, 0, 0));
    g_quitOnAnyClose = true;
}

void BuildFramework() {
    HWND app = Make("TApplication", g_opt.title.empty() ? "VakoApp" : g_opt.title,
                    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, false,
                    nullptr, 0, 0, 0, 0);
    HWND util = Make("TPUtilWindow", "", WS_POPUP, WS_EX_TOOLWINDOW, false, nullptr, 0, 0, 0, 0);
    HWND form = Make("TVakoMainForm", "Vako Main Form", WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS, 0,
                     true, app);
    g_windows = {app, util, form};
    g_quitWindow = app;
}

void BuildCommand() {
    std::string cls = g_opt.className.empty() ? "VakoCommandWindow" : g_opt.className;
    int n = g_opt.count < 0 ? 2 : g_opt.count;
    g_windows.push_back(Make("VakoCommandOther", "Vako Command Other", WS_OVERLAPPEDWINDOW, 0, true,
                             nullptr, 300, 40));
    for (int i = 0; i < n; ++i)
        g_windows.push_back(Make(cls.c_str(), "Vako Command " + std::to_string(i),
                                 WS_OVERLAPPEDWINDOW, 0, true, nullptr, 40 + 20 * i, 40 + 20 * i));
}

void BuildStyles() {
    HWND main = Make("VakoStyleMain", "Vako Style Main", WS_OVERLAPPEDWINDOW, 0, true);
    HWND ie = Make("Internet Explorer_Hidden", "", WS_POPUP | WS_CLIPSIBLINGS, 0, false);
    HWND bare = Make("VakoBareWindow", "", 0, 0, false);
    HWND popup =
        Make("VakoPopupWindow", "", WS_POPUP | WS_CLIPSIBLINGS, 0, true, nullptr, 300, 300, 60, 40);
    // Below the others, so that a choice that ignored the rules would pick another one.
    SetWindowPos(main, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    g_windows = {main, ie, bare, popup};
    g_quitWindow = main;
}

// Every kind of window that the classification must see through. Accepted and
// kept: "VakoTopTool" (tool window that is also topmost) and "AfxWnd42s" titled
// "socket lower" (the socket test is case-sensitive). All others are rejected or
// excluded.
void BuildService() {
    HWND main = Make("VakoServiceMain", "Vako Service Main", WS_OVERLAPPEDWINDOW, 0, true);
    Make("VakoServiceDialog", "Vako Service Dialog",
         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS, WS_EX_DLGMODALFRAME, true, main, 80,
         80);
    EnableWindow(main, FALSE); // as a modal dialog leaves its owner
    Make("OleVakoWndClass", "OleMainThreadWndName", WS_OVERLAPPEDWINDOW, 0, false);
    Make("DDEMLVakoClass", "", WS_OVERLAPPEDWINDOW, 0, false);
    Make("tooltips_class32", "", WS_POPUP | WS_CLIPSIBLINGS, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
         false);
    Make("AfxFrameOrView42s", "Frame", WS_OVERLAPPEDWINDOW, 0, false);
    Make("AfxWnd42s", "Socket Notification Sink", WS_OVERLAPPEDWINDOW, 0, false);
    Make("AfxWnd42s", "socket lower", WS_OVERLAPPEDWINDOW, 0, false);
    // Without a frame, so that the system adds no WS_EX_WINDOWEDGE.
    Make("VakoToolWindow", "Vako Tool", WS_POPUP, WS_EX_TOOLWINDOW, true, nullptr, 300, 40, 60, 40);
    Make("VakoTopTool", "Vako Top Tool", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, true, nullptr,
         300, 200, 60, 40);
}

void BuildOle() {
    int n = g_opt.count < 0 ? 1 : g_opt.count;
    for (int i = 0; i < n; ++i)
        Make("OleVakoWndClass", "OleMainThreadWndName", WS_OVERLAPPEDWINDOW, 0, false);
}

bool IsLogged(UINT msg, WPARAM wp) {
    return msg == WM_COMMAND || msg == WM_SYSCOMMAND || (msg == WM_NULL && wp != 0);
}

int RunLoop(HANDLE stopEvent) {
    MSG msg;
    for (;;) {
        DWORD r =
            MsgWaitForMultipleObjects(stopEvent ? 1 : 0, &stopEvent, FALSE, INFINITE, QS_ALLINPUT);
        if (stopEvent && r == WAIT_OBJECT_0)
            return 0;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return static_cast<int>(msg.wParam);
            if (!msg.hwnd && IsLogged(msg.message, msg.wParam))
                Log("thread " + Pid() + " " + Hex(msg.message) + " " + Hex(msg.wParam));
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ParseOptions();
    if (!g_opt.signal.empty()) {
        HANDLE e = OpenEventA(EVENT_MODIFY_STATE, FALSE, g_opt.signal.c_str());
        if (e) {
            SetEvent(e);
            CloseHandle(e);
        }
        Log("signal " + Pid() + " " + g_opt.signal);
        return e ? 0 : 1;
    }

    HANDLE stopEvent = nullptr;
    const std::string& m = g_opt.mode;
    if (m == "plain")
        BuildPlain();
    else if (m == "resident")
        BuildResident();
    else if (m == "framework")
        BuildFramework();
    else if (m == "command")
        BuildCommand();
    else if (m == "styles")
        BuildStyles();
    else if (m == "service")
        BuildService();
    else if (m == "ole")
        BuildOle();
    else if (m == "param") {
        stopEvent = CreateEventA(nullptr, TRUE, FALSE, g_opt.event.c_str());
        if (!g_opt.noWindows)
            Make("VakoParamWindow", "Vako Param", WS_OVERLAPPEDWINDOW, 0, true);
    } else {
        return 2;
    }
    Log("ready " + Pid());
    int rc = RunLoop(stopEvent);
    Log("exit " + Pid());
    return rc;
}

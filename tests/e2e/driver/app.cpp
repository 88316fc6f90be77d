// The program under test: its process and its main window.

#include "vako_e2e.h"
#include "win/ansi_path.h"

namespace e2e {

MainWindow::MainWindow(HWND hwnd)
    : hwnd_(hwnd), list_(FindDescendant(hwnd, WC_LISTVIEWA)),
      status_(FindDescendant(hwnd, STATUSCLASSNAMEA)),
      toolbar_(FindDescendant(hwnd, TOOLBARCLASSNAMEA)) {
    if (!IsWindow(hwnd))
        throw DriverError("MainWindow: no such window");
    if (!list_)
        throw DriverError("MainWindow: no SysListView32 in \"" + Caption(hwnd) + "\"");
}

RECT MainWindow::Rect() const {
    RECT r{};
    if (!GetWindowRect(hwnd_, &r))
        ThrowLastError("GetWindowRect");
    return r;
}

std::string MainWindow::StatusText() const {
    if (!status_)
        throw DriverError("MainWindow: no status bar");
    return StatusBarText(status_, 0);
}

bool MainWindow::StatusVisible() const {
    return status_ && IsWindowVisible(status_);
}

bool MainWindow::WaitStatus(const std::string& text, DWORD timeoutMs) const {
    return WaitUntil([&] { return StatusText() == text; }, timeoutMs);
}

bool MainWindow::WaitItemCount(int count, DWORD timeoutMs) const {
    return WaitUntil([&] { return ItemCount() == count; }, timeoutMs);
}

bool MainWindow::WaitPostedHandled(DWORD timeoutMs) const {
    // The list belongs to the window's thread, so a message posted to it queues up
    // behind everything posted to the window. Flipping one bit of blue is a change
    // nobody sees and nothing saves; the next barrier flips it back.
    const auto before = static_cast<COLORREF>(Send(list_, LVM_GETBKCOLOR));
    const COLORREF marker = before ^ 0x00010000;
    Post(list_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(marker));
    return WaitUntil([&] { return static_cast<COLORREF>(Send(list_, LVM_GETBKCOLOR)) == marker; },
                     timeoutMs);
}

AppProcess::AppProcess(const Sandbox& box, const std::string& args)
    : AppProcess(box.ExePath(), args, box.Dir()) {}

AppProcess::AppProcess(const std::string& exe, const std::string& args, const std::string& dir)
    : process_(Process::Start(exe, args, dir)) {}

AppProcess::AppProcess(const Sandbox& box, const std::wstring& args)
    : process_(Process::StartWide(win::WideFromAnsi(box.ExePath()), args,
                                  win::WideFromAnsi(box.Dir()))) {}

AppProcess::~AppProcess() {
    if (!process_.Running())
        return;
    // Politely first, so that a failing test leaves no half-written files behind;
    // a program stuck in a dialog or a loop is ended the hard way.
    try {
        HWND main = main_ && IsWindow(main_) ? main_ : FindTopWindow(Id(), kMainClass);
        if (!main || !PostMessageA(main, WM_CLOSE, 0, 0) || !process_.WaitExit(2000))
            process_.Terminate();
    } catch (...) {
        process_.Terminate();
    }
}

HWND AppProcess::WaitForMainWindow(DWORD timeoutMs, bool visible) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : TopLevelWindows(Id(), visible))
                if (ClassName(h) == kMainClass)
                    return (found = h) != nullptr;
            return false;
        },
        timeoutMs);
    if (found)
        main_ = found;
    return found;
}

MainWindow AppProcess::Main(DWORD timeoutMs) {
    // A window is listed while it is still being created; its list view comes with
    // WM_CREATE, so wait for that too.
    const DWORD start = GetTickCount();
    HWND h = main_ && IsWindow(main_) ? main_ : WaitForMainWindow(timeoutMs);
    const DWORD used = GetTickCount() - start;
    if (h)
        WaitUntil([&] { return FindDescendant(h, WC_LISTVIEWA) != nullptr; },
                  used < timeoutMs ? timeoutMs - used : 0);
    if (!h)
        throw DriverError(std::string("no ") + kMainClass + " window of process " +
                          std::to_string(Id()) + (Running() ? "" : " (it has ended)"));
    return MainWindow(h);
}

std::optional<DWORD> AppProcess::Close(DWORD timeoutMs) {
    HWND h = main_ && IsWindow(main_) ? main_ : FindTopWindow(Id(), kMainClass);
    if (h)
        Post(h, WM_CLOSE);
    return process_.WaitExit(timeoutMs);
}

} // namespace e2e

#include "quit/window_table.h"

#include "quit/window_rules.h"
#include "win/window_text.h"

namespace {

// Each reading of another process's window is a round trip to the window server,
// so a window is read in two steps: what deciding whether it is accepted needs,
// then the rest for the accepted ones only.
void FillDeciding(TWindowInfo& e, HWND hwnd) {
    e.Handle = hwnd;
    e.Style = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE));
    e.ExStyle = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    // A window without a parent is enabled and visible by its own style alone:
    // IsWindowEnabled and IsWindowVisible would only read the style again.
    e.Enabled = (e.Style & WS_DISABLED) == 0;
    e.Visible = (e.Style & WS_VISIBLE) != 0;
    e.Text = win::WindowText(hwnd);
    e.ClassName = win::ClassName(hwnd);
}

void FillRest(TWindowInfo& e, HWND hwnd) {
    e.Placement.length = sizeof(WINDOWPLACEMENT);
    GetWindowPlacement(hwnd, &e.Placement);
    e.ThreadID = GetWindowThreadProcessId(hwnd, nullptr);
    e.ClassWndProc = static_cast<uint32_t>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
    e.ClassStyle = static_cast<uint32_t>(GetClassLongA(hwnd, GCL_STYLE));
}

uint32_t ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

} // namespace

int CollectWindows(TWindowTable& table, const std::vector<HWND>& windows) {
    for (TWindowInfo& e : table) {
        e.Handle = nullptr;
        e.Placement.length = sizeof(WINDOWPLACEMENT);
    }
    int n = 0;
    for (size_t k = 0; k < windows.size() && n < kMaxWindows; ++k) {
        HWND hwnd = windows[k];
        // Child windows and owned pop-ups are reached through their top window.
        if (GetParent(hwnd))
            continue;
        TWindowInfo& e = table[static_cast<size_t>(n)];
        FillDeciding(e, hwnd);
        if (quit_rules::AcceptWindow(e.ClassName, e.Text, e.Style, e.ExStyle, e.Enabled)) {
            FillRest(e, hwnd);
            ++n;
        }
    }
    return quit_rules::ExcludeServiceWindows(table, n - 1);
}

int CollectWindows(TWindowTable& table, TWindowList& list, uint32_t processId) {
    TWindowsByProcess windows;
    windows.Take(list);
    return CollectWindows(table, windows.Of(processId));
}

HWND MainWindowOf(TWindowTable& table, TWindowList& list, uint32_t processId) {
    return CollectWindows(table, list, processId) == -1 ? nullptr : table[0].Handle;
}

std::vector<HWND> TopLevelWindowsOf(uint32_t processId) {
    const TWindowList now;
    std::vector<HWND> windows;
    for (int k = 0; k < now.Count(); ++k) {
        if (ProcessOf(now.Handle(k)) == processId)
            windows.push_back(now.Handle(k));
    }
    return windows;
}

void TWindowsByProcess::Take(TWindowList& list) {
    list.Refresh();
    windows_.clear();
    for (int k = 0; k < list.Count(); ++k)
        windows_[ProcessOf(list.Handle(k))].push_back(list.Handle(k));
    taken_ = true;
}

const std::vector<HWND>& TWindowsByProcess::Of(uint32_t processId) const {
    static const std::vector<HWND> none;
    auto it = windows_.find(processId);
    return it == windows_.end() ? none : it->second;
}

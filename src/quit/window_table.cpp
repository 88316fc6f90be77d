#include "quit/window_table.h"

#include "quit/window_rules.h"
#include "win/window_text.h"

namespace {

void Fill(TWindowInfo& e, HWND hwnd) {
    e.Handle = hwnd;
    e.Text = win::WindowText(hwnd);
    e.ClassName = win::ClassName(hwnd);
    e.Placement.length = sizeof(WINDOWPLACEMENT);
    GetWindowPlacement(hwnd, &e.Placement);
    e.Enabled = IsWindowEnabled(hwnd) != FALSE;
    e.Visible = IsWindowVisible(hwnd) != FALSE;
    e.Style = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE));
    e.ExStyle = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    e.ThreadID = GetWindowThreadProcessId(hwnd, nullptr);
    e.ClassWndProc = static_cast<uint32_t>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
    e.ClassStyle = static_cast<uint32_t>(GetClassLongA(hwnd, GCL_STYLE));
}

} // namespace

int CollectWindows(TWindowTable& table, TWindowList& list, uint32_t processId) {
    for (TWindowInfo& e : table) {
        e.Handle = nullptr;
        e.Placement.length = sizeof(WINDOWPLACEMENT);
    }
    list.Refresh();
    int n = 0;
    for (int k = 0; k < list.Count() && n < kMaxWindows; ++k) {
        HWND hwnd = list.Handle(k);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != processId)
            continue;
        // Child windows and owned pop-ups are reached through their top window.
        if (GetParent(hwnd))
            continue;
        TWindowInfo& e = table[static_cast<size_t>(n)];
        Fill(e, hwnd);
        if (quit_rules::AcceptWindow(e.ClassName, e.Text, e.Style, e.ExStyle, e.Enabled))
            ++n;
    }
    return quit_rules::ExcludeServiceWindows(table, n - 1);
}

HWND MainWindowOf(TWindowTable& table, TWindowList& list, uint32_t processId) {
    return CollectWindows(table, list, processId) == -1 ? nullptr : table[0].Handle;
}

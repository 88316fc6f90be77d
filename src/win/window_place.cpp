#include "win/window_place.h"

#include "win/display.h"

namespace win {

TWindowPlace WindowPlaceOf(HWND hwnd) {
    TWindowPlace place;
    if (!hwnd || !IsWindowVisible(hwnd))
        return place;
    const RECT r = NormalWindowRect(hwnd);
    place.Left = r.left;
    place.Top = r.top;
    place.Right = r.right;
    place.Bottom = r.bottom;
    place.Show = IsIconic(hwnd) ? 1 : IsZoomed(hwnd) ? 2 : 0;
    return place;
}

RECT PlaceRect(const TWindowPlace& place) {
    return PlaceOnMonitor(RECT{place.Left, place.Top, place.Right, place.Bottom});
}

void PutWindowAt(HWND hwnd, const TWindowPlace& place) {
    const RECT screen = PlaceRect(place);
    // The normal place is given in workspace coordinates, which start after a task
    // bar at the top or the left of the monitor.
    RECT r = screen;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        OffsetRect(&r, info.rcMonitor.left - info.rcWork.left,
                   info.rcMonitor.top - info.rcWork.top);
    // The window keeps its own minimised and maximised positions.
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    GetWindowPlacement(hwnd, &wp);
    wp.length = sizeof wp;
    wp.flags = 0;
    wp.showCmd = place.Show == 1   ? SW_SHOWMINIMIZED
                 : place.Show == 2 ? SW_SHOWMAXIMIZED
                                   : SW_SHOWNORMAL;
    wp.rcNormalPosition = r;
    if (SetWindowPlacement(hwnd, &wp))
        return;
    // Wine sets the placement of its own process's windows only; another's is
    // moved in its normal state and then shown as it was.
    if (IsIconic(hwnd) || IsZoomed(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
    SetWindowPos(hwnd, nullptr, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (place.Show == 1)
        ShowWindow(hwnd, SW_MINIMIZE);
    else if (place.Show == 2)
        ShowWindow(hwnd, SW_MAXIMIZE);
}

} // namespace win

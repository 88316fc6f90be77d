#include "win/display.h"

#include "win/handles.h"

namespace win {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

template <typename Fn> Fn User32Function(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

int SystemDpi() {
    const int dpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSX);
    return dpi > 0 ? dpi : scale::kDesignDpi;
}

} // namespace

int WindowDpi(HWND hwnd) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (hwnd && getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(hwnd))
            return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpi));
    // Without it the system's metrics are those of the system's DPI.
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

scale::Rect ToScaleRect(const RECT& r) {
    return scale::Rect{r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const scale::Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

RECT MonitorWorkArea(const RECT& r) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        return info.rcWork;
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

RECT PlaceOnMonitor(const RECT& r) {
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL))
        return r;
    return ToRect(scale::FitInside(ToScaleRect(r), ToScaleRect(MonitorWorkArea(r))));
}

RECT NormalWindowRect(HWND hwnd) {
    RECT rc = {};
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if ((IsIconic(hwnd) || IsZoomed(hwnd)) && GetWindowPlacement(hwnd, &wp)) {
        // The normal place is in workspace coordinates: those of the work area,
        // which start after a task bar at the top or the left.
        rc = wp.rcNormalPosition;
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        if (GetMonitorInfoA(MonitorFromRect(&rc, MONITOR_DEFAULTTOPRIMARY), &info))
            OffsetRect(&rc, info.rcWork.left - info.rcMonitor.left,
                       info.rcWork.top - info.rcMonitor.top);
        return rc;
    }
    GetWindowRect(hwnd, &rc);
    return rc;
}

} // namespace win

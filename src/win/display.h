#pragma once
// Display scale and monitors: the DPI a window is drawn at and where on the monitors
// a window may lie. The per-monitor functions are looked up at run time: Windows
// before 8.1 and 10 has none of them, and the program falls back to the system's
// DPI and the primary monitor's work area there.
#include "core/display_scale.h"

#include <windows.h>

namespace win {

// The DPI `hwnd` is drawn at: its monitor's under per-monitor awareness, else the
// system's. A null window gives the system's.
int WindowDpi(HWND hwnd);
// The system metric `index` (SM_CXICON, SM_CXSMICON, ...) at `dpi`.
int SystemMetricForDpi(int index, int dpi);

scale::Rect ToScaleRect(const RECT& r);
RECT ToRect(const scale::Rect& r);

// The work area of the monitor that holds most of `r`, or of the nearest one.
RECT MonitorWorkArea(const RECT& r);
// `r` where a window may open: unchanged when some part of it lies on a monitor,
// else moved onto the nearest monitor's work area, its size kept where it fits.
RECT PlaceOnMonitor(const RECT& r);

// Where a top-level window lies in its normal state: a minimised window's own
// rectangle lies off the screen, a maximised one's fills its monitor.
RECT NormalWindowRect(HWND hwnd);

} // namespace win

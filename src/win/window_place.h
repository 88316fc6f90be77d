#pragma once
// Where a top-level window of any program lies and how it is shown, read and put
// back: the quits' record keeps it, so that a program started again opens where it
// was quit.
#include "core/ran_with.h"

#include <windows.h>

namespace win {

// The place of a visible window; no place for a hidden one (a tray program's
// window is not to be shown by putting it back).
TWindowPlace WindowPlaceOf(HWND hwnd);

// The rectangle a stored place puts a window at, in screen pixels: the place
// itself where some of it lies on a monitor, else the nearest monitor's work area.
RECT PlaceRect(const TWindowPlace& place);

// Puts the window at PlaceRect(place), shown as the place says.
void PutWindowAt(HWND hwnd, const TWindowPlace& place);

} // namespace win

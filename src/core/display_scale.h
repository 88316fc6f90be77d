#pragma once
// Lengths and places on displays of any scale. The settings file keeps what the
// window measures at 96 DPI, so that one file means the same on every display; the
// window works in the pixels of its monitor. Platform-free.
#include <cstdint>

namespace scale {

// The scale the stored values are in: 100 %.
constexpr int kDesignDpi = 96;

// A stored length or coordinate in pixels at `dpi`, rounded half away from zero.
int32_t ToPixels(int32_t stored, int dpi);
// Pixels at `dpi` back to the stored value. At any dpi of 96 or more,
// ToStored(ToPixels(v, dpi), dpi) == v: a file read and written again without a
// change keeps its numbers, however often.
int32_t ToStored(int32_t pixels, int dpi);

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// `r` moved the least into `area`, its size kept where it fits; a side longer than
// the area's is cut to it.
Rect FitInside(const Rect& r, const Rect& area);
// A rectangle of this size centred on `on`, then fitted into `area`: a window near
// an edge does not push the dialog's buttons off the monitor.
Rect CenterInside(int32_t width, int32_t height, const Rect& on, const Rect& area);

} // namespace scale

#include "core/display_scale.h"

#include <algorithm>

namespace scale {

namespace {

// value * num / den, rounded half away from zero as MulDiv does.
int32_t Scale(int32_t value, int num, int den) {
    const int64_t n = static_cast<int64_t>(value) * num;
    const int64_t half = den / 2;
    return static_cast<int32_t>(n >= 0 ? (n + half) / den : (n - half) / den);
}

// One side of the interval [lo, lo + length) moved into [areaLo, areaHi).
void FitSpan(int32_t& lo, int32_t& hi, int32_t areaLo, int32_t areaHi) {
    const int32_t length = std::min(hi - lo, areaHi - areaLo);
    lo = std::max(areaLo, std::min(lo, areaHi - length));
    hi = lo + length;
}

} // namespace

// Upwards the map stretches, so rounding moves a value by at most half a pixel,
// which is less than half a stored unit on the way back: the round trip is exact.
int32_t ToPixels(int32_t stored, int dpi) {
    return Scale(stored, dpi, kDesignDpi);
}

int32_t ToStored(int32_t pixels, int dpi) {
    return Scale(pixels, kDesignDpi, dpi);
}

Rect FitInside(const Rect& r, const Rect& area) {
    Rect out = r;
    FitSpan(out.left, out.right, area.left, area.right);
    FitSpan(out.top, out.bottom, area.top, area.bottom);
    return out;
}

Rect CenterInside(int32_t width, int32_t height, const Rect& on, const Rect& area) {
    Rect r;
    r.left = on.left + (on.Width() - width) / 2;
    r.top = on.top + (on.Height() - height) / 2;
    r.right = r.left + width;
    r.bottom = r.top + height;
    return FitInside(r, area);
}

} // namespace scale

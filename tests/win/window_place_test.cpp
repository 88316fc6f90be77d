// Reading and putting back where a window lies, on a window of this process: the
// calls are those VakoQuit makes on other programs' windows.
#include "win/display.h"
#include "win/window_place.h"

#include <gtest/gtest.h>

namespace {

class PlaceWindow {
  public:
    explicit PlaceWindow(DWORD style) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VakoPlaceTest";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowA("VakoPlaceTest", "place", style, 50, 60, 300, 200, nullptr, nullptr,
                              wc.hInstance, nullptr);
    }
    ~PlaceWindow() { DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }

  private:
    HWND hwnd_ = nullptr;
};

RECT MonitorOf(const RECT& r) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcMonitor;
}

} // namespace

// A place that lies on a monitor is kept, however little of it does; one on no
// monitor any more (a monitor unplugged since) comes onto the nearest monitor's
// work area, its size kept where it fits and cut where it does not.
TEST(WindowPlace, APlaceOnNoMonitorComesOntoTheNearestWorkArea) {
    const RECT screen = MonitorOf(RECT{0, 0, 1, 1});
    const TWindowPlace partly{screen.right - 40, 100, screen.right + 400, 400, 0};
    const RECT kept = win::PlaceRect(partly);
    EXPECT_EQ(kept.left, partly.Left);
    EXPECT_EQ(kept.right, partly.Right);

    const TWindowPlace gone{screen.right + 3000, 200, screen.right + 3400, 500, 2};
    const RECT moved = win::PlaceRect(gone);
    const RECT work = win::MonitorWorkArea(moved);
    EXPECT_EQ(moved.right, work.right);
    EXPECT_EQ(moved.right - moved.left, 400);
    EXPECT_EQ(moved.top, 200);
    EXPECT_EQ(moved.bottom - moved.top, 300);

    const TWindowPlace huge{-90000, -90000, -10000, -10000, 0};
    const RECT cut = win::PlaceRect(huge);
    const RECT nearest = win::MonitorWorkArea(cut);
    EXPECT_TRUE(EqualRect(&cut, &nearest));
}

// A window put at a place reads back as that place, maximised or not; a hidden
// window has none, so that a tray program's window is never shown by putting it.
TEST(WindowPlace, PutThenReadGivesThePlaceBack) {
    PlaceWindow window(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_NE(window.get(), nullptr);
    for (const TWindowPlace& place :
         {TWindowPlace{120, 90, 520, 390, 0}, TWindowPlace{200, 150, 640, 470, 2}}) {
        win::PutWindowAt(window.get(), place);
        EXPECT_EQ(win::WindowPlaceOf(window.get()), place) << place.Show;
        EXPECT_EQ(IsZoomed(window.get()) != FALSE, place.Show == 2);
    }
    win::PutWindowAt(window.get(), TWindowPlace{130, 100, 530, 400, 1});
    EXPECT_TRUE(IsIconic(window.get()));
    EXPECT_EQ(win::WindowPlaceOf(window.get()), (TWindowPlace{130, 100, 530, 400, 1}));

    PlaceWindow hidden(WS_OVERLAPPEDWINDOW);
    EXPECT_FALSE(win::WindowPlaceOf(hidden.get()).Set());
    EXPECT_FALSE(win::WindowPlaceOf(nullptr).Set());
}

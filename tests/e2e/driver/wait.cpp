// Polling with a deadline, the one way the driver waits.
#include "vako_e2e.h"

namespace e2e {

void ThrowLastError(const std::string& what) {
    DWORD code = GetLastError();
    throw DriverError(what + " (error " + std::to_string(code) + ")");
}

namespace {
// A test thread that owns windows (a drop source, a painted probe) must keep
// answering while it waits, or the other process blocks on it.
void DrainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
} // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        // Unsigned difference: correct across the 49-day wrap of the tick count.
        if (GetTickCount() - start >= timeoutMs)
            return condition();
        DrainQueue();
        Sleep(pollMs);
    }
}

} // namespace e2e

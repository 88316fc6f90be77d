// icon_watch.dll: a WH_GETMESSAGE hook that the start-up bench installs on the
// window thread of VakoQuit, to see when the last slice of icons has been handled
// and how long input waited meanwhile.
#include "icon_watch.h"

namespace {

icon_watch::Shared* g_shared = nullptr;

icon_watch::Shared* SharedBlock() {
    if (!g_shared) {
        HANDLE m = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, icon_watch::kSharedName);
        if (m)
            g_shared = static_cast<icon_watch::Shared*>(
                MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(icon_watch::Shared)));
    }
    return g_shared;
}

} // namespace

// Runs as each message is taken from the queue, before it is handled: the message
// after a slice is taken once the slice has been handled. A message's time is when
// it entered the queue.
extern "C" __declspec(dllexport) LRESULT CALLBACK IconWatchProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) {
        if (icon_watch::Shared* s = SharedBlock()) {
            const MSG* msg = reinterpret_cast<const MSG*>(lp);
            if (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST) {
                const LONG waited = static_cast<LONG>(GetTickCount() - msg->time);
                if (waited > s->longestInputWait)
                    s->longestInputWait = waited;
                ++s->inputs;
            }
            if (msg->message == s->loadMessage && msg->wParam == s->loadWParam) {
                ++s->slices;
                s->previousWasSlice = 1;
            } else if (s->previousWasSlice) {
                LARGE_INTEGER t;
                QueryPerformanceCounter(&t);
                s->endedCounter = t.QuadPart;
                s->previousWasSlice = 0;
            }
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

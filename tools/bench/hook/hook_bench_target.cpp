// hook_bench_target: the program whose thread the hook benchmark hooks. Its one
// window "VakoHookBenchTarget", sent WM_APP with wParam N, posts itself N messages
// in batches and takes each from its queue (each retrieval passes the message
// hooks of the thread), and answers with the microseconds that took. Built as a
// 32-bit and as a 64-bit program; ends on WM_CLOSE.
#include <windows.h>

namespace {

constexpr UINT kRun = WM_APP;
constexpr UINT kTick = WM_APP + 1;
// Well below the 10000 messages a queue holds.
constexpr WPARAM kBatch = 1000;

LRESULT Run(HWND hwnd, WPARAM count) {
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    for (WPARAM done = 0; done < count;) {
        WPARAM batch = count - done < kBatch ? count - done : kBatch;
        for (WPARAM i = 0; i < batch; ++i)
            PostMessageA(hwnd, kTick, 0, 0);
        MSG msg;
        for (WPARAM i = 0; i < batch && PeekMessageA(&msg, hwnd, kTick, kTick, PM_REMOVE); ++i)
            ++done;
    }
    QueryPerformanceCounter(&end);
    return static_cast<LRESULT>((end.QuadPart - start.QuadPart) * 1000000 / freq.QuadPart);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kRun)
        return Run(hwnd, wp);
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "VakoHookBenchTarget";
    RegisterClassA(&wc);
    if (!CreateWindowExA(0, wc.lpszClassName, "Vako Hook Bench", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                         100, nullptr, nullptr, instance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

// launch_echo.exe: a GUI program that reports how it was started, then idles.
//
//   launch_echo.exe [any arguments] [-echo-out PATH] [-echo-life MS]
//
// Writes its report (see report.h) to PATH, or, without -echo-out, to the file the
// environment variable VAKO_ECHO_OUT names, so that it can be started with any
// other arguments. Report keys: pid, cmdline (GetCommandLineA), cwd
// (GetCurrentDirectoryA), flags and show (dwFlags and wShowWindow of
// GetStartupInfoA), state (its visible window once created: normal,
// min, max or hidden). Then runs a message loop, so that it counts as ready for input,
// until its window (class "VakoLaunchEcho", title "launch_echo") gets WM_CLOSE or
// MS milliseconds (default 60000) have passed.
#include "report.h"

namespace {

LRESULT CALLBACK EchoProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::string report = target::StartReport();

    WNDCLASSA wc = {};
    wc.lpfnWndProc = EchoProc;
    wc.hInstance = instance;
    wc.lpszClassName = "VakoLaunchEcho";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    // Visible from the start at the default position: the system shows it in the
    // state this process was started with, as an ordinary program's main window.
    HWND hwnd =
        CreateWindowA("VakoLaunchEcho", "launch_echo", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      CW_USEDEFAULT, CW_USEDEFAULT, 240, 120, nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return 1;
    const char* state = !IsWindowVisible(hwnd) ? "hidden"
                        : IsIconic(hwnd)       ? "min"
                        : IsZoomed(hwnd)       ? "max"
                                               : "normal";
    report += "state=" + std::string(state) + "\r\n";
    target::WriteReport(target::ReportPath(), report);

    SetTimer(hwnd, 1, target::MillisecondsOption("-echo-life", 60000), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

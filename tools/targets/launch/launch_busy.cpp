// launch_busy.exe: a GUI program that never becomes ready for input.
//
//   launch_busy.exe [-echo-out PATH] [-busy-ms MS]
//
// Creates a window (so it has a message queue) and writes the report of report.h
// (PATH, or the file VAKO_ECHO_OUT names), then never looks at its messages:
// it sleeps for MS milliseconds (default 10000) and exits.
#include "report.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::string report = target::StartReport();
    HWND hwnd = CreateWindowA("STATIC", "launch_busy", WS_OVERLAPPED, 0, 0, 100, 50, nullptr,
                              nullptr, instance, nullptr);
    target::WriteReport(target::ReportPath(), report);
    const DWORD life = target::MillisecondsOption("-busy-ms", 10000);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < life)
        Sleep(50);
    if (hwnd)
        DestroyWindow(hwnd);
    return 0;
}

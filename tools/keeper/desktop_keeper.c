/* Keeps Wine's desktop alive for a whole test session. Wine ends its desktop process
   soon after the last program that uses it has gone, and every program started after
   that waits about a second for a new one, so the tests would run at Wine's pace, not
   the program's. A hidden window that nobody is asked to close is enough. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int show) {
    (void)instance;
    (void)previous;
    (void)cmdLine;
    (void)show;
    HWND hwnd = CreateWindowExA(0, "STATIC", "desktop keeper", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                NULL, NULL);
    MSG msg;
    while (hwnd && GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

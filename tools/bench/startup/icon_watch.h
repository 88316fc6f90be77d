#pragma once
// Shared between the start-up bench and its hook library, which watches the
// message loop of VakoQuit's window thread from inside: the icons of a long list
// are read one slice per message, and the last icon is in when the message after
// the last slice is taken. Meanwhile the bench moves the mouse over the window,
// and the hook notes how long each mouse message waited in the queue.
#include <windows.h>

namespace icon_watch {

constexpr const char* kSharedName = "VakoBenchIconWatch";
constexpr const char* kHookProcName = "IconWatchProc";

struct Shared {
    UINT loadMessage;      // the message that loads one slice of icons...
    WPARAM loadWParam;     // ...with this wParam (a timer's ID)
    LONG slices;           // slices seen
    LONG previousWasSlice; // the message taken last was a slice
    LONGLONG endedCounter; // QueryPerformanceCounter when the message after a slice was taken
    LONG inputs;           // mouse messages taken
    LONG longestInputWait; // ms, the longest time one of them waited
};

} // namespace icon_watch

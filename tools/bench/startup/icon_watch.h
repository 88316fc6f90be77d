#pragma once
// Shared between the start-up bench and its hook library, which watches the
// message loop of VakoQuit's window thread from inside: the icons of a long list
// are read one slice per turn of the loop, each slice queueing the next, so the
// last icon is in when a slice is followed by a message of any other kind.
#include <windows.h>

namespace icon_watch {

constexpr const char* kSharedName = "VakoBenchIconWatch";
constexpr const char* kHookProcName = "IconWatchProc";

struct Shared {
    UINT loadMessage;      // the message that loads one slice of icons
    LONG slices;           // slices seen
    LONG lastSliceEnded;   // 1 once the slice seen last was followed by another message
    LONG previousWasSlice; // the message taken last was a slice
    LONGLONG endedCounter; // QueryPerformanceCounter when that other message was taken
};

} // namespace icon_watch

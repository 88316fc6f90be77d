#pragma once
// What VakoQuit and its 64-bit hook helper agree on.
//
// Command line: VakoHook64.exe NOTIFYWND THREADID PARENT READY STOP, all unsigned
// decimal numbers: the window that receives the notifications, the thread to hook,
// and three handles the helper inherits: VakoQuit's process (SYNCHRONIZE), an event
// the helper sets once the hook is in place, and an event VakoQuit sets when the
// hook is to go. The helper also ends when VakoQuit's process ends.
namespace vakohook {

constexpr const char kHelperExe[] = "VakoHook64.exe";
constexpr const char kHelperDll[] = "VakoHook64.dll";

// The helper's exit codes.
enum HelperExit : unsigned long {
    kHelperDone = 0,      // the hook was removed on request or because VakoQuit ended
    kHelperBadArgs = 1,   // anything but five numbers on the command line
    kHelperNoDll = 2,     // VakoHook64.dll missing beside the helper, or not loadable
    kHelperNoHook = 3,    // InitDLL could not install the hook
    kHelperNoExports = 4, // the library lacks InitDLL or UnhookDLL
};

} // namespace vakohook

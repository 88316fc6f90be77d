#pragma once
// What VakoQuit and its 64-bit hook helper agree on.
//
// Command line: VakoHook64.exe NOTIFYWND THREADID PARENT READY STOP, all unsigned
// decimal numbers: the window that receives the notifications, the thread to hook,
// and three handles the helper inherits: VakoQuit's process (SYNCHRONIZE), an event
// the helper sets once the hook is in place, and an event VakoQuit sets when the
// hook is to go. The helper also ends when VakoQuit's process ends.
//
// Or: VakoHook64.exe cmdline PROCESSID MAPPING, to read the command line of a 64-bit
// process, whose memory a 32-bit program cannot read. MAPPING is an inherited file
// mapping of kCommandLineMappingBytes: the helper writes the command line's length
// in bytes (4 bytes) and then its UTF-16 text there.
namespace vakohook {

constexpr const char kHelperExe[] = "VakoHook64.exe";
constexpr const char kHelperDll[] = "VakoHook64.dll";
constexpr const char kCommandLineRequest[] = "cmdline";
// The length and the longest command line the system keeps.
constexpr unsigned long kCommandLineMappingBytes = 4 + 0x10000;

// The helper's exit codes.
enum HelperExit : unsigned long {
    kHelperDone = 0,          // the hook was removed on request or because VakoQuit ended
    kHelperBadArgs = 1,       // neither five numbers nor a command-line request
    kHelperNoDll = 2,         // VakoHook64.dll missing beside the helper, or not loadable
    kHelperNoHook = 3,        // InitDLL could not install the hook
    kHelperNoExports = 4,     // the library lacks InitDLL or UnhookDLL
    kHelperNoCommandLine = 5, // the process's command line cannot be read
};

} // namespace vakohook

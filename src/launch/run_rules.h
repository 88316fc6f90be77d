#pragma once
// How one registered application is started: the command line, the working folder
// and the window state handed to the new process, and the wait for it to become
// ready. Plain rules on strings and numbers, so that they hold without a system.
#include "core/prog_info.h"

#include <cstdint>
#include <string>

namespace launch {

// Window states as the system numbers them.
constexpr uint16_t kSwShowNormal = 1;
constexpr uint16_t kSwShowMaximized = 3;
constexpr uint16_t kSwShowMinNoActive = 7;
constexpr uint16_t kSwRestore = 9;
constexpr uint32_t kStartfUseShowWindow = 1;

// The wait for a started program: at most this long, polled in steps of this length.
constexpr uint32_t kReadyWaitMs = 5000;
constexpr uint32_t kReadyPollMs = 100;
// The result of a poll that means "not ready yet"; any other result ends the wait.
constexpr uint32_t kWaitTimeout = 258;

// Status texts of a run.
std::string StartingText(const std::string& name);
extern const char* const kRunAllDoneText;
extern const char* const kRunSelectedDoneText;
// The completion text of a run; when some programs could not be started it says
// how many, so that a failed start is never announced as a plain success. Short,
// so that it fits the status bar of the window at its first size.
std::string RunDoneText(const char* done, int notStarted);
// The completion of a run-all that started again what the quits had ended.
std::string RunAgainDoneText(int startedAgain, int notStarted);

// A path holding a space is quoted; the space before the arguments is always there,
// so an empty argument text leaves the command line ending in a space. The
// arguments go through untouched: the user wrote them for the target program.
std::string CommandLineFor(const std::string& program, const std::string& arg);

// `work`, or else the program's own folder with its trailing separator. A program
// named without any folder gives an empty result: start it in our own folder.
std::string WorkingFolderFor(const std::string& program, const std::string& work);

// The window state for the new process. 0, 1, 2 are normal, minimised (without
// taking the focus) and maximised; any other value hands on the state this program
// was itself started with. A state we were given without STARTF_USESHOWWINDOW is
// no state at all (the member then usually holds 0, SW_HIDE), and handing it on as
// one would start the program invisible, so SW_SHOWNORMAL stands in for it.
uint16_t ShowWindowFor(int32_t show, uint32_t ownFlags, uint16_t ownShowWindow);

// Everything CreateProcess is given for one entry, apart from the fixed flags.
struct StartRequest {
    std::string CommandLine;
    std::string Folder; // empty: no folder is passed
    uint32_t Flags = kStartfUseShowWindow;
    uint16_t ShowWindow = kSwShowNormal;
};
StartRequest MakeStartRequest(const TProgInfo& entry, uint32_t ownFlags, uint16_t ownShowWindow);

// What the wait for a started program needs of the system.
class ReadyWaitOps {
  public:
    virtual uint32_t TickCount() = 0;
    // Waits at most `ms` for the program to be ready for input; a wait result.
    virtual uint32_t WaitForIdle(uint32_t ms) = 0;
    virtual void ProcessMessages() = 0;

  protected:
    ~ReadyWaitOps() = default;
};

enum class ReadyWaitEnd { Ended, Deadline };
struct ReadyWaitResult {
    ReadyWaitEnd End = ReadyWaitEnd::Ended;
    int Polls = 0;
};

// Polls until the program answers anything but "not yet" or the deadline has come.
// The tick count wraps after 49.7 days; the deadline test is made on the
// difference, so a wait that straddles the wrap still lasts its full time.
ReadyWaitResult WaitUntilReady(ReadyWaitOps& ops);

} // namespace launch

#pragma once
// Run-all and run-selected: each registered application is started directly with
// its arguments, working folder and window state, and, when the programs are to be
// started one after the other, given up to five seconds to become ready first.
#include "core/prog_info.h"
#include "win/handles.h"
#include "win/host.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace launch {

// Whether run-all passes over an entry (its program already runs); empty: none is.
using SkipEntry = std::function<bool(const TProgInfo&)>;

// Handler of ActAllRun: every occupied slot whose Run flag is set, in slot order,
// except those `skip` names. The completion text counts the programs that could
// not be started; so does the result.
int ActAllRunExecute(win::Host& host, const TProgTable& table, bool eachRun,
                     const SkipEntry& skip = {});

// The main window of a running process, as the quit commands find it; null while
// it has none.
using FindMainWindow = std::function<HWND(uint32_t processId)>;

// Run-all while the quits' record is kept: exactly the occupied slots whose
// LastQuit is set, in slot order, whatever their Run flag, except those `skip`
// names; every LastQuit is cleared then, with what the entry ran with. An entry
// without arguments of its own gets those it ran with; one whose place was
// recorded has its main window put there (on the nearest monitor where that place
// lies on none any more) once it shows within the start wait, which
// `mainWindowOf` finds. The completion text says how many were started again;
// returns how many could not be started.
int ActRunLastQuitExecute(win::Host& host, TProgTable& table, bool eachRun,
                          const SkipEntry& skip = {}, const FindMainWindow& mainWindowOf = {});

// Handler of ActRun: the selected entries in the list's display order, whatever
// their Run flag. With nothing selected nothing starts and no completion text
// replaces the one SetBusy(true) writes.
void ActRunExecute(win::Host& host, const std::vector<const TProgInfo*>& selected, bool eachRun);

// Starts one entry; false when it could not be started. No box is shown for it, so
// that a run from the command line never stops to wait for a click. With
// `waitReady`, returns once the program is ready for input, or after five seconds.
// A program whose manifest asks for administrator rights cannot be created
// directly (error 740); it is started through the shell, so that
// Windows asks the user for consent. A refusal counts as not started.
bool RunProgram(win::Host& host, const TProgInfo& entry, bool waitReady);

// The start itself, for a caller that needs the new process: CreateProcess with
// `creationFlags` added (CREATE_SUSPENDED, say), or the shell for a program that
// needs elevation, which starts it running and gives no thread. False when it
// could not be started.
bool StartEntry(const TProgInfo& entry, DWORD creationFlags, win::Handle& process,
                win::Handle& thread);

// Windows' error 740 for such a program; the mingw headers lack its name.
constexpr DWORD kErrorElevationRequired = 740;

// The two system calls that start a program, replaceable so that tests can make
// them fail as Windows does.
struct StartCalls {
    decltype(&CreateProcessA) createProcess = &CreateProcessA;
    decltype(&ShellExecuteExA) shellExecute = &ShellExecuteExA;
};
StartCalls& CurrentStartCalls();

} // namespace launch

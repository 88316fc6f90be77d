#pragma once
// Run-all and run-selected: each registered application is started directly with
// its arguments, working folder and window state, and, when the programs are to be
// started one after the other, given up to five seconds to become ready first.
#include "core/prog_info.h"

#include <string>
#include <vector>

namespace launch {

// What a run needs of the main window.
class LaunchHost {
  public:
    // false: the actions that could start another run are disabled; true: they are
    // enabled again and the status text is rewritten from the selection.
    virtual void SetBusy(bool enabled) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // Lets the window repaint and answer while a started program is waited for.
    virtual void ProcessMessages() = 0;

  protected:
    ~LaunchHost() = default;
};

// Handler of ActAllRun: every occupied slot whose Run flag is set, in slot order.
void ActAllRunExecute(LaunchHost& host, const TProgTable& table, bool eachRun);

// Handler of ActRun: the selected entries in the list's display order, whatever
// their Run flag. With nothing selected nothing starts and no completion text
// replaces the one SetBusy(true) writes.
void ActRunExecute(LaunchHost& host, const std::vector<const TProgInfo*>& selected, bool eachRun);

// Starts one entry. A program that cannot be started is passed over without a word.
// With `waitReady`, returns once the program is ready for input, or after five seconds.
void RunProgram(LaunchHost& host, const TProgInfo& entry, bool waitReady);

} // namespace launch

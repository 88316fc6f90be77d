#pragma once
// Run-all and run-selected: each registered application is started directly with
// its arguments, working folder and window state, and, when the programs are to be
// started one after the other, given up to five seconds to become ready first.
#include "core/prog_info.h"
#include "win/host.h"

#include <string>
#include <vector>

namespace launch {

// Handler of ActAllRun: every occupied slot whose Run flag is set, in slot order.
void ActAllRunExecute(win::Host& host, const TProgTable& table, bool eachRun);

// Handler of ActRun: the selected entries in the list's display order, whatever
// their Run flag. With nothing selected nothing starts and no completion text
// replaces the one SetBusy(true) writes.
void ActRunExecute(win::Host& host, const std::vector<const TProgInfo*>& selected, bool eachRun);

// Starts one entry. A program that cannot be started is passed over without a word.
// With `waitReady`, returns once the program is ready for input, or after five seconds.
void RunProgram(win::Host& host, const TProgInfo& entry, bool waitReady);

} // namespace launch

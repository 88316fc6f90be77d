#pragma once
// Clearing the desk for one program and getting it back (RestoreAfter): after
// quit-all, the program given on the command line (dropped on the quit-all
// shortcut) is started so that VakoQuit holds it; VakoQuit waits, minimised, until
// it and every process it started have ended, and then starts again what the quit
// ended, from the quits' record.
#include "app/main_context.h"

#include <string>

// Starts `program` (a program file, or a shortcut to one), waits and starts the
// record again. Returns how many programs could not be started, `program`
// included; a program that cannot be started is not waited for. While it waits,
// ポムッと起動 (EndRestoreWait) starts the record at once; the window closing ends
// the wait and keeps the record for the next start from it.
int RunRestoreSession(TMainContext& c, const std::string& program);

// Ends the wait of the session that waits now, so that it starts the record at
// once. False when no session waits.
bool EndRestoreWait();

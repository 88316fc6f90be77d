#pragma once
// The handler of ActAddRunning: the programs that run now are offered in a dialog,
// and the ticked ones are registered as an added program file is.
class TMainContext;

void ActAddRunningExecute(TMainContext& c);

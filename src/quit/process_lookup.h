#pragma once
// Finding the running process of a registered application.
#include "core/prog_info.h"
#include "quit/enum_processes.h"

// The OnEnum handler of the lookup: lParam carries the address of the TProgInfo
// whose program is looked for. The first process in walk order that runs that
// program file sets the record's ProcessID and ends the walk.
void EnumProcessesEnum(const std::string& ExeName, uint32_t ProcessID, bool& ContinueEnum,
                       intptr_t lParam);

// Sets rec.ProcessID to the ID of the running process of rec.Program, or to 0 when
// it does not run. `walker` must have EnumProcessesEnum as its OnEnum. Throws
// EEnumProcesses when the processes cannot be walked.
void LookupProcess(TEnumProcesses& walker, TProgInfo& rec);

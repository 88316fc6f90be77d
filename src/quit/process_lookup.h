#pragma once
// Finding the running process of a registered application.
#include "quit/enum_processes.h"
#include "quit/same_program.h"

#include <cstdint>
#include <string>

// One lookup under way: the program looked for, matched once for the whole walk,
// and the process found so far (0: none yet).
struct TProcessSearch {
    explicit TProcessSearch(const std::string& program) : Matcher(program) {}
    ProgramMatcher Matcher;
    uint32_t Found = 0;
};

// The OnEnum handler of the lookup: lParam carries the address of the
// TProcessSearch under way. The first process in walk order that runs the program
// file becomes its answer and ends the walk.
void EnumProcessesEnum(const std::string& ExeName, uint32_t ProcessID, bool& ContinueEnum,
                       intptr_t lParam);

// The ID of the running process of `program`, or 0 when it does not run. `walker`
// must have EnumProcessesEnum as its OnEnum. Throws EEnumProcesses when the
// processes cannot be walked.
uint32_t FindProcessOf(TEnumProcesses& walker, const std::string& program);

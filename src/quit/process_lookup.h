#pragma once
// Finding the running process of a registered application.
#include "quit/enum_processes.h"
#include "quit/same_program.h"

#include <cstdint>
#include <string>
#include <vector>

// The processes of the machine as one command sees them: a command that looks up
// many registered programs walks the processes once and answers each program from
// what that walk read. Before a lookup it asks only which processes run now (one
// call): those that have ended since drop out, and only those that have started
// since are read, so a program started during the command is found as at the
// command's start. That call costs as much as the whole lookup of a program that
// does not run (about a millisecond under Wine), so lookups in quick succession
// share one: a process that started less than `freshMs` before a lookup may be
// seen only at a later one (a program that young has seldom made its window yet).
// Once the command has waited for a program to quit, the next lookup makes sure
// that the process it finds still runs (see Acted).
// A process whose program file cannot be read is nobody's.
class TProcessSnapshot {
  public:
    static constexpr DWORD kFreshMs = 25;

    // `walker` must have EnumProcessesEnum as its OnEnum and outlive the snapshot.
    explicit TProcessSnapshot(TEnumProcesses& walker, DWORD freshMs = kFreshMs)
        : walker_(walker), freshMs_(freshMs) {}
    TProcessSnapshot(const TProcessSnapshot&) = delete;
    TProcessSnapshot& operator=(const TProcessSnapshot&) = delete;

    // The ID of the first process in walk order that runs `program`, or 0 when none
    // does. The first lookup walks the processes. Throws EEnumProcesses when the
    // processes cannot be walked.
    uint32_t FindProcessOf(const std::string& program);

    // Processes may have ended or started because of what the command just did: the
    // next lookup reads which run.
    void Expire() { expired_ = true; }
    // The same where the command only waited for a program to quit, for a cheaper
    // price: reading which processes run costs about a millisecond under Wine, and
    // asking one process whether it has ended a fraction of that. A lookup that
    // answers from a reading taken before makes sure its process still runs, and
    // reads again where it does not (or cannot tell); one that started meanwhile is
    // seen once the reading is `freshMs` old, as at every lookup.
    void Acted() { acted_ = true; }

    // Records one process of the walk under way (EnumProcessesEnum calls it).
    void Add(const std::string& exeName, uint32_t processId);

  private:
    struct Process {
        Process(uint32_t id, const std::string& exeName) : ID(id), File(exeName) {}
        uint32_t ID;
        PathFacts File;
    };
    void Update();
    // The first process in walk order that runs `program`, from what was read.
    uint32_t Find(const std::string& program) const;

    TEnumProcesses& walker_;
    const DWORD freshMs_;
    std::vector<Process> processes_; // in walk order
    bool taken_ = false;
    bool expired_ = false;
    bool acted_ = false;
    DWORD takenAt_ = 0; // GetTickCount of the last reading
};

// The OnEnum handler of the lookup: lParam carries the address of the
// TProcessSnapshot being taken. Every process is recorded; the walk goes on.
void EnumProcessesEnum(const std::string& ExeName, uint32_t ProcessID, bool& ContinueEnum,
                       intptr_t lParam);

// One lookup on its own: the ID of the running process of `program`, or 0 when it
// does not run. `walker` must have EnumProcessesEnum as its OnEnum. Throws
// EEnumProcesses when the processes cannot be walked.
uint32_t FindProcessOf(TEnumProcesses& walker, const std::string& program);

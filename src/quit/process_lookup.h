#pragma once
// Finding the running process of a registered application.
#include "quit/enum_processes.h"
#include "quit/same_program.h"

#include <cstdint>
#include <string>
#include <vector>

// The processes of the machine as one command sees them: a command that looks up
// many registered programs walks the processes once and answers each program from
// what that walk read. Before each lookup it asks only which processes run now (one
// call): those that have ended since drop out, and only those that have started
// since are read, so a program started during the command is found as at the
// command's start. A process whose program file cannot be read is nobody's.
class TProcessSnapshot {
  public:
    // `walker` must have EnumProcessesEnum as its OnEnum and outlive the snapshot.
    explicit TProcessSnapshot(TEnumProcesses& walker) : walker_(walker) {}
    TProcessSnapshot(const TProcessSnapshot&) = delete;
    TProcessSnapshot& operator=(const TProcessSnapshot&) = delete;

    // The ID of the first process in walk order that runs `program`, or 0 when none
    // does. The first lookup walks the processes. Throws EEnumProcesses when the
    // processes cannot be walked.
    uint32_t FindProcessOf(const std::string& program);

    // Records one process of the walk under way (EnumProcessesEnum calls it).
    void Add(const std::string& exeName, uint32_t processId);

  private:
    struct Process {
        Process(uint32_t id, const std::string& exeName) : ID(id), File(exeName) {}
        uint32_t ID;
        PathFacts File;
    };
    void Update();

    TEnumProcesses& walker_;
    std::vector<Process> processes_; // in walk order
    bool taken_ = false;
};

// The OnEnum handler of the lookup: lParam carries the address of the
// TProcessSnapshot being taken. Every process is recorded; the walk goes on.
void EnumProcessesEnum(const std::string& ExeName, uint32_t ProcessID, bool& ContinueEnum,
                       intptr_t lParam);

// One lookup on its own: the ID of the running process of `program`, or 0 when it
// does not run. `walker` must have EnumProcessesEnum as its OnEnum. Throws
// EEnumProcesses when the processes cannot be walked.
uint32_t FindProcessOf(TEnumProcesses& walker, const std::string& program);

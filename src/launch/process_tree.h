#pragma once
// A program started so that this process can wait for it and for every process it
// starts, and theirs, but for no process that anybody else starts.
//
// The program is started suspended and put into a job object of its own before it
// runs: a process it starts joins the job at its creation, so a launcher that
// starts the real program and ends at once is followed to that program, however
// fast it ends. Following parent process IDs in process snapshots was the other
// way; it misses a grandchild whose parent ended between two snapshots, and a
// process ID may be reused meanwhile, so a snapshot taken late can follow the
// wrong process. Wine 8 counts the job's active processes and reports their
// starts and ends through the job's completion port, as Windows does (measured);
// its list of the job's process IDs is wrong there, so it is not used.
#include "core/prog_info.h"
#include "win/handles.h"
#include "win/host.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace launch {

class TProcessTree {
  public:
    // Starts `entry` (program, arguments, folder, window state) inside the job and
    // lets it run. False when it could not be started. Where the job cannot take
    // it (a program started through the shell for elevation, this process in a job
    // that forbids another), only the started process is waited for.
    bool Start(const TProgInfo& entry);
    // Whether a process of the tree still runs; takes in what the job reported.
    bool Running();
    // The handles whose signal means Running() must be asked again: the known
    // processes of the tree, at most what one wait can take.
    std::vector<HANDLE> WaitHandles() const;
    // Whether some running process cannot be waited on by its handle (it could not
    // be opened, or there are too many), so that Running() must be asked again
    // after a while.
    bool NeedsLook();

  private:
    void TakeJobReports();
    long ActiveInJob() const;

    win::Handle job_;
    win::Handle port_;
    bool inJob_ = false;
    // The process that owns the desktop window. Under Wine it is the desktop
    // program (explorer.exe), started by the first program that shows a window
    // while none runs and living until the session ends: never waited for. On
    // Windows it is a system process, never in the job.
    uint32_t desktopProcess_ = 0;
    bool desktopInJob_ = false;
    // The processes of the tree that are known to run, by ID; a handle may be empty
    // when the process could not be opened.
    std::map<uint32_t, win::Handle> live_;
};

enum class TreeWaitEnd { Ended, Stopped };

// Waits until no process of `tree` runs, handling this program's queue through
// `host` meanwhile, without polling: the wait wakes for a message or the end of a
// process. `stop` is asked before each wait; when it says so, the wait ends.
TreeWaitEnd WaitForTree(TProcessTree& tree, win::Host& host, const std::function<bool()>& stop);

} // namespace launch

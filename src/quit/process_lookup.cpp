#include "quit/process_lookup.h"

#include "win/handles.h"
#include <algorithm>
#include <optional>

void EnumProcessesEnum(const std::string& ExeName, uint32_t ProcessID, bool& ContinueEnum,
                       intptr_t lParam) {
    reinterpret_cast<TProcessSnapshot*>(lParam)->Add(ExeName, ProcessID);
    ContinueEnum = true;
}

void TProcessSnapshot::Add(const std::string& exeName, uint32_t processId) {
    processes_.emplace_back(processId, exeName);
}

void TProcessSnapshot::Update() {
    const DWORD tick = GetTickCount();
    if (taken_ && !expired_ && tick - takenAt_ < freshMs_)
        return;
    takenAt_ = tick;
    expired_ = false;
    acted_ = false;
    std::vector<DWORD> ids;
    if (!taken_ || !walker_.ProcessIds(ids)) {
        // Where only a whole walk tells what runs, it is a single snapshot call.
        processes_.clear();
        walker_.Execute(reinterpret_cast<intptr_t>(this));
        taken_ = true;
        return;
    }
    // An ID that ended and was given to a new process between two lookups keeps
    // the old program file: only the list of IDs is asked, nothing of the processes.
    std::vector<Process> now;
    now.reserve(ids.size());
    for (DWORD id : ids) {
        auto known = std::find_if(processes_.begin(), processes_.end(),
                                  [id](const Process& p) { return p.ID == id; });
        if (known != processes_.end())
            now.push_back(std::move(*known));
        else
            now.emplace_back(id, walker_.ProgramFileOf(id));
    }
    processes_ = std::move(now);
}

namespace {

// False where the process has ended, or where it cannot be told.
bool StillRuns(uint32_t processId) {
    win::Handle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

} // namespace

uint32_t TProcessSnapshot::FindProcessOf(const std::string& program) {
    Update();
    const uint32_t id = Find(program);
    if (id == 0 || !acted_ || StillRuns(id))
        return id;
    Expire();
    Update();
    return Find(program);
}

uint32_t TProcessSnapshot::Find(const std::string& program) const {
    const std::string name = LowerFileName(program);
    auto candidate = [&](const Process& p) { return p.File.MayBe(name); };
    auto first = std::find_if(processes_.begin(), processes_.end(), candidate);
    if (first == processes_.end())
        return 0;
    // Reading the program's own names and identity waits for the file system, so it
    // is done only for a program that some process may run, and only where the
    // process's path is not the program's spelling itself: one spelling opens one
    // file, so every comparison would find them the same.
    std::optional<ProgramMatcher> matcher;
    for (auto p = first; p != processes_.end(); ++p) {
        if (!candidate(*p))
            continue;
        if (p->File.Path() == program)
            return p->ID;
        if (!matcher)
            matcher.emplace(program);
        if (matcher->Matches(p->File))
            return p->ID;
    }
    return 0;
}

uint32_t FindProcessOf(TEnumProcesses& walker, const std::string& program) {
    TProcessSnapshot snapshot(walker);
    return snapshot.FindProcessOf(program);
}

#include "launch/process_tree.h"

#include "launch/run_procedure.h"

namespace launch {
namespace {

// How long a wait lasts when some process of the tree cannot be waited on.
constexpr DWORD kLookMs = 500;
// One wait takes at most this many handles besides the message queue.
constexpr size_t kMaxWaitHandles = MAXIMUM_WAIT_OBJECTS - 1;

bool Signaled(const win::Handle& h) {
    return h && WaitForSingleObject(h.get(), 0) == WAIT_OBJECT_0;
}

} // namespace

bool TProcessTree::Start(const TProgInfo& entry) {
    job_.reset(CreateJobObjectA(nullptr, nullptr));
    port_.reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    bool reports = false;
    if (job_ && port_) {
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT link = {job_.get(), port_.get()};
        reports = SetInformationJobObject(job_.get(), JobObjectAssociateCompletionPortInformation,
                                          &link, sizeof link) != FALSE;
        // A program that starts a process outside its own job on purpose is let
        // do so; without this its start would fail. Wine 8 takes the flag only
        // through the extended limits.
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
        SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);
    }
    DWORD desktop = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &desktop);
    desktopProcess_ = desktop;

    win::Handle process, thread;
    if (!StartEntry(entry, CREATE_SUSPENDED, process, thread))
        return false;
    inJob_ = reports && AssignProcessToJobObject(job_.get(), process.get());
    if (thread)
        ResumeThread(thread.get());
    live_[GetProcessId(process.get())] = std::move(process);
    return true;
}

void TProcessTree::TakeJobReports() {
    DWORD message = 0;
    ULONG_PTR key = 0;
    LPOVERLAPPED data = nullptr;
    while (port_ && GetQueuedCompletionStatus(port_.get(), &message, &key, &data, 0)) {
        const auto id = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(data));
        switch (message) {
        case JOB_OBJECT_MSG_NEW_PROCESS:
            if (id == desktopProcess_)
                desktopInJob_ = true;
            else if (!live_.count(id))
                live_[id] = win::Handle(OpenProcess(SYNCHRONIZE, FALSE, id));
            break;
        case JOB_OBJECT_MSG_EXIT_PROCESS:
        case JOB_OBJECT_MSG_ABNORMAL_EXIT_PROCESS:
            if (id == desktopProcess_)
                desktopInJob_ = false;
            live_.erase(id);
            break;
        default:
            break;
        }
    }
}

long TProcessTree::ActiveInJob() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    if (!QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &info,
                                   sizeof info, nullptr))
        return -1;
    return static_cast<long>(info.ActiveProcesses) - (desktopInJob_ ? 1 : 0);
}

bool TProcessTree::Running() {
    if (inJob_) {
        // The reports first: a process that ended was reported with every
        // process it started before it, so none of them is missed below.
        TakeJobReports();
        const long active = ActiveInJob();
        for (auto it = live_.begin(); it != live_.end();)
            it = Signaled(it->second) ? live_.erase(it) : std::next(it);
        if (active >= 0)
            return active > 0;
        // The count cannot be read: the known processes decide.
    } else {
        for (auto it = live_.begin(); it != live_.end();)
            it = Signaled(it->second) ? live_.erase(it) : std::next(it);
    }
    return !live_.empty();
}

std::vector<HANDLE> TProcessTree::WaitHandles() const {
    std::vector<HANDLE> handles;
    for (const auto& process : live_) {
        if (process.second && handles.size() < kMaxWaitHandles)
            handles.push_back(process.second.get());
    }
    return handles;
}

bool TProcessTree::NeedsLook() {
    // Running() was just asked: `live_` holds what is known to run.
    if (live_.size() > kMaxWaitHandles || WaitHandles().empty())
        return true;
    for (const auto& process : live_) {
        if (!process.second)
            return true;
    }
    return false;
}

TreeWaitEnd WaitForTree(TProcessTree& tree, win::Host& host, const std::function<bool()>& stop) {
    for (;;) {
        if (stop())
            return TreeWaitEnd::Stopped;
        if (!tree.Running())
            return TreeWaitEnd::Ended;
        const std::vector<HANDLE> handles = tree.WaitHandles();
        const auto count = static_cast<DWORD>(handles.size());
        const DWORD r = MsgWaitForMultipleObjectsEx(
            count, handles.empty() ? nullptr : handles.data(),
            tree.NeedsLook() ? kLookMs : INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_FAILED) // no handle to wait on: look again later, serving the queue
            MsgWaitForMultipleObjectsEx(0, nullptr, kLookMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        host.ProcessMessages();
    }
}

} // namespace launch

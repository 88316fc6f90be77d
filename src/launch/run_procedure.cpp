#include "launch/run_procedure.h"

#include "launch/run_rules.h"
#include "win/file.h"
#include "win/handles.h"
#include "win/window_place.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace launch {
namespace {

class ProcessReadyWait : public ReadyWaitOps {
  public:
    ProcessReadyWait(win::Host& host, HANDLE process) : host_(host), process_(process) {}
    uint32_t TickCount() override { return GetTickCount(); }
    uint32_t WaitForIdle(uint32_t ms) override { return WaitForInputIdle(process_, ms); }
    void ProcessMessages() override { host_.ProcessMessages(); }

  private:
    win::Host& host_;
    HANDLE process_;
};

// The shell's start of a program that needs elevation: the same program, arguments,
// folder and window state. `process` gets its handle for the ready wait, where the
// shell gives one.
bool StartThroughShell(const TProgInfo& entry, const StartRequest& req, win::Handle& process) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpFile = entry.Program.c_str();
    info.lpParameters = entry.Arg.empty() ? nullptr : entry.Arg.c_str();
    info.lpDirectory = req.Folder.empty() ? nullptr : req.Folder.c_str();
    info.nShow = (req.Flags & STARTF_USESHOWWINDOW) ? req.ShowWindow : SW_SHOWNORMAL;
    if (!CurrentStartCalls().shellExecute(&info))
        return false;
    process.reset(info.hProcess);
    return true;
}

} // namespace

StartCalls& CurrentStartCalls() {
    static StartCalls calls;
    return calls;
}

bool StartEntry(const TProgInfo& entry, DWORD creationFlags, win::Handle& process,
                win::Handle& thread) {
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    StartRequest req = MakeStartRequest(entry, si.dwFlags, si.wShowWindow);
    // A program picked in System32 is the 64-bit one where it has a 64-bit twin; a
    // 32-bit VakoQuit would start the SysWOW64 one instead. The folder stays as
    // registered: Sysnative means nothing to the 64-bit program.
    const std::string native = win::NativeSystemPath(entry.Program);
    if (native != entry.Program) {
        TProgInfo twin = entry;
        twin.Program = native;
        req.CommandLine = MakeStartRequest(twin, si.dwFlags, si.wShowWindow).CommandLine;
    }
    si.cb = sizeof si;
    si.dwFlags = req.Flags;
    si.wShowWindow = req.ShowWindow;

    // CreateProcessA may write into the command line it is given.
    std::vector<char> commandLine(req.CommandLine.begin(), req.CommandLine.end());
    commandLine.push_back('\0');

    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    if (CurrentStartCalls().createProcess(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                          CREATE_DEFAULT_ERROR_MODE | creationFlags, nullptr,
                                          req.Folder.empty() ? nullptr : req.Folder.c_str(), &si,
                                          &pi)) {
        process.reset(pi.hProcess);
        thread.reset(pi.hThread);
        return true;
    }
    return GetLastError() == kErrorElevationRequired && StartThroughShell(entry, req, process);
}

namespace {

// Starts one entry as RunProgram says; `process` gets the new process where the
// system gives it.
bool StartProgram(win::Host& host, const TProgInfo& entry, bool waitReady, win::Handle& process) {
    host.SetProgressText(StartingText(entry.Name));
    win::Handle thread;
    if (!StartEntry(entry, 0, process, thread))
        return false;
    if (waitReady && process) {
        ProcessReadyWait ops(host, process.get());
        WaitUntilReady(ops);
    }
    return true;
}

// How often the wait for started programs' main windows looks for them.
constexpr DWORD kPlacePollMs = 20;

// The recorded places of started programs, each put on its main window once that
// shows. A window that has not shown within the start wait from its start is left
// where the program opens it.
class StartedPlaces {
  public:
    StartedPlaces(win::Host& host, const FindMainWindow& mainWindowOf)
        : host_(host), mainWindowOf_(mainWindowOf) {}

    void Add(win::Handle process, const TWindowPlace& place) {
        if (process && place.Set() && mainWindowOf_)
            pending_.push_back(
                Pending{GetProcessId(process.get()), std::move(process), place, GetTickCount()});
    }

    void Settle() {
        while (!pending_.empty()) {
            const DWORD now = GetTickCount();
            for (auto it = pending_.begin(); it != pending_.end();) {
                const HWND window = mainWindowOf_(it->ProcessId);
                if (window && IsWindowVisible(window)) {
                    win::PutWindowAt(window, it->Place);
                    it = pending_.erase(it);
                } else if (now - it->Started >= kReadyWaitMs ||
                           WaitForSingleObject(it->Process.get(), 0) == WAIT_OBJECT_0) {
                    it = pending_.erase(it);
                } else {
                    ++it;
                }
            }
            if (pending_.empty())
                return;
            host_.ProcessMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, kPlacePollMs, QS_ALLINPUT);
        }
    }

  private:
    struct Pending {
        uint32_t ProcessId;
        win::Handle Process; // a launcher that has ended shows no window of its own
        TWindowPlace Place;
        DWORD Started;
    };
    win::Host& host_;
    const FindMainWindow& mainWindowOf_;
    std::vector<Pending> pending_;
};

} // namespace

bool RunProgram(win::Host& host, const TProgInfo& entry, bool waitReady) {
    win::Handle process;
    return StartProgram(host, entry, waitReady, process);
}

namespace {

struct RunCount {
    int started = 0;
    int notStarted = 0;
};

// Starts the occupied slots that `chosen` takes and `skip` does not name, in slot order.
template <class Chosen>
RunCount RunSlots(win::Host& host, const TProgTable& table, bool eachRun, const SkipEntry& skip,
                  Chosen chosen) {
    RunCount count;
    for (const TProgInfo& entry : table) {
        if (!entry.Occupied() || !chosen(entry) || (skip && skip(entry)))
            continue;
        if (RunProgram(host, entry, eachRun))
            ++count.started;
        else
            ++count.notStarted;
    }
    return count;
}

} // namespace

int ActAllRunExecute(win::Host& host, const TProgTable& table, bool eachRun,
                     const SkipEntry& skip) {
    win::BusyScope busy(host);
    const RunCount count =
        RunSlots(host, table, eachRun, skip, [](const TProgInfo& e) { return e.Run; });
    busy.End();
    host.SetStatusText(RunDoneText(kRunAllDoneText, count.notStarted));
    return count.notStarted;
}

int ActRunLastQuitExecute(win::Host& host, TProgTable& table, bool eachRun, const SkipEntry& skip,
                          const FindMainWindow& mainWindowOf) {
    win::BusyScope busy(host);
    // The record is spent before the first start, so that whatever ends the run a
    // second run-all is the designed one.
    std::vector<TProgInfo> again;
    for (TProgInfo& entry : table) {
        if (entry.Occupied() && entry.LastQuit) {
            again.push_back(entry);
            if (again.back().Arg.empty())
                again.back().Arg = entry.LastArg;
        }
        entry.ForgetLastQuit();
    }
    RunCount count;
    StartedPlaces places(host, mainWindowOf);
    for (const TProgInfo& entry : again) {
        if (skip && skip(entry))
            continue;
        win::Handle process;
        if (!StartProgram(host, entry, eachRun, process)) {
            ++count.notStarted;
            continue;
        }
        ++count.started;
        places.Add(std::move(process), entry.LastPlace);
        if (eachRun)
            places.Settle();
    }
    places.Settle();
    busy.End();
    host.SetStatusText(RunAgainDoneText(count.started, count.notStarted));
    return count.notStarted;
}

void ActRunExecute(win::Host& host, const std::vector<const TProgInfo*>& selected, bool eachRun) {
    win::BusyScope busy(host);
    if (selected.empty())
        return;
    int notStarted = 0;
    for (const TProgInfo* entry : selected) {
        if (entry && !RunProgram(host, *entry, eachRun))
            ++notStarted;
    }
    busy.End();
    host.SetStatusText(RunDoneText(kRunSelectedDoneText, notStarted));
}

} // namespace launch

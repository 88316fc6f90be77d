#include "launch/run_procedure.h"

#include "launch/run_rules.h"
#include "win/handles.h"

#include <windows.h>

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

} // namespace

bool RunProgram(win::Host& host, const TProgInfo& entry, bool waitReady) {
    host.SetStatusText(StartingText(entry.Name));

    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    StartRequest req = MakeStartRequest(entry, si.dwFlags, si.wShowWindow);
    si.cb = sizeof si;
    si.dwFlags = req.Flags;
    si.wShowWindow = req.ShowWindow;

    // CreateProcessA may write into the command line it is given.
    std::vector<char> commandLine(req.CommandLine.begin(), req.CommandLine.end());
    commandLine.push_back('\0');

    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE, nullptr,
                        req.Folder.empty() ? nullptr : req.Folder.c_str(), &si, &pi))
        return false;
    win::Handle process(pi.hProcess);
    win::Handle thread(pi.hThread);

    if (waitReady) {
        ProcessReadyWait ops(host, process.get());
        WaitUntilReady(ops);
    }
    return true;
}

void ActAllRunExecute(win::Host& host, const TProgTable& table, bool eachRun,
                      const SkipEntry& skip) {
    win::BusyScope busy(host);
    int notStarted = 0;
    for (const TProgInfo& entry : table) {
        if (!entry.Occupied() || !entry.Run || (skip && skip(entry)))
            continue;
        if (!RunProgram(host, entry, eachRun))
            ++notStarted;
    }
    busy.End();
    host.SetStatusText(RunDoneText(kRunAllDoneText, notStarted));
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

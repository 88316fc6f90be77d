#pragma once
// Walks every process of the machine and reports each one's program file and ID.
// The system services are bound at run time. A whole walk releases them at its
// end; the single-process questions, which one command asks again and again, keep
// them bound until the walker goes, so a walker lives no longer than its command.
#include "win/exception.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class EEnumProcesses : public Exception {
  public:
    using Exception::Exception;
};

// Called once per process. ExeName is empty when the program file cannot be
// determined; setting ContinueEnum to false ends the walk after this process.
// lParam is the value given to Execute.
using TEnumProcessesProc = std::function<void(const std::string& ExeName, uint32_t ProcessID,
                                              bool& ContinueEnum, intptr_t lParam)>;

// PSAPI's EnumProcesses: fills at most `bytes` bytes with process IDs and reports
// in `returned` how many bytes it filled.
using EnumProcessesCall = std::function<BOOL(DWORD* pids, DWORD bytes, DWORD* returned)>;

// The IDs of every running process. EnumProcesses does not say how many there are:
// a buffer it fills to the last byte may have been cut short, so the buffer is
// doubled and the call repeated until the IDs leave room to spare. Throws
// EEnumProcesses with the system's text for the error when the call fails.
std::vector<DWORD> ReadProcessIds(const EnumProcessesCall& enumProcesses);

class TEnumProcesses {
  public:
    TEnumProcesses();
    virtual ~TEnumProcesses();
    TEnumProcesses(const TEnumProcesses&) = delete;
    TEnumProcesses& operator=(const TEnumProcesses&) = delete;

    TEnumProcessesProc OnEnum; // may be empty: the walk then reports nothing

    // Walks with the service of the running platform: Toolhelp on the Windows 95
    // family, PSAPI on the NT family. Throws EEnumProcesses.
    void Execute(intptr_t lParam);
    // The same for a given platform identifier (GetVersionExA's dwPlatformId).
    void ExecuteForPlatform(DWORD platformId, intptr_t lParam);

    // Toolhelp snapshot walk. Reports szExeFile as the snapshot gives it, untrimmed
    // (on the NT family that is only the file name).
    virtual void ToolhelpWalk(intptr_t lParam);
    // PSAPI walk. Reports the full path of the program file, trimmed. When the
    // module list of a process cannot be read (a 64-bit process seen from this
    // 32-bit program), the image name of the process stands in for it.
    virtual void PsapiWalk(intptr_t lParam);

    // For a caller that keeps what an earlier walk read and wants to know only what
    // changed since. The IDs of the running processes in walk order, read with one
    // call and nothing else of them; false on the Windows 95 family, where only a
    // whole walk tells. Throws EEnumProcesses as the walk does.
    virtual bool ProcessIds(std::vector<DWORD>& ids);
    // The program file of one process as PsapiWalk reports it; empty when it cannot
    // be read (access denied, the process has ended).
    virtual std::string ProgramFileOf(DWORD processId);

  protected:
    // The libraries the walks bind their functions from.
    std::string toolhelpLibrary_ = "Kernel32.dll";
    std::string psapiLibrary_ = "PSAPI.DLL";
    std::string imageNameLibrary_ = "Kernel32.dll"; // QueryFullProcessImageNameW, Vista on

  private:
    class PsapiCalls;
    // Binding and releasing PSAPI for every question cost more than the question.
    const PsapiCalls& BoundCalls();
    std::unique_ptr<PsapiCalls> bound_;
    int ntFamily_ = -1; // not yet asked
};

#pragma once
// Helpers of the launch tests: scratch folders beside the test program, the
// reports the target programs write, and the ending of every process they start.
#include "launch/run_procedure.h"
#include "report.h"

#include <windows.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace launch_test {

// This test program's folder with its trailing backslash; the targets lie beside it.
inline std::string BinDir() {
    char buf[MAX_PATH];
    std::string p(buf, GetModuleFileNameA(nullptr, buf, sizeof buf));
    return p.substr(0, p.find_last_of('\\') + 1);
}
inline std::string Target(const char* name) {
    return BinDir() + name + ".exe";
}
inline bool FileThere(const std::string& p) {
    return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) {
        std::string name = fd.cFileName, p = dir + "\\" + name;
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(p);
        else
            DeleteFileA(p.c_str());
    }
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    RemoveDirectoryA(dir.c_str());
}

// A fresh, empty folder beside the test program; no trailing backslash.
inline std::string FreshDir(const std::string& name) {
    std::string dir = BinDir() + name;
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

using Report = std::map<std::string, std::string>;

// The report at `path`, once it can be read whole; empty after `timeoutMs`. Right
// after the rename that publishes it the file can still refuse to be opened.
inline Report WaitReport(const std::string& path, DWORD timeoutMs = 10000) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20)) {
        Report r = target::ReadReport(path);
        if (r.count("pid"))
            return r;
    }
    return {};
}

// Ends, at the latest when it goes, every process whose report it was given. The
// process is opened at once, so that a reused process ID can never be hit.
class ProcessReaper {
  public:
    ProcessReaper() = default;
    ProcessReaper(const ProcessReaper&) = delete;
    ProcessReaper& operator=(const ProcessReaper&) = delete;
    ~ProcessReaper() { EndAll(); }
    Report Add(Report r) {
        if (r.count("pid")) {
            DWORD pid = std::stoul(r["pid"]);
            if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid))
                handles_.push_back(p);
        }
        return r;
    }
    void EndAll() {
        for (HANDLE p : handles_) {
            TerminateProcess(p, 0);
            WaitForSingleObject(p, 5000);
            CloseHandle(p);
        }
        handles_.clear();
    }

  private:
    std::vector<HANDLE> handles_;
};

// An environment variable that the children started meanwhile inherit.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        SetEnvironmentVariableA(name, value.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() { SetEnvironmentVariableA(name_, nullptr); }

  private:
    const char* name_;
};

// Records what a run asks of the main window, in order.
class RecordingHost : public win::Host {
  public:
    std::vector<std::string> events; // "busy:0", "busy:1", "status:TEXT"
    int pumps = 0;
    std::string throwOnStatus; // a status text that makes SetStatusText throw

    void SetBusy(bool enabled) override { events.push_back(enabled ? "busy:1" : "busy:0"); }
    void SetStatusText(const std::string& text) override {
        events.push_back("status:" + text);
        if (text == throwOnStatus)
            throw std::runtime_error("status failed");
    }
    void ProcessMessages() override { ++pumps; }
};

inline TProgInfo Entry(const std::string& name, const std::string& program,
                       const std::string& arg = "", bool run = true) {
    TProgInfo e;
    e.Name = name;
    e.Program = program;
    e.Arg = arg;
    e.Run = run;
    return e;
}

} // namespace launch_test

// bench_run_all.exe: run-all of 20 registered programs, once starting them back to
// back and once one after the other (each given time to become ready), timed.
// The programs are launch_echo.exe from the same folder; every one is ended again
// (WM_CLOSE, then a wait) before the next round and at the end.
#include "launch/run_procedure.h"
#include "report.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kPrograms = 20;

class QuietHost : public launch::LaunchHost {
  public:
    void SetBusy(bool) override {}
    void SetStatusText(const std::string&) override {}
    void ProcessMessages() override {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
};

std::string BinDir() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string p(buf, n);
    return p.substr(0, p.find_last_of('\\') + 1);
}

DWORD ReadPid(const std::string& path) {
    auto r = target::ReadReport(path);
    return r.count("pid") ? std::strtoul(r["pid"].c_str(), nullptr, 10) : 0;
}

struct CloseCtx {
    DWORD pid;
};

BOOL CALLBACK CloseWindowsOf(HWND hwnd, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == reinterpret_cast<CloseCtx*>(lp)->pid)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

// Waits for every report, then closes every program and waits for it to end.
// Returns how many programs reported.
int EndPrograms(const std::vector<std::string>& reports) {
    int seen = 0;
    for (const std::string& path : reports) {
        DWORD pid = 0;
        const DWORD start = GetTickCount();
        while ((pid = ReadPid(path)) == 0 && GetTickCount() - start < 10000)
            Sleep(10);
        if (!pid)
            continue;
        ++seen;
        HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        CloseCtx ctx{pid};
        EnumWindows(CloseWindowsOf, reinterpret_cast<LPARAM>(&ctx));
        if (p) {
            if (WaitForSingleObject(p, 5000) != WAIT_OBJECT_0)
                TerminateProcess(p, 0);
            CloseHandle(p);
        }
        DeleteFileA(path.c_str());
    }
    return seen;
}

} // namespace

int main() {
    const std::string bin = BinDir();
    const std::string dir = bin + "bench_run_all_reports";
    CreateDirectoryA(dir.c_str(), nullptr);

    TProgTable table;
    std::vector<std::string> reports;
    for (int i = 0; i < kPrograms; ++i) {
        std::string report = dir + "\\p" + std::to_string(i) + ".txt";
        DeleteFileA(report.c_str());
        reports.push_back(report);
        TProgInfo& e = table[i];
        e.Name = "echo" + std::to_string(i);
        e.Program = bin + "launch_echo.exe";
        e.Arg = "-echo-out \"" + report + "\" -echo-life 30000";
        e.Run = true;
    }

    QuietHost host;
    int status = 0;
    for (bool eachRun : {false, true}) {
        LARGE_INTEGER f, a, b;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&a);
        launch::ActAllRunExecute(host, table, eachRun);
        QueryPerformanceCounter(&b);
        double ms =
            1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
        int started = EndPrograms(reports);
        std::printf("run-all of %d programs, EachRun %s: %.0f ms (%.1f ms each), %d started\n",
                    kPrograms, eachRun ? "on " : "off", ms, ms / kPrograms, started);
        if (started != kPrograms)
            status = 1;
    }
    RemoveDirectoryA(dir.c_str());
    return status;
}

// Quit-all of 20 registered programs that close as soon as they are asked, against
// Wine's own taskkill (without /F) for the same 20 programs, in one run.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"
#include "target_log.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace e2e;

namespace {

const int kPrograms = 20;
const int kRounds = 5;

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

std::string Name(int i) {
    return "q" + std::to_string(i) + ".exe";
}

std::vector<Process> StartTargets(const Sandbox& box) {
    std::vector<Process> targets;
    for (int i = 0; i < kPrograms; ++i) {
        box.Remove("t" + std::to_string(i) + ".log");
        targets.push_back(Process::Start(
            box.Path(Name(i)), "--log \"" + box.Path("t" + std::to_string(i) + ".log") + "\"",
            box.Dir()));
    }
    for (int i = 0; i < kPrograms; ++i) {
        if (!WaitUntil([&] { return LogHas(box.Path("t" + std::to_string(i) + ".log"), "ready"); },
                       20000))
            throw DriverError("a target did not start");
    }
    return targets;
}

// Waits on the processes themselves: asking another process anything while it
// works would slow it down and spoil the figure.
bool WaitAllEnded(const std::vector<Process>& targets, DWORD timeoutMs) {
    std::vector<HANDLE> handles;
    for (const Process& p : targets)
        handles.push_back(p.Handle());
    return WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE,
                                  timeoutMs) != WAIT_TIMEOUT;
}

double TimeTaskkill(const Sandbox& box) {
    std::vector<Process> targets = StartTargets(box);
    char sys[MAX_PATH];
    GetSystemDirectoryA(sys, sizeof sys);
    std::string args;
    for (int i = 0; i < kPrograms; ++i)
        args += " /im " + Name(i);
    double t0 = Now();
    Process kill = Process::Start(std::string(sys) + "\\taskkill.exe", args, box.Dir(), SW_HIDE);
    if (!WaitAllEnded(targets, 30000))
        throw DriverError("taskkill did not end the targets");
    double t1 = Now();
    kill.WaitExit(10000);
    return t1 - t0;
}

double TimeQuitAll(const Sandbox& box) {
    AppProcess app(box);
    MainWindow main = app.Main(20000);
    std::vector<Process> targets = StartTargets(box);
    double t0 = Now();
    main.Command(ID_ACT_ALLQUIT);
    if (!WaitAllEnded(targets, 60000))
        throw DriverError("quit-all left targets running");
    if (!WaitUntil([&] { return main.StatusText() == "ポムッと終了処理完了"; }, 60000, 1))
        throw DriverError("quit-all did not complete");
    double t1 = Now();
    app.Close(20000);
    return t1 - t0;
}

} // namespace

int main() {
    try {
        SandboxOptions options;
        options.name = "bench.quit_all";
        options.extraFiles = {"quit_target.exe"};
        Sandbox box(options);
        std::string ini = "[Setting]\r\nVersion=0.3\r\n\r\n";
        for (int i = 0; i < kPrograms; ++i) {
            box.CopyFromBin("quit_target.exe", Name(i));
            ini += "[" + std::to_string(i) + "]\r\nName=target" + std::to_string(i) +
                   "\r\nProgram=" + box.Path(Name(i)) + "\r\nQuit=1\r\n\r\n";
        }
        box.WriteIni(ini);

        std::vector<double> ours, kill;
        for (int round = 0; round < kRounds; ++round) {
            ours.push_back(TimeQuitAll(box));
            kill.push_back(TimeTaskkill(box));
        }
        std::sort(ours.begin(), ours.end());
        std::sort(kill.begin(), kill.end());
        std::printf("quit_all, %d programs, %d rounds: VakoQuit best %.0f ms, median %.0f ms; "
                    "taskkill best %.0f ms, median %.0f ms; ratio of medians %.2f\n",
                    kPrograms, kRounds, ours[0], ours[kRounds / 2], kill[0], kill[kRounds / 2],
                    ours[kRounds / 2] / kill[kRounds / 2]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_quit_all: %s\n", e.what());
        return 1;
    }
}

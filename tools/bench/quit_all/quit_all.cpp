// Quit-all of 20 registered programs that close as soon as they are asked, against
// Wine's own taskkill (without /F) for the same 20 programs. Both are timed as a
// whole process, from its start until the last of the 20 is gone; the command
// sent to an already running VakoQuit is timed on a line of its own.
#include "app/command_ids.h"
#include "bench.h"
#include "target_log.h"

#include <string>
#include <vector>

using namespace e2e;

namespace {

const int kPrograms = 20;
const int kRounds = 5;
const DWORD kEndTimeoutMs = 60000;

std::string Name(int i) {
    return "q" + std::to_string(i) + ".exe";
}

// The 20 targets, each with its one window open.
std::vector<Process> StartTargets(const Sandbox& box) {
    std::vector<Process> targets;
    for (int i = 0; i < kPrograms; ++i) {
        const std::string log = box.Path("t" + std::to_string(i) + ".log");
        DeleteFileA(log.c_str());
        targets.push_back(Process::Start(box.Path(Name(i)), "--log \"" + log + "\"", box.Dir()));
    }
    for (int i = 0; i < kPrograms; ++i) {
        if (!WaitUntil([&] { return LogHas(box.Path("t" + std::to_string(i) + ".log"), "ready"); },
                       20000))
            throw DriverError("a target did not start");
    }
    return targets;
}

double WholeTaskkill(const Sandbox& box) {
    std::vector<Process> targets = StartTargets(box);
    char sys[MAX_PATH];
    GetSystemDirectoryA(sys, sizeof sys);
    std::string args;
    for (int i = 0; i < kPrograms; ++i)
        args += " /im " + Name(i);
    const double t0 = bench::NowMs();
    Process kill = bench::StartQuiet(std::string(sys) + "\\taskkill.exe", args, box.Dir());
    if (!bench::WaitAllEnded(targets, kEndTimeoutMs))
        throw DriverError("taskkill did not end the targets");
    const double t1 = bench::NowMs();
    kill.WaitExit(10000);
    return t1 - t0;
}

double WholeVakoQuit(const Sandbox& box) {
    std::vector<Process> targets = StartTargets(box);
    const double t0 = bench::NowMs();
    Process app = Process::Start(box.ExePath(), "-q", box.Dir());
    if (!bench::WaitAllEnded(targets, kEndTimeoutMs))
        throw DriverError("VakoQuit -q left targets running");
    const double t1 = bench::NowMs();
    if (!app.WaitExit(kEndTimeoutMs))
        throw DriverError("VakoQuit -q did not end");
    return t1 - t0;
}

// From the command posted to a running VakoQuit until the last target is gone.
double InProcess(const Sandbox& box) {
    AppProcess app(box);
    MainWindow main = app.Main(20000);
    std::vector<Process> targets = StartTargets(box);
    const double t0 = bench::NowMs();
    main.Command(ID_ACT_ALLQUIT);
    if (!bench::WaitAllEnded(targets, kEndTimeoutMs))
        throw DriverError("quit-all left targets running");
    const double t1 = bench::NowMs();
    if (!main.WaitStatus("ポムッと終了処理完了", kEndTimeoutMs))
        throw DriverError("quit-all did not complete");
    app.Close(20000);
    return t1 - t0;
}

} // namespace

int main() {
    return bench::Main("bench_quit_all", [] {
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

        bench::Contender ours{"VakoQuit -q", [&] { return bench::Sample{WholeVakoQuit(box)}; }};
        bench::Contender theirs{"taskkill", [&] { return bench::Sample{WholeTaskkill(box)}; }};
        bench::Contender command{"VakoQuit", [&] { return bench::Sample{InProcess(box)}; }};
        bench::RunRounds({&ours, &theirs, &command}, kRounds);
        bench::PrintComparison("quit-all of " + std::to_string(kPrograms) +
                                   " programs, whole process from its start until all are gone",
                               ours, theirs);
        bench::PrintFigures("quit-all of " + std::to_string(kPrograms) +
                                " programs, in-process: command to a running VakoQuit until all "
                                "are gone",
                            {&command});
    });
}

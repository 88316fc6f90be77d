// Run-all of 20 registered programs through `VakoQuit.exe -r`, timed as a whole
// process from its start until it has ended, once with the programs started back
// to back (EachRun off) and once one after the other, each given time to become
// ready (EachRun on). The programs are copies of launch_echo.exe; each round checks
// that all 20 reported, then ends them before the next round.
#include "bench.h"
#include "report.h"

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace e2e;

namespace {

const int kPrograms = 20;
const int kRounds = 5;

std::string Report(const Sandbox& box, int i) {
    return box.Path("r" + std::to_string(i) + ".txt");
}

void WriteSettings(const Sandbox& box, bool eachRun) {
    std::string ini =
        "[Setting]\r\nVersion=0.3\r\nEachRun=" + std::string(eachRun ? "1" : "0") + "\r\n\r\n";
    for (int i = 0; i < kPrograms; ++i) {
        ini += "[" + std::to_string(i) + "]\r\nName=echo" + std::to_string(i) +
               "\r\nProgram=" + box.Path("e" + std::to_string(i) + ".exe") +
               "\r\nArg=-echo-out \"" + Report(box, i) +
               "\" -echo-life 60000\r\nQuit=0\r\nRun=1\r\n\r\n";
    }
    box.WriteIni(ini);
}

// Waits for every report and ends every program that wrote one.
void EndStarted(const Sandbox& box) {
    std::vector<Process> started;
    for (int i = 0; i < kPrograms; ++i) {
        std::map<std::string, std::string> r;
        if (!WaitUntil([&] { return !(r = target::ReadReport(Report(box, i)))["pid"].empty(); },
                       20000))
            throw DriverError("program " + std::to_string(i) + " of run-all did not report");
        DeleteFileA(Report(box, i).c_str());
        started.push_back(Process::Attach(std::strtoul(r["pid"].c_str(), nullptr, 10)));
    }
    // Each Process ends its program as it goes.
}

double RunAll(const Sandbox& box, bool eachRun) {
    WriteSettings(box, eachRun);
    const double t0 = bench::NowMs();
    Process app = Process::Start(box.ExePath(), "-r", box.Dir());
    if (!app.WaitExit(120000))
        throw DriverError("VakoQuit -r did not end");
    const double t1 = bench::NowMs();
    EndStarted(box);
    return t1 - t0;
}

} // namespace

int main() {
    return bench::Main("bench_run_all", [] {
        SandboxOptions options;
        options.name = "bench.run_all";
        Sandbox box(options);
        for (int i = 0; i < kPrograms; ++i)
            box.CopyFromBin("launch_echo.exe", "e" + std::to_string(i) + ".exe");

        bench::Contender off{"EachRun off", [&] { return bench::Sample{RunAll(box, false)}; }};
        bench::Contender on{"EachRun on", [&] { return bench::Sample{RunAll(box, true)}; }};
        bench::RunRounds({&off, &on}, kRounds);
        bench::PrintFigures("run-all of " + std::to_string(kPrograms) +
                                " programs through VakoQuit -r, whole process",
                            {&off, &on});
    });
}

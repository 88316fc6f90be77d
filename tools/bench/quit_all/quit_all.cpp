// Quit-all of 20 registered programs against Wine's own taskkill (without /F) for the
// same 20 programs, each side timed as a whole process, from its start until the
// last of the 20 is gone: "VakoQuit.exe -q" one after the other and with
// QuitAtOnce; once with programs that close as soon as they are asked, once with
// programs that take a second to close. The command sent to an already running
// VakoQuit is timed on a line of its own. The growth with the list: the same 20
// running with 256 registered, the other 236 not running.
#include "app/command_ids.h"
#include "quit_targets.h"

#include <string>
#include <vector>

using namespace e2e;

namespace {

const int kPrograms = bench::kQuitTargets;
const int kRegistered = 256; // the long list: kPrograms running, the rest not
const int kRounds = 5;
const int kSlowRounds = 3; // one of these lasts 20 s one after the other
const char kInstant[] = "";
const char kSlow[] = "--close-delay 1000";
const DWORD kEndTimeoutMs = 60000;

double WholeTaskkill(const Sandbox& box, const std::string& targetArgs) {
    std::vector<Process> targets = bench::StartTargets(box, targetArgs, false);
    char sys[MAX_PATH];
    GetSystemDirectoryA(sys, sizeof sys);
    std::string args;
    for (int i = 0; i < kPrograms; ++i)
        args += " /im " + bench::TargetName(i);
    const double t0 = bench::NowMs();
    Process kill = bench::StartQuiet(std::string(sys) + "\\taskkill.exe", args, box.Dir());
    if (!bench::WaitAllEnded(targets, kEndTimeoutMs))
        throw DriverError("taskkill did not end the targets");
    const double t1 = bench::NowMs();
    kill.WaitExit(10000);
    return t1 - t0;
}

double WholeVakoQuit(const Sandbox& box, const std::string& targetArgs, bool atOnce,
                     int registered = kPrograms) {
    bench::WriteQuitSettings(box, atOnce, registered);
    std::vector<Process> targets = bench::StartTargets(box, targetArgs, false);
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
double InProcess(const Sandbox& box, bool atOnce) {
    bench::WriteQuitSettings(box, atOnce, kPrograms);
    AppProcess app(box);
    MainWindow main = app.Main(20000);
    std::vector<Process> targets = bench::StartTargets(box, kInstant, false);
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
        for (int i = 0; i < kPrograms; ++i)
            box.CopyFromBin("quit_target.exe", bench::TargetName(i));
        for (int i = 0; i < kRegistered; ++i)
            box.CopyFromBin("quit_target.exe", bench::IdleName(i));
        const std::string n = std::to_string(kPrograms);

        using bench::Contender;
        using bench::Sample;
        Contender ours{"VakoQuit -q", [&] { return Sample{WholeVakoQuit(box, kInstant, false)}; }};
        Contender atOnce{"VakoQuit -q with QuitAtOnce",
                         [&] { return Sample{WholeVakoQuit(box, kInstant, true)}; }};
        Contender theirs{"taskkill", [&] { return Sample{WholeTaskkill(box, kInstant)}; }};
        Contender command{"VakoQuit", [&] { return Sample{InProcess(box, false)}; }};
        Contender commandAtOnce{"VakoQuit with QuitAtOnce",
                                [&] { return Sample{InProcess(box, true)}; }};
        Contender longList{std::to_string(kRegistered) + " registered", [&] {
                               return Sample{WholeVakoQuit(box, kInstant, false, kRegistered)};
                           }};
        Contender shortList{n + " registered",
                            [&] { return Sample{WholeVakoQuit(box, kInstant, false)}; }};
        bench::RunRounds({&ours, &atOnce, &theirs, &command, &commandAtOnce}, kRounds);
        bench::RunRounds({&longList, &shortList}, kRounds);
        const std::string whole = " programs, whole process from its start until all are gone";
        bench::PrintComparison("quit-all of " + n + whole, ours, theirs);
        bench::PrintComparison("quit-all of " + n + whole, atOnce, theirs);
        bench::PrintFigures("quit-all of " + n +
                                " programs, in-process: command to a running VakoQuit until all "
                                "are gone",
                            {&command, &commandAtOnce});
        bench::PrintComparison("quit-all by VakoQuit -q of " + n + " running" + whole +
                                   ", the growth with the list",
                               longList, shortList);

        Contender slowOurs{"VakoQuit -q", [&] { return Sample{WholeVakoQuit(box, kSlow, false)}; }};
        Contender slowAtOnce{"VakoQuit -q with QuitAtOnce",
                             [&] { return Sample{WholeVakoQuit(box, kSlow, true)}; }};
        Contender slowTheirs{"taskkill", [&] { return Sample{WholeTaskkill(box, kSlow)}; }};
        bench::RunRounds({&slowOurs, &slowAtOnce, &slowTheirs}, kSlowRounds);
        const std::string slow =
            " programs that take 1 s to close, whole process from its start until all are gone";
        bench::PrintComparison("quit-all of " + n + slow, slowAtOnce, slowOurs);
        bench::PrintComparison("quit-all of " + n + slow, slowAtOnce, slowTheirs);
    });
}

// The part of a quit-all that is quitting, against its floor. VakoQuit's part is
// `VakoQuit.exe -q` for 20 running programs minus the same command with an empty
// list (its start, its window and its end cost the same either way); the floor's
// part is quit_floor.exe for the same 20 minus quit_floor.exe with nothing to quit.
// Each side is timed as a whole process, from its start until it has ended and the
// 20 are gone. One round runs both commands of one side back to back, so that the
// load of the machine at that moment hits both, and the difference of the two is
// the round's figure; the sides take turns. One line for one after the other, one
// for all at once (QuitAtOnce, quit_floor --at-once).
#include "bench.h"
#include "target_log.h"

#include <cstdlib>
#include <string>
#include <vector>

using namespace e2e;

namespace {

const int kPrograms = 20;
const int kRounds = 7;
const DWORD kEndTimeoutMs = 60000;
const char kTargetClass[] = "VakoPlainWindow"; // quit_target's default window class

// VAKO_BENCH_ROUNDS=N runs fewer rounds while a change is tried out.
int Rounds() {
    char n[16];
    const DWORD len = GetEnvironmentVariableA("VAKO_BENCH_ROUNDS", n, sizeof n);
    const int rounds = len > 0 && len < sizeof n ? std::atoi(n) : 0;
    return rounds > 0 ? rounds : kRounds;
}

std::string Name(int i) {
    return "q" + std::to_string(i) + ".exe";
}

std::string LogName(int i) {
    return "t" + std::to_string(i) + ".log";
}

std::vector<Process> StartTargets(const Sandbox& box) {
    std::vector<Process> targets;
    for (int i = 0; i < kPrograms; ++i) {
        const std::string log = box.Path(LogName(i));
        DeleteFileA(log.c_str());
        targets.push_back(Process::Start(box.Path(Name(i)), "--log \"" + log + "\"", box.Dir()));
    }
    for (int i = 0; i < kPrograms; ++i) {
        if (!WaitUntil([&] { return LogHas(box.Path(LogName(i)), "ready"); }, 20000))
            throw DriverError("a target did not start");
    }
    // A target that has just shown its window still talks to the window server for
    // a while; the command is timed against targets at rest.
    for (const Process& t : targets)
        WaitForInputIdle(t.Handle(), 5000);
    return targets;
}

void WriteSettings(const Sandbox& box, bool atOnce, int registered) {
    std::string ini = "[Setting]\r\nVersion=0.3\r\n";
    if (atOnce)
        ini += "QuitAtOnce=1\r\n";
    ini += "\r\n";
    for (int i = 0; i < registered; ++i)
        ini += "[" + std::to_string(i) + "]\r\nName=target" + std::to_string(i) +
               "\r\nProgram=" + box.Path(Name(i)) + "\r\nQuit=1\r\n\r\n";
    box.WriteIni(ini);
}

// From the start of `exe` until it has ended and every target is gone.
double Whole(const Sandbox& box, const std::string& exe, const std::string& args,
             bool withTargets) {
    std::vector<Process> targets;
    if (withTargets)
        targets = StartTargets(box);
    const double t0 = bench::NowMs();
    Process p = bench::StartQuiet(exe, args, box.Dir());
    if (!p.WaitExit(kEndTimeoutMs) || !bench::WaitAllEnded(targets, kEndTimeoutMs))
        throw DriverError(exe + " " + args + " did not quit every program");
    return bench::NowMs() - t0;
}

// The figure of one round: the command with 20 programs minus the same with none;
// then the two whole times.
bench::Sample OursRound(const Sandbox& box, bool atOnce) {
    WriteSettings(box, atOnce, kPrograms);
    const double full = Whole(box, box.ExePath(), "-q", true);
    WriteSettings(box, atOnce, 0);
    const double empty = Whole(box, box.ExePath(), "-q", false);
    return bench::Sample{full - empty, full, empty};
}

bench::Sample FloorRound(const Sandbox& box, bool atOnce) {
    const std::string exe = box.Path("quit_floor.exe");
    const std::string args = std::string(kTargetClass) + (atOnce ? " --at-once" : "");
    const double full = Whole(box, exe, args, true);
    const double empty = Whole(box, exe, args, false);
    return bench::Sample{full - empty, full, empty};
}

void Compare(const Sandbox& box, bool atOnce, const std::string& how) {
    bench::Contender ours{"VakoQuit -q", [&] { return OursRound(box, atOnce); }};
    bench::Contender floor{"floor", [&] { return FloorRound(box, atOnce); }};
    bench::RunRounds({&ours, &floor}, Rounds());
    char detail[160];
    std::snprintf(detail, sizeof detail,
                  " (whole: VakoQuit %.0f against %.0f ms, floor %.0f against %.0f ms)",
                  ours.Median(1), ours.Median(2), floor.Median(1), floor.Median(2));
    bench::PrintComparison("the quitting part of quit-all of " + std::to_string(kPrograms) +
                               " programs " + how + ", 20 running minus none" + detail,
                           ours, floor);
}

} // namespace

int main() {
    return bench::Main("bench_quit_part", [] {
        SandboxOptions options;
        options.name = "bench.quit_part";
        options.extraFiles = {"quit_target.exe", "quit_floor.exe"};
        Sandbox box(options);
        for (int i = 0; i < kPrograms; ++i)
            box.CopyFromBin("quit_target.exe", Name(i));
        Compare(box, false, "one after the other");
        Compare(box, true, "all at once");
    });
}

// The part of a quit-all that is quitting, against its floor. VakoQuit's part is
// `VakoQuit.exe -q` for 20 running programs minus the same command with an empty
// list (its start, its window and its end cost the same either way); the floor's
// part is quit_floor.exe for the same 20 minus quit_floor.exe with nothing to quit.
// Each side is timed as a whole process, from its start until it has ended and the
// 20 are gone. One round runs both commands of one side back to back, so that the
// load of the machine at that moment hits both, and the difference of the two is
// the round's figure; the sides take turns. One line for one after the other, one
// for all at once (QuitAtOnce, quit_floor --at-once).
#include "quit_targets.h"

#include <string>
#include <vector>

using namespace e2e;

namespace {

const int kPrograms = bench::kQuitTargets;
const int kRounds = 7;
const DWORD kEndTimeoutMs = 60000;
const char kTargetClass[] = "VakoPlainWindow"; // quit_target's default window class

// From the start of `exe` until it has ended and every target is gone.
double Whole(const Sandbox& box, const std::string& exe, const std::string& args,
             bool withTargets) {
    std::vector<Process> targets;
    if (withTargets)
        targets = bench::StartTargets(box, "", true);
    const double t0 = bench::NowMs();
    Process p = bench::StartQuiet(exe, args, box.Dir());
    if (!p.WaitExit(kEndTimeoutMs) || !bench::WaitAllEnded(targets, kEndTimeoutMs))
        throw DriverError(exe + " " + args + " did not quit every program");
    return bench::NowMs() - t0;
}

// The figure of one round: the command with 20 programs minus the same with none;
// then the two whole times.
bench::Sample OursRound(const Sandbox& box, bool atOnce) {
    bench::WriteQuitSettings(box, atOnce, kPrograms);
    const double full = Whole(box, box.ExePath(), "-q", true);
    bench::WriteQuitSettings(box, atOnce, 0);
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
    bench::RunRounds({&ours, &floor}, bench::Rounds(kRounds));
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
            box.CopyFromBin("quit_target.exe", bench::TargetName(i));
        Compare(box, false, "one after the other");
        Compare(box, true, "all at once");
    });
}

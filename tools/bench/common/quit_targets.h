#pragma once
// The running programs that the quit-all benches quit: kQuitTargets copies of
// quit_target.exe, each with its log in the sandbox, and the settings that register
// them.
#include "bench.h"
#include "target_log.h"

#include <string>
#include <vector>

namespace bench {

const int kQuitTargets = 20;

inline std::string TargetName(int i) {
    return "q" + std::to_string(i) + ".exe";
}

// A registered program that is not running.
inline std::string IdleName(int i) {
    return "idle" + std::to_string(i) + ".exe";
}

inline std::string TargetLogName(int i) {
    return "t" + std::to_string(i) + ".log";
}

// The targets, each with its one window open, started with `args` after their log.
// `atRest`: also waited for until each is idle: a target that has just shown its
// window still talks to the window server for a while, and a command timed against
// targets at rest measures the command alone.
inline std::vector<e2e::Process> StartTargets(const e2e::Sandbox& box, const std::string& args,
                                              bool atRest) {
    std::vector<e2e::Process> targets;
    for (int i = 0; i < kQuitTargets; ++i) {
        const std::string log = box.Path(TargetLogName(i));
        DeleteFileA(log.c_str());
        targets.push_back(e2e::Process::Start(
            box.Path(TargetName(i)), "--log \"" + log + "\"" + (args.empty() ? "" : " " + args),
            box.Dir()));
    }
    for (int i = 0; i < kQuitTargets; ++i) {
        if (!e2e::WaitUntil([&] { return LogHas(box.Path(TargetLogName(i)), "ready"); }, 20000))
            throw e2e::DriverError("a target did not start");
    }
    if (atRest) {
        for (const e2e::Process& t : targets)
            WaitForInputIdle(t.Handle(), 5000);
    }
    return targets;
}

// Settings that register `registered` programs to quit (QuitAtOnce when `atOnce`):
// the targets spread evenly over the entries, the others programs that are not
// running. The last target comes near the end of a long list, so the time until it
// is gone holds the lookups of nearly every entry.
inline void WriteQuitSettings(const e2e::Sandbox& box, bool atOnce, int registered) {
    std::string ini = "[Setting]\r\nVersion=0.3\r\n";
    if (atOnce)
        ini += "QuitAtOnce=1\r\n";
    ini += "\r\n";
    int next = 0; // the next target to place
    for (int i = 0; i < registered; ++i) {
        const bool target = next < kQuitTargets && i == next * registered / kQuitTargets;
        ini += "[" + std::to_string(i) + "]\r\nName=target" + std::to_string(i) +
               "\r\nProgram=" + box.Path(target ? TargetName(next) : IdleName(i)) +
               "\r\nQuit=1\r\n\r\n";
        next += target ? 1 : 0;
    }
    box.WriteIni(ini);
}

} // namespace bench

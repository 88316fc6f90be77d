// Quit-all of 20 registered programs, each side timed as a whole process from its
// start until it has ended and every program is gone: "VakoQuit.exe -q" one after
// the other and with QuitAtOnce, against Wine's own taskkill (without /F) for the
// same 20 programs; once with programs that close as soon as they are asked, once
// with programs that take a second to close. All in one run.
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
const int kSlowRounds = 3; // one of these lasts 20 s one after the other
const char kSlow[] = "--close-delay 1000";

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

std::vector<Process> StartTargets(const Sandbox& box, const std::string& args) {
    std::vector<Process> targets;
    for (int i = 0; i < kPrograms; ++i) {
        box.Remove("t" + std::to_string(i) + ".log");
        targets.push_back(Process::Start(
            box.Path(Name(i)),
            "--log \"" + box.Path("t" + std::to_string(i) + ".log") + "\" " + args, box.Dir()));
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

double TimeTaskkill(const Sandbox& box, const std::string& args) {
    std::vector<Process> targets = StartTargets(box, args);
    char sys[MAX_PATH];
    GetSystemDirectoryA(sys, sizeof sys);
    std::string names;
    for (int i = 0; i < kPrograms; ++i)
        names += " /im " + Name(i);
    double t0 = Now();
    Process kill = Process::Start(std::string(sys) + "\\taskkill.exe", names, box.Dir(), SW_HIDE);
    if (!WaitAllEnded(targets, 60000))
        throw DriverError("taskkill did not end the targets");
    if (!kill.WaitExit(60000))
        throw DriverError("taskkill did not end");
    return Now() - t0;
}

std::string Settings(const Sandbox& box, bool atOnce) {
    std::string ini = "[Setting]\r\nVersion=0.3\r\n";
    if (atOnce)
        ini += "QuitAtOnce=1\r\n";
    ini += "\r\n";
    for (int i = 0; i < kPrograms; ++i)
        ini += "[" + std::to_string(i) + "]\r\nName=target" + std::to_string(i) +
               "\r\nProgram=" + box.Path(Name(i)) + "\r\nQuit=1\r\n\r\n";
    return ini;
}

// "VakoQuit.exe -q" from its start until it has ended and every target is gone.
double TimeQuitAll(const Sandbox& box, const std::string& args, bool atOnce) {
    box.WriteIni(Settings(box, atOnce));
    std::vector<Process> targets = StartTargets(box, args);
    double t0 = Now();
    AppProcess app(box, "-q");
    if (!WaitAllEnded(targets, 60000))
        throw DriverError("quit-all left targets running");
    if (!app.WaitExit(60000))
        throw DriverError("quit-all did not end");
    return Now() - t0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Line(const char* what, const std::vector<double>& v) {
    std::printf("quit_all %s, %d programs, %zu rounds: median %.0f ms, best %.0f ms\n", what,
                kPrograms, v.size(), Median(v), *std::min_element(v.begin(), v.end()));
}

void Ratio(const char* kind, const char* what, const std::vector<double>& a,
           const std::vector<double>& b) {
    std::printf("quit_all %s, ratio of medians %s: %.2f\n", kind, what, Median(a) / Median(b));
}

} // namespace

int main() {
    try {
        SandboxOptions options;
        options.name = "bench.quit_all";
        options.extraFiles = {"quit_target.exe"};
        Sandbox box(options);
        for (int i = 0; i < kPrograms; ++i)
            box.CopyFromBin("quit_target.exe", Name(i));

        // Warm-up: every program file once through the system's caches, each side.
        TimeQuitAll(box, "", false);
        TimeTaskkill(box, "");

        std::vector<double> seq, once, kill;
        for (int round = 0; round < kRounds; ++round) {
            seq.push_back(TimeQuitAll(box, "", false));
            once.push_back(TimeQuitAll(box, "", true));
            kill.push_back(TimeTaskkill(box, ""));
        }
        std::vector<double> slowSeq, slowOnce, slowKill;
        for (int round = 0; round < kSlowRounds; ++round) {
            slowSeq.push_back(TimeQuitAll(box, kSlow, false));
            slowOnce.push_back(TimeQuitAll(box, kSlow, true));
            slowKill.push_back(TimeTaskkill(box, kSlow));
        }
        Line("instant, VakoQuit -q one by one", seq);
        Line("instant, VakoQuit -q QuitAtOnce", once);
        Line("instant, taskkill + wait until gone", kill);
        Ratio("instant", "QuitAtOnce / taskkill", once, kill);
        Ratio("instant", "one by one / taskkill", seq, kill);
        Line("1 s to close, VakoQuit -q one by one", slowSeq);
        Line("1 s to close, VakoQuit -q QuitAtOnce", slowOnce);
        Line("1 s to close, taskkill + wait until gone", slowKill);
        Ratio("1 s to close", "QuitAtOnce / one by one", slowOnce, slowSeq);
        Ratio("1 s to close", "QuitAtOnce / taskkill", slowOnce, slowKill);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_quit_all: %s\n", e.what());
        return 1;
    }
}

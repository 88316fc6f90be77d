#pragma once
// What every benchmark program shares, so that each figure is measured and printed
// the same way: contenders that each time one round, run alternately after one
// warm-up round each, and one line per figure with medians.
//
// A bench program builds its contenders, hands them to RunRounds and prints lines:
//   bench::Contender ours{"VakoQuit -q", [&] { return bench::Sample{TimeOurs()}; }};
//   bench::Contender theirs{"taskkill", [&] { return bench::Sample{TimeTheirs()}; }};
//   bench::RunRounds({&ours, &theirs}, 5);
//   bench::PrintComparison("quit-all of 20 programs", ours, theirs);
// A round may give several figures at once (a Sample holds one value per figure,
// in a fixed order); PrintFigures prints one of them for several contenders.
#include "driver/vako_e2e.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// One timed round: milliseconds per figure.
using Sample = std::vector<double>;

struct Contender {
    Contender(std::string label_, std::function<Sample()> round_)
        : label(std::move(label_)), round(std::move(round_)) {}

    std::string label;
    std::function<Sample()> round;
    std::vector<Sample> samples; // the counted rounds, warm-up excluded

    double Median(size_t figure = 0) const {
        std::vector<double> v;
        for (const Sample& s : samples)
            v.push_back(s.at(figure));
        if (v.empty())
            return 0;
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
};

// `standard` counted rounds, or VAKO_BENCH_ROUNDS=N while a change is tried out.
inline int Rounds(int standard) {
    char n[16];
    const DWORD len = GetEnvironmentVariableA("VAKO_BENCH_ROUNDS", n, sizeof n);
    const int rounds = len > 0 && len < sizeof n ? std::atoi(n) : 0;
    return rounds > 0 ? rounds : standard;
}

inline double NowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

// One warm-up round of each contender (not counted), then `rounds` counted rounds
// in which the contenders take turns; the order turns round every round, so that
// none always runs right after the same other.
inline void RunRounds(const std::vector<Contender*>& contenders, int rounds) {
    for (Contender* c : contenders)
        c->round();
    for (int r = 0; r < rounds; ++r) {
        std::vector<Contender*> order = contenders;
        if (r % 2)
            std::reverse(order.begin(), order.end());
        for (Contender* c : order)
            c->samples.push_back(c->round());
    }
}

inline std::string RoundsText(const Contender& c) {
    return "median of " + std::to_string(c.samples.size()) + " alternating rounds after a warm-up";
}

// "what (median of N ...): a X ms, b Y ms, ..." for one figure of each contender.
inline void PrintFigures(const std::string& what, const std::vector<const Contender*>& contenders,
                         size_t figure = 0) {
    std::string line = what + " (" + RoundsText(*contenders.at(0)) + "):";
    for (size_t i = 0; i < contenders.size(); ++i) {
        char ms[32];
        std::snprintf(ms, sizeof ms, " %.0f ms", contenders[i]->Median(figure));
        line += (i ? "," : "") + std::string(" ") + contenders[i]->label + ms;
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Two contenders and the ratio of their medians (first / second).
inline void PrintComparison(const std::string& what, const Contender& a, const Contender& b,
                            size_t figure = 0) {
    char ratio[64];
    std::snprintf(ratio, sizeof ratio, ", ratio %.2f", a.Median(figure) / b.Median(figure));
    std::string line = what + " (" + RoundsText(a) + "): " + a.label + " ";
    char ms[64];
    std::snprintf(ms, sizeof ms, "%.0f ms, ", a.Median(figure));
    line += ms + b.label + " ";
    std::snprintf(ms, sizeof ms, "%.0f ms", b.Median(figure));
    line += ms + std::string(ratio);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Starts a program with its standard handles on NUL and no console window, so
// that nothing it prints reaches the bench's output.
inline e2e::Process StartQuiet(const std::string& exe, const std::string& args,
                               const std::string& dir) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    std::string cmd = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    BOOL ok = CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                             nullptr, dir.empty() ? nullptr : dir.c_str(), &si, &pi);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!ok)
        e2e::ThrowLastError("CreateProcessA " + cmd);
    CloseHandle(pi.hThread);
    e2e::Process p = e2e::Process::Attach(pi.dwProcessId);
    CloseHandle(pi.hProcess);
    return p;
}

// Waits on the processes themselves: asking a process anything while it works
// would slow it down and spoil the figure.
inline bool WaitAllEnded(const std::vector<e2e::Process>& processes, DWORD timeoutMs) {
    std::vector<HANDLE> handles;
    for (const e2e::Process& p : processes)
        handles.push_back(p.Handle());
    return handles.empty() ||
           WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE,
                                  timeoutMs) != WAIT_TIMEOUT;
}

// Runs a bench's body and turns an error into a message on stderr and exit code 1.
inline int Main(const char* name, const std::function<void()>& body) {
    try {
        body();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 1;
    }
}

} // namespace bench

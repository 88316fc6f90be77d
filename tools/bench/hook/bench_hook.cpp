// Throughput of a hooked thread: how many messages per second a target program
// takes from its queue with the capture hook installed on its thread, against the
// same target without it, in one run. A 32-bit target is hooked by
// VakoHook.dll, a 64-bit one through VakoHook64.exe. The floor: the 32-bit target
// hooked by a procedure that only passes each message on, which is what any hook
// costs under this system. Unhooked and hooked rounds alternate, so that a change of
// load on the machine touches both alike.
#include "capture/hook_installer.h"

#include "../../../tests/hook/hook_support.h"
#include "../../../tests/quit/support.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr WPARAM kMessages = 2000;
constexpr UINT kRun = WM_APP;
constexpr const char kClass[] = "VakoHookBenchTarget";

std::string OwnFolder() {
    char buf[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string s(buf);
    return s.substr(0, s.find_last_of('\\') + 1);
}

class Target {
  public:
    explicit Target(const std::string& exe) {
        std::string cmd = "\"" + exe + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi_))
            return;
        WaitForInputIdle(pi_.hProcess, 10000);
        qt::WaitFor([&] { return (window_ = ht::WindowOf(pi_.dwProcessId, kClass)) != nullptr; },
                    10000);
    }
    ~Target() {
        if (!pi_.hProcess)
            return;
        if (window_)
            PostMessageA(window_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(pi_.hProcess, 1);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    HWND Window() const { return window_; }
    // Messages per second of one round; 0 when the target did not answer.
    double Rate() const {
        DWORD_PTR micros = 0;
        if (!SendMessageTimeoutA(window_, kRun, kMessages, 0, SMTO_BLOCK, 120000, &micros) ||
            micros == 0)
            return 0;
        return static_cast<double>(kMessages) * 1e6 / static_cast<double>(micros);
    }

  private:
    PROCESS_INFORMATION pi_ = {};
    HWND window_ = nullptr;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Installs a hook on the thread of a target's window; false with the reason.
using InstallFn = std::function<bool(HWND target, std::string* error)>;

bool Bench(const std::string& label, const std::string& exe, const InstallFn& install,
           const std::function<void()>& remove) {
    Target target(exe);
    if (!target.Window()) {
        std::printf("%s: target did not start (%s)\n", label.c_str(), exe.c_str());
        return false;
    }
    std::string error;
    target.Rate(); // warm-up
    std::vector<double> plain, hooked;
    for (int r = 0; r < kRounds; ++r) {
        plain.push_back(target.Rate());
        if (!install(target.Window(), &error)) {
            std::printf("%s: hook not installed: %s\n", label.c_str(), error.c_str());
            return false;
        }
        hooked.push_back(target.Rate());
        remove();
    }
    double p = Median(plain), h = Median(hooked);
    std::printf("%s, unhooked: %.0f messages/s (median of %d rounds of %u)\n", label.c_str(), p,
                kRounds, static_cast<unsigned>(kMessages));
    std::printf("%s, hooked:   %.0f messages/s (median of %d rounds of %u)\n", label.c_str(), h,
                kRounds, static_cast<unsigned>(kMessages));
    std::printf("%s, hooked/unhooked: %.2f\n", label.c_str(), p > 0 ? h / p : 0.0);
    std::fflush(stdout);
    return p > 0 && h > 0;
}

bool BenchCapture(const std::string& label, const std::string& exe, HWND notify,
                  capture::THookInstaller::Route route) {
    capture::THookInstaller installer(std::string(), route);
    return Bench(
        label, exe,
        [&](HWND target, std::string* error) { return installer.Install(notify, target, error); },
        [&] { installer.Remove(); });
}

bool BenchFloor(const std::string& label, const std::string& exe, const std::string& dll) {
    HMODULE lib = LoadLibraryA(dll.c_str());
    auto proc = lib ? reinterpret_cast<HOOKPROC>(GetProcAddress(lib, "PassOnProc")) : nullptr;
    if (!proc) {
        std::printf("%s: %s not loaded\n", label.c_str(), dll.c_str());
        return false;
    }
    HHOOK hook = nullptr;
    const bool ok = Bench(
        label, exe,
        [&](HWND target, std::string* error) {
            hook = SetWindowsHookExA(WH_GETMESSAGE, proc, lib,
                                     GetWindowThreadProcessId(target, nullptr));
            if (!hook)
                *error = "SetWindowsHookExA failed: " + std::to_string(GetLastError());
            return hook != nullptr;
        },
        [&] { UnhookWindowsHookEx(hook); });
    FreeLibrary(lib);
    return ok;
}

} // namespace

int main() {
    HWND notify = CreateWindowExA(0, "STATIC", "Vako Hook Bench", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  nullptr, nullptr);
    std::string dir = OwnFolder();
    std::string own = sizeof(void*) == 8 ? "64-bit" : "32-bit";
    bool ok = BenchFloor("hook, " + own + " target, a hook that only passes each message on",
                         dir + "hook_bench_target.exe", dir + "hook_bench_pass_on.dll");
    ok =
        BenchCapture("hook, " + own + " target, VakoHook.dll from this " + own + " process",
                     dir + "hook_bench_target.exe", notify, capture::THookInstaller::Route::Auto) &&
        ok;
    ok = BenchCapture("hook, 64-bit target, VakoHook64.dll through VakoHook64.exe",
                      dir + "hook_bench_target64.exe", notify,
                      capture::THookInstaller::Route::Helper) &&
         ok;
    DestroyWindow(notify);
    return ok ? 0 : 1;
}

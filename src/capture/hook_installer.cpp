#include "capture/hook_installer.h"

#include "core/text.h"
#include "hook/helper_protocol.h"
#include "hook/hook_share_mem.h"
#include "hook/vako_hook.h"
#include "win/file.h"
#include "win/module.h"
#include "win/wow64.h"

#include <vector>

namespace capture {

namespace {

// Bounds of every wait on the helper: it starts, hooks and answers in far less.
constexpr DWORD kHelperStartMs = 10000;
constexpr DWORD kHelperStopMs = 3000;

// PROCESS_QUERY_LIMITED_INFORMATION: enough for IsWow64Process on any process
// from Vista on; XP refuses it, and then the fuller right is asked for.
constexpr DWORD kQueryLimitedInformation = 0x1000;

std::string Number(unsigned long long v) {
    return text::IntToStr(static_cast<long long>(v));
}

std::string HandleNumber(HANDLE h) {
    return Number(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(h)));
}

std::string HelperFailure(DWORD code) {
    switch (code) {
    case vakohook::kHelperNoDll:
        return "VakoHook64.dll を読み込めません。";
    case vakohook::kHelperNoHook:
        return "64ビットのアプリにフックを設定できません。";
    default:
        return "VakoHook64.exe が異常終了しました。(" + Number(code) + ")";
    }
}

} // namespace

bool NeedsHelper(DWORD pid) {
    // A 64-bit build's own library enters 64-bit programs.
    if (sizeof(void*) == 8)
        return false;
    // Outside WOW64 the system is 32-bit and so is every process.
    if (!win::RunsUnderWow64())
        return false;
    win::Handle process(OpenProcess(kQueryLimitedInformation, FALSE, pid));
    if (!process)
        process.reset(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
    return process && win::IsNative64Process(process.get());
}

THookInstaller::THookInstaller(std::string helperDir, Route route)
    : helperDir_(std::move(helperDir)), route_(route) {
    if (helperDir_.empty())
        helperDir_ = text::FolderPart(win::ModulePath());
}

THookInstaller::~THookInstaller() {
    Remove();
}

bool THookInstaller::Install(HWND notifyWnd, HWND target, std::string* error) {
    Remove();
    DWORD pid = 0;
    DWORD thread = GetWindowThreadProcessId(target, &pid);
    if (route_ == Route::Helper || NeedsHelper(pid))
        return InstallHelper(notifyWnd, thread, error);
    return InstallLocal(notifyWnd, thread, error);
}

// The library's own way: the hook belongs to VakoQuit's thread, and UnhookDLL is
// called on removal even when InitDLL failed, so a half-done installation is
// cleaned up as well.
bool THookInstaller::InstallLocal(HWND notifyWnd, DWORD thread, std::string* error) {
    local_ = true;
    if (InitDLL(notifyWnd, thread))
        return true;
    if (error) {
        // The library shows no box of its own (it also runs inside the hooked
        // program): a block it could not create is said here, by VakoQuit.
        HANDLE block = OpenFileMappingA(FILE_MAP_READ, FALSE, vakohook::kShareMemName);
        *error = block ? "?" : "MMFが作成できません";
        if (block)
            CloseHandle(block);
    }
    return false;
}

bool THookInstaller::InstallHelper(HWND notifyWnd, DWORD thread, std::string* error) {
    auto fail = [&](const std::string& message) {
        if (error)
            *error = message;
        return false;
    };
    std::string exe = helperDir_ + vakohook::kHelperExe;
    if (!win::FileExists(exe))
        return fail(
            "64ビットのアプリから終了コマンドを取得するための VakoHook64.exe が見つかりません。\n" +
            exe);

    win::Handle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    win::Handle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE selfRaw = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &selfRaw,
                    SYNCHRONIZE, FALSE, 0);
    win::Handle self(selfRaw);
    if (!ready || !stop || !self)
        return fail("VakoHook64.exe を起動できません。");

    std::string cmd = "\"" + exe + "\" " +
                      Number(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(notifyWnd))) +
                      " " + Number(thread) + " " + HandleNumber(self.get()) + " " +
                      HandleNumber(ready.get()) + " " + HandleNumber(stop.get());
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    BOOL started;
    {
        win::InheritFor inherit{self.get(), ready.get(), stop.get()};
        started = CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, TRUE, 0, nullptr,
                                 helperDir_.c_str(), &si, &pi);
    }
    if (!started)
        return fail("VakoHook64.exe を起動できません。\n" + exe);
    CloseHandle(pi.hThread);
    win::Handle helper(pi.hProcess);

    HANDLE waits[2] = {ready.get(), helper.get()};
    DWORD r = WaitForMultipleObjects(2, waits, FALSE, kHelperStartMs);
    if (r == WAIT_OBJECT_0) {
        helper_ = std::move(helper);
        stop_ = std::move(stop);
        return true;
    }
    if (r == WAIT_OBJECT_0 + 1) {
        DWORD code = 0;
        GetExitCodeProcess(helper.get(), &code);
        return fail(HelperFailure(code));
    }
    // It neither hooked nor gave up in time: it must not linger with a hook.
    SetEvent(stop.get());
    if (WaitForSingleObject(helper.get(), kHelperStopMs) != WAIT_OBJECT_0)
        TerminateProcess(helper.get(), 1);
    return fail("VakoHook64.exe が応答しません。");
}

void THookInstaller::Remove() {
    if (local_) {
        local_ = false;
        UnhookDLL();
    }
    if (helper_) {
        SetEvent(stop_.get());
        // The helper is ours: when it does not end on the word, it is ended.
        if (WaitForSingleObject(helper_.get(), kHelperStopMs) != WAIT_OBJECT_0) {
            TerminateProcess(helper_.get(), 1);
            WaitForSingleObject(helper_.get(), kHelperStopMs);
        }
        helper_.reset();
        stop_.reset();
    }
}

} // namespace capture

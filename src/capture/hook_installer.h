#pragma once
// Installs the capture hook on the thread of a target window and removes it again.
// A 32-bit target (or any target on 32-bit Windows) is hooked by VakoHook.dll from
// VakoQuit itself. A 64-bit target cannot load the 32-bit library: its hook is
// installed by the helper VakoHook64.exe (beside VakoQuit.exe), which loads
// VakoHook64.dll and keeps the hook alive until Remove or until VakoQuit ends.
// Either way the hook reports to the same window and reads the same shared block,
// so ChangeNullHook and the two registered messages work unchanged.
#include <windows.h>

#include <string>

#include "win/handles.h"

namespace capture {

class THookInstaller {
  public:
    enum class Route {
        Auto,   // the helper only where the library cannot enter the target
        Helper, // always through the helper (for measuring and testing it anywhere)
    };
    // helperDir: the folder of VakoHook64.exe, with its trailing "\"; empty means
    // the folder of the running program.
    explicit THookInstaller(std::string helperDir = std::string(), Route route = Route::Auto);
    ~THookInstaller();
    THookInstaller(const THookInstaller&) = delete;
    THookInstaller& operator=(const THookInstaller&) = delete;

    // Hooks the thread that owns target and has its commands reported to
    // notifyWnd. False with a message for the user in *error when the hook is not
    // in place; a hook that was in place before is removed first.
    bool Install(HWND notifyWnd, HWND target, std::string* error);
    // Removes the hook (ends the helper within a few seconds at most). Harmless
    // when nothing is installed.
    void Remove();

    // The helper process while it holds a 64-bit hook; null otherwise.
    HANDLE HelperProcess() const { return helper_.get(); }

  private:
    bool InstallLocal(HWND notifyWnd, DWORD thread, std::string* error);
    bool InstallHelper(HWND notifyWnd, DWORD thread, std::string* error);

    std::string helperDir_;
    Route route_;
    bool local_ = false;
    win::Handle helper_;
    win::Handle stop_;
};

// Whether the process pid is a 64-bit program that this program's own library
// cannot enter: true only for a 32-bit VakoQuit on 64-bit Windows and a 64-bit
// target. False when that cannot be told (then the own library is the one to try).
bool NeedsHelper(DWORD pid);

} // namespace capture

// VakoHook: a WH_GETMESSAGE hook that reports the menu and system-menu commands of
// one thread of another program to VakoQuit and keeps that program from acting on
// them, so that VakoQuit can record the command and then let it through.
//
// This code also runs inside the hooked program, on its GUI thread, for every
// message it retrieves. It therefore uses no C or C++ runtime (the library is
// linked without one), never allocates, waits or locks, and closes whatever it
// opens before it returns.
#include "hook/hook_proc.h"
#include "hook/hook_share_mem.h"
#include "hook/vako_hook.h"

namespace {

using vakohook::FromShared;
using vakohook::THookShareMem;
using vakohook::ToShared;

HMODULE g_module = nullptr;
// Held for the whole time the library is loaded, so that the block lives as long
// as any process that loaded the library.
HANDLE g_mapping = nullptr;

// The block, opened by name and mapped for one operation only: nothing stays
// mapped between calls.
class SharedView {
  public:
    SharedView() {
        handle_ = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, vakohook::kShareMemName);
        if (!handle_)
            return;
        mem_ = static_cast<THookShareMem*>(MapViewOfFile(handle_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        if (!mem_) {
            CloseHandle(handle_);
            handle_ = nullptr;
        }
    }
    ~SharedView() {
        if (mem_)
            UnmapViewOfFile(mem_);
        if (handle_)
            CloseHandle(handle_);
    }
    SharedView(const SharedView&) = delete;
    SharedView& operator=(const SharedView&) = delete;

    THookShareMem* get() const { return mem_; }

  private:
    HANDLE handle_ = nullptr;
    THookShareMem* mem_ = nullptr;
};

// Reports a command to VakoQuit and turns it into WM_NULL for the hooked thread.
// A report that cannot be posted leaves the command to act: VakoQuit has gone (it
// can be killed with its hook still in place, which outlives it here), and nobody
// would ever pass the command on, so the program could no longer be quit.
void Intercept(const THookShareMem& block, UINT reportMsg, MSG* msg) {
    if (PostMessageA(FromShared<HWND>(block.NotifyWnd), reportMsg,
                     reinterpret_cast<WPARAM>(msg->hwnd), static_cast<LPARAM>(msg->wParam)))
        msg->message = WM_NULL;
}

} // namespace

// Only a window's WM_COMMAND or WM_SYSCOMMAND can be reported, so only those open the
// block: opening and mapping it for every message the thread retrieves cost the
// hooked program most of its message rate. Every other message passes on at once
// (CallNextHookEx ignores its hook handle).
extern "C" LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    // Thread messages (no window) are never reported.
    if (code < 0 || !msg || !msg->hwnd ||
        (msg->message != WM_COMMAND && msg->message != WM_SYSCOMMAND))
        return CallNextHookEx(nullptr, code, wParam, lParam);
    SharedView view;
    THookShareMem* block = view.get();
    if (!block)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    if (block->NullHook)
        Intercept(*block, msg->message == WM_COMMAND ? block->CommandMsg : block->SysCommandMsg,
                  msg);
    return CallNextHookEx(FromShared<HHOOK>(block->Hook), code, wParam, lParam);
}

extern "C" unsigned char WINAPI InitDLL(HWND notifyWnd, DWORD threadId) {
    SharedView view;
    THookShareMem* block = view.get();
    if (!block)
        return 0;
    block->NotifyWnd = ToShared(notifyWnd);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, GetMsgProc, g_module, threadId);
    block->Hook = ToShared(hook);
    block->CommandMsg = RegisterWindowMessageA(vakohook::kCommandMsgName);
    block->SysCommandMsg = RegisterWindowMessageA(vakohook::kSysCommandMsgName);
    block->ThreadID = threadId;
    block->NullHook = 1;
    return hook ? 1 : 0;
}

extern "C" unsigned char WINAPI UnhookDLL() {
    SharedView view;
    THookShareMem* block = view.get();
    if (!block)
        return 1;
    return UnhookWindowsHookEx(FromShared<HHOOK>(block->Hook)) ? 1 : 0;
}

extern "C" const char* WINAPI GetHookMsgString1() {
    return vakohook::kCommandMsgName;
}

extern "C" const char* WINAPI GetHookMsgString2() {
    return vakohook::kSysCommandMsgName;
}

extern "C" unsigned char WINAPI ChangeNullHook(unsigned char active) {
    SharedView view;
    if (THookShareMem* block = view.get())
        block->NullHook = active;
    return 1;
}

// The library's entry point (it has no runtime to start). Creates or opens the
// block once per process that loads the library, and closes it when the library
// goes.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        // No box on failure: this also runs inside the hooked program, whose user
        // would see it. InitDLL then fails, and VakoQuit's capture dialog says why.
        g_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       vakohook::kShareMemSize, vakohook::kShareMemName);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (g_mapping)
            CloseHandle(g_mapping);
        g_mapping = nullptr;
    }
    return TRUE;
}

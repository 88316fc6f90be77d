#pragma once
// The block that VakoQuit and every hooked process share under one name. The
// 32-bit and the 64-bit library read and write the same bytes, so the layout is
// fixed here byte for byte: handles are kept as their 32-bit values (window and
// hook handles are 32-bit significant on 64-bit Windows too) and are sign-extended
// when a 64-bit copy reads them back.
#include <windows.h>

#include <stddef.h>
#include <stdint.h>

namespace vakohook {

constexpr const char kShareMemName[] = "VakoHookShareMem";
constexpr DWORD kShareMemSize = 4096;
constexpr const char kCommandMsgName[] = "VakoHookUniqueMessage1";
constexpr const char kSysCommandMsgName[] = "VakoHookUniqueMessage2";

#pragma pack(push, 1)
struct THookShareMem {
    uint32_t Hook;          // HHOOK of the installed hook
    uint32_t NotifyWnd;     // HWND that receives the notifications
    uint32_t CommandMsg;    // registered message that reports a WM_COMMAND
    uint32_t SysCommandMsg; // registered message that reports a WM_SYSCOMMAND
    uint32_t ThreadID;      // the hooked thread
    uint8_t NullHook;       // non-zero: report and neutralise commands
};
#pragma pack(pop)

static_assert(offsetof(THookShareMem, Hook) == 0, "Hook at 0");
static_assert(offsetof(THookShareMem, NotifyWnd) == 4, "NotifyWnd at 4");
static_assert(offsetof(THookShareMem, CommandMsg) == 8, "CommandMsg at 8");
static_assert(offsetof(THookShareMem, SysCommandMsg) == 12, "SysCommandMsg at 12");
static_assert(offsetof(THookShareMem, ThreadID) == 16, "ThreadID at 16");
static_assert(offsetof(THookShareMem, NullHook) == 20, "NullHook at 20");
static_assert(sizeof(THookShareMem) == 21, "21 bytes used");

inline uint32_t ToShared(const void* handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

// Handles are signed 32-bit values widened to the pointer size.
template <typename H> H FromShared(uint32_t value) {
    return reinterpret_cast<H>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

} // namespace vakohook

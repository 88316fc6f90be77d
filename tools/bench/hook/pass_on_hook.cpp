// hook_bench_pass_on.dll: the least a message hook can do, pass each message on.
// What a thread hooked by it keeps of its message rate is the floor for any hook.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK PassOnProc(int code, WPARAM wp, LPARAM lp) {
    return CallNextHookEx(nullptr, code, wp, lp);
}

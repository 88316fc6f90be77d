// quit_floor: the least program that quits programs as quit-all does. It posts
// WM_CLOSE to every top-level window of one class and waits for the processes that
// own them, one after the other or all at once; it reads no settings, shows no
// window and compares no files. What a quit-all spends beyond this is its own.
//
// Usage: quit_floor.exe CLASS [--at-once]
// Exit code: 0 when every process ended within 60 s, 1 otherwise.
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

const DWORD kTimeoutMs = 60000;

struct Target {
    HWND window;
    HANDLE process;
};

std::vector<Target> FindTargets(const char* className) {
    std::vector<Target> targets;
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, className, nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        if (process)
            targets.push_back(Target{w, process});
    }
    return targets;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const bool atOnce = argc > 2 && std::strcmp(argv[2], "--at-once") == 0;
    const std::vector<Target> targets = FindTargets(argv[1]);
    bool ended = true;
    if (atOnce) {
        // WaitForMultipleObjects takes at most 64 handles at a time.
        for (const Target& t : targets)
            PostMessageA(t.window, WM_CLOSE, 0, 0);
        for (size_t i = 0; i < targets.size(); i += MAXIMUM_WAIT_OBJECTS) {
            std::vector<HANDLE> handles;
            for (size_t k = i; k < targets.size() && k < i + MAXIMUM_WAIT_OBJECTS; ++k)
                handles.push_back(targets[k].process);
            ended = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE,
                                           kTimeoutMs) != WAIT_TIMEOUT &&
                    ended;
        }
    } else {
        for (const Target& t : targets) {
            PostMessageA(t.window, WM_CLOSE, 0, 0);
            ended = WaitForSingleObject(t.process, kTimeoutMs) == WAIT_OBJECT_0 && ended;
        }
    }
    for (const Target& t : targets)
        CloseHandle(t.process);
    return ended ? 0 : 1;
}

#pragma once
// Helpers of the quit engine's tests: target programs started as processes, their
// log files, waits with deadlines, and answering the program's own message boxes.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qt {

// Folder of the running test program, with its trailing "\".
std::string ExeDir();
std::string OwnExePath();
std::string TargetPath();   // quit_target.exe
std::string Target64Path(); // quit_target64.exe
// A new, empty folder for one test case.
std::string NewTempDir();

// Waits for a condition, processing this thread's messages meanwhile.
template <typename Pred> bool WaitFor(Pred done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

struct LogLine {
    std::string Kind; // ready, msg, thread, session, destroy, signal, exit
    DWORD Pid = 0;
    HWND Hwnd = nullptr;
    uint32_t Msg = 0;
    uint32_t WParam = 0;
    uint32_t LParam = 0; // session lines only
    DWORD Tick = 0;
    std::string ClassName;
};
std::vector<LogLine> ReadLog(const std::string& path);
// The "msg" lines of the log, optionally only those of one process.
std::vector<LogLine> Messages(const std::string& path, DWORD pid = 0);
int CountMessages(const std::string& path, HWND hwnd, uint32_t msg, uint32_t wParam);

// One target program; terminated at destruction if it still runs.
class Target {
  public:
    // Starts exe with "--log LOG" and args; waits until it reports ready.
    Target(const std::string& exe, const std::string& log, const std::string& args);
    ~Target();
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    bool Ready() const { return ready_; }
    DWORD Pid() const { return pid_; }
    bool Running() const;
    bool WaitExit(DWORD timeoutMs) const;

  private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    bool ready_ = false;
};

// Answers every message box that this thread opens with OK, and records it.
class BoxAnswerer {
  public:
    struct Box {
        std::string Caption;
        std::string Text;
        DWORD Tick;
    };
    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    const std::vector<Box>& Boxes() const { return boxes_; }

  private:
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp);
    static void Answer(int code, WPARAM wp);
    HHOOK hook_ = nullptr;
    std::vector<Box> boxes_;
    std::vector<HWND> seen_;
};

// A window of this process whose class counts the close requests it receives.
class OwnWindow {
  public:
    explicit OwnWindow(const char* title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                       bool destroyOnClose = false);
    ~OwnWindow();
    HWND Handle() const { return hwnd_; }
    int Closes() const { return closes_; }
    int SysCloses() const { return sysCloses_; }
    uint32_t LastCloseWParam() const { return lastCloseWParam_; }

  private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    int closes_ = 0;
    int sysCloses_ = 0;
    uint32_t lastCloseWParam_ = 0xFFFFFFFF;
    bool destroyOnClose_;
};

} // namespace qt

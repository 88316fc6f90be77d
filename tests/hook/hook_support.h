#pragma once
// Helpers of the hook library's tests: a window that collects the hook's
// notifications, a raw view of the shared block, and the top-level window of a
// target process.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ht {

struct Notification {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

// A hidden top-level window of this thread that keeps every notification of the
// two registered messages it receives, in order.
class NotifyWindow {
  public:
    NotifyWindow();
    ~NotifyWindow();
    NotifyWindow(const NotifyWindow&) = delete;
    NotifyWindow& operator=(const NotifyWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    UINT CommandMsg() const { return commandMsg_; }
    UINT SysCommandMsg() const { return sysCommandMsg_; }
    // Waits (processing messages) until at least count notifications arrived.
    bool WaitCount(size_t count, DWORD timeoutMs = 10000);
    const std::vector<Notification>& Received() const { return received_; }

  private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    UINT commandMsg_;
    UINT sysCommandMsg_;
    std::vector<Notification> received_;
};

// The first 21 bytes of "VakoHookShareMem" as this process sees them.
struct BlockBytes {
    bool Ok = false;
    uint8_t Bytes[21] = {};
    uint32_t U32(size_t offset) const;
};
BlockBytes ReadBlock();

// The first top-level window of process pid with class className.
HWND WindowOf(DWORD pid, const char* className);

// Exported names and imported DLL names read from a PE file (32- or 64-bit).
struct PeTables {
    bool Ok = false;
    bool Is64 = false;
    std::vector<std::string> Exports;
    std::vector<std::string> Imports;
};
PeTables ReadPeTables(const std::string& path);

} // namespace ht

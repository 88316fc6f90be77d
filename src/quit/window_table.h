#pragma once
// The window table: the closable top-level windows of one process, as the quit
// procedure and the capture of a quit command need them.
#include "quit/window_list.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct TWindowInfo {
    HWND Handle = nullptr;
    std::string ClassName;
    std::string Text;
    bool Enabled = false;
    bool Visible = false;
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    uint32_t ThreadID = 0;
    uint32_t ClassWndProc = 0; // the class's window procedure, compared as a number
    uint32_t ClassStyle = 0;
    WINDOWPLACEMENT Placement = {sizeof(WINDOWPLACEMENT), 0, 0, {0, 0}, {0, 0}, {0, 0, 0, 0}};
};

constexpr int kMaxWindows = 256;
using TWindowTable = std::array<TWindowInfo, kMaxWindows>;

// Fills the table from entry 0 with the accepted top-level windows of the process,
// topmost first, and returns the index of the last one: -1 for none, 0 for exactly
// one. Refreshes `list` first. Only entries 0 .. result are meaningful. Beyond 256
// accepted windows the first 256 are kept.
int CollectWindows(TWindowTable& table, TWindowList& list, uint32_t processId);

// The first accepted window of the process, or 0 when it has none.
HWND MainWindowOf(TWindowTable& table, TWindowList& list, uint32_t processId);

// The top-level windows of one process as they are now, hidden ones included,
// topmost first.
std::vector<HWND> TopLevelWindowsOf(uint32_t processId);

// The top-level windows of every process, enumerated once for a command that looks
// at the windows of many processes, each process's in Z-order (topmost first).
class TWindowsByProcess {
  public:
    // Refreshes `list` and groups its windows by process, replacing an earlier reading.
    void Take(TWindowList& list);
    bool Taken() const { return taken_; }
    // The windows of the process at the last Take; empty for a process without any.
    const std::vector<HWND>& Of(uint32_t processId) const;

  private:
    std::map<uint32_t, std::vector<HWND>> windows_;
    bool taken_ = false;
};

// CollectWindows for the windows of one process, given topmost first.
int CollectWindows(TWindowTable& table, const std::vector<HWND>& windows);

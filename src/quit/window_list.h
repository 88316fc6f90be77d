#pragma once
// A snapshot of the desktop's top-level windows, in Z-order (topmost first).
#include "win/exception.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct TWindowObject {
    HWND Handle = nullptr;
    std::string Text;      // at most 254 characters
    uint32_t ThreadID = 0; // the thread that created the window
    bool Visible = false;
    bool Enabled = false;
    bool Iconic = false;
    RECT Bounds = {0, 0, 0, 0}; // screen coordinates; all zero when unknown
};

class EListError : public Exception {
  public:
    using Exception::Exception;
};

class TWindowList {
  public:
    // Takes a first snapshot at once.
    TWindowList();
    TWindowList(const TWindowList&) = delete;
    TWindowList& operator=(const TWindowList&) = delete;

    // Drops the old snapshot and takes a new one.
    void Refresh();
    int Count() const { return static_cast<int>(items_.size()); }
    // A copy of record i of the snapshot; throws EListError outside 0 .. Count - 1.
    TWindowObject Items(int index) const;
    // The window of record i alone, without reading the rest of the record.
    HWND Handle(int index) const;

  private:
    // A record's text, state and bounds are read when it is first asked for. Each is
    // a round trip to the window server, several per window for every window on the
    // desktop, and most users of a snapshot only look for the windows of one process.
    struct Record {
        TWindowObject Object;
        bool Filled = false;
    };
    Record& At(int index) const;
    mutable std::vector<Record> items_;
};

#pragma once
// What every long command (quit, run, adding programs, the command line) needs of
// the window it runs for: the busy state, the status text, the owner of its message
// boxes and the processing of the queue while it waits.
#include "win/message_loop.h"
#include "win/msgbox.h"

#include <windows.h>

#include <string>

namespace win {

class Host {
  public:
    // false disables the actions that could start a second long command and shows
    // the hourglass; true enables them again and rewrites the selection status.
    // Commands call it only through BusyScope, which pairs the two calls.
    virtual void SetBusy(bool enabled) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // The text of one step of a command that may take many steps in quick
    // succession: it may be shown a moment later, or never if the next replaces it.
    virtual void SetProgressText(const std::string& text) { SetStatusText(text); }
    // Owner of the command's message boxes.
    virtual HWND BoxOwner() { return MessageBoxOwner(); }
    // Lets the program's own queue be processed while a wait runs.
    virtual void ProcessMessages() { win::ProcessMessages(); }

  protected:
    ~Host() = default;
};

// The busy state of one long command: begins when constructed and ends exactly
// once, by End() on the ordinary way out or by the destructor on every other one
// (an exception included).
class BusyScope {
  public:
    explicit BusyScope(Host& host) : host_(host) { host_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    ~BusyScope() {
        if (ended_)
            return;
        ended_ = true;
        try {
            host_.SetBusy(true);
        } catch (...) {
            // An exception is already on its way out; it is the one to report.
        }
    }
    // Ends the busy state; what the status update throws reaches the caller.
    void End() {
        if (ended_)
            return;
        ended_ = true;
        host_.SetBusy(true);
    }

  private:
    Host& host_;
    bool ended_ = false;
};

} // namespace win

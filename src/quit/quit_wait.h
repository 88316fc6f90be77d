#pragma once
// One program's wait after it was asked to quit. As designed, the program has quit
// when the window it was asked through is gone, and it is given QuitTimeout seconds.
// Two options beyond the design change the wait: EndSession also sends the program
// what Windows sends at log-off when its process lives on, and then waits for the
// process to end; WaitDialogs stops the time-out while the program asks its user
// something in a dialog of its own.
#include "core/options.h"
#include "quit/end_session.h"
#include "win/handles.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

class TQuitWait {
  public:
    enum class Result { Waiting, Gone, TimedOut };

    // `window` is the window the request went to (null for the quit parameter);
    // `processId` the program's process (0: only the window is watched);
    // `before` the program's top-level windows when it was asked. `options` must
    // outlive the wait.
    TQuitWait(const TOptions& options, HWND window, uint32_t processId, std::vector<HWND> before);
    TQuitWait(const TQuitWait&) = delete;
    TQuitWait& operator=(const TQuitWait&) = delete;

    // Looks at the program again, `elapsedMs` after the last look, and takes the
    // step that is due.
    Result Check(long long elapsedMs);
    // The dialog of its own that the program shows now, or null.
    HWND Dialog() const { return dialog_; }
    // Signalled once the program's process has ended, so that the wait wakes at
    // that moment rather than at its next look; null where the process is not known
    // or cannot be opened.
    HANDLE Ended() const { return process_.get(); }

  private:
    bool ProcessRuns() const;
    void LookForDialog(long long elapsedMs);
    void BringToFront(long long elapsedMs);
    void AskToEndSession();

    const TOptions& options_;
    HWND window_;
    bool wasVisible_;
    uint32_t processId_;
    win::Handle process_;
    std::vector<HWND> before_;
    long long countedMs_ = 0;
    long long sinceDialogLookMs_ = 0;
    HWND dialog_ = nullptr;
    long long sinceDialogFoundMs_ = 0;
    long long nextBringMs_ = 0;
    bool sessionAsked_ = false;
    std::unique_ptr<TEndSessionAsk> ask_;
};

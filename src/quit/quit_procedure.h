#pragma once
// Making registered applications quit: quit-all, quit-selected and closing every
// other open application. Everything runs on the UI thread; other applications are
// reached only by posted messages and by starting a program, never ended by force.
#include "core/options.h"
#include "core/prog_info.h"
#include "core/ran_with.h"
#include "quit/enum_processes.h"
#include "quit/process_lookup.h"
#include "quit/quit_wait.h"
#include "quit/window_list.h"
#include "quit/window_table.h"
#include "win/host.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Whether a top-level window is one that closing all other applications asks to
// close (the options dialog offers the titles of the same windows).
bool IsCloseAllCandidateWindow(HWND hwnd, uint32_t ownProcessId);

class TQuitProcedure {
  public:
    // Both must outlive the procedure: one command's options, taken when it starts.
    TQuitProcedure(win::Host& host, const TOptions& options);
    TQuitProcedure(const TQuitProcedure&) = delete;
    TQuitProcedure& operator=(const TQuitProcedure&) = delete;

    // Quit-all: optionally closes all other applications, then quits every
    // occupied slot whose Quit flag is set, in index order. Returns how many were
    // reported as not found or not quit.
    int ActAllQuitExecute(TProgTable& table);
    // Quit-selected: quits the given records in the given (display) order; an
    // empty selection changes nothing.
    void ActCloseExecute(const std::vector<TProgInfo*>& selectedInDisplayOrder);

    // Quits one application by its quit type and tells the user when it was not
    // found or did not quit; false then. Throws EEnumProcesses when processes
    // cannot be walked.
    bool QuitApplication(TProgInfo& rec);
    // Posts the message (0: WM_CLOSE with wParam 0) to the entry's window and waits
    // up to QuitTimeout seconds for the window to go. True: it was still there
    // when the time ran out (failure), or the system refused the message while the
    // window stays (failure at once: nothing would come of waiting).
    bool PostAndWait(const TWindowInfo& entry, UINT msg, WPARAM wParam);
    // Asks every other application's framed, visible, enabled window to close,
    // except those whose title contains an ignore entry. No waiting.
    void CloseOtherWindows();

    // The process lookup: the ID of the running process of `program`, or 0.
    uint32_t FindProcessOf(const std::string& program);
    // The processes as a command that looks up many programs sees them (run-all
    // leaving out running programs); shared, so that a handler can keep it.
    std::shared_ptr<TProcessSnapshot> NewProcessSnapshot();
    int CollectWindows(uint32_t processId);
    HWND MainWindowOf(uint32_t processId);

    // Posts every message this procedure sends to another application's window;
    // PostMessageA unless a test puts a refusing one in its place.
    std::function<BOOL(HWND, UINT, WPARAM, LPARAM)> PostMessageFn = PostMessageA;

    // Set: each running application's arguments and main window place are read
    // just before its quit request, for the quits' record.
    bool ReadWhatRan = false;
    // What ReadWhatRan read for `rec` at its last request; null when nothing was.
    const TRanWith* WhatRanOf(const TProgInfo* rec) const;

    TEnumProcesses& EnumProcesses() { return enumProcesses_; }
    TWindowList& WindowList() { return windowList_; }
    const TWindowTable& WindowTable() const { return windowTable_; }

  private:
    // What asking one application to quit left to do.
    enum class Asked {
        Nothing,  // not running, or no wait belongs to its quit type
        NotFound, // running without an accepted window
        NotQuit,  // refused by the system, or still there when the time ran out
        Waiting,  // asked; Window is to go
        ToSend,   // found; the request is still to be sent
    };
    struct Request {
        TProgInfo* Rec = nullptr;
        Asked State = Asked::Nothing;
        HWND Window = nullptr; // null for the quit parameter
        UINT Message = 0;      // what Window is sent
        WPARAM WParam = 0;
        std::vector<HWND> Matching; // a captured command's windows, which get it first
        uint32_t ProcessId = 0;     // 0 when not running
        std::vector<HWND> Before;   // the program's windows before it was asked (WaitDialogs)
    };
    // A program being waited for; `Name` is its entry's, empty for none.
    struct Awaited {
        std::string Name;
        std::unique_ptr<TQuitWait> Wait;
        bool TimedOut = false;
    };

    // What one quit-all or quit-selected reads once for all its applications: the
    // processes, and their windows when the first running one is looked at.
    struct Snapshot {
        explicit Snapshot(TEnumProcesses& walker) : Processes(walker) {}
        TProcessSnapshot Processes;
        TWindowsByProcess Windows;
    };

    // The part of QuitApplication before the wait: finds the program and asks it.
    Request Ask(TProgInfo& rec, Snapshot& snapshot);
    // The two halves of Ask: finding the program and the windows its request goes
    // to, and sending the request.
    Request Find(TProgInfo& rec, Snapshot& snapshot);
    void Send(Request& r);
    // CollectWindows from the command's window snapshot.
    int CollectWindows(uint32_t processId, Snapshot& snapshot);
    bool QuitOne(TProgInfo& rec, Snapshot& snapshot);
    void ChooseAutomatically(Request& r, int last);
    void ChooseByCommand(Request& r, int last);
    void StartQuitParameter(const TProgInfo& rec);
    // Posts the request; NotQuit when the system refused it and the window is still there.
    Asked Post(HWND hwnd, UINT msg, WPARAM wParam);
    // The wait that belongs to a request that was made.
    Awaited WaitFor(const Request& r);
    // Waits for one program; true when QuitTimeout ran out first.
    bool WaitOne(Awaited awaited);
    // Waits until every program of `pending` has gone or its time has run out,
    // letting the queue be processed; the gone ones leave `pending`. `counting`
    // writes how many are still awaited into the status text; `idle` is the status
    // text to come back to when a program's own dialog has been answered.
    void WaitGone(std::vector<Awaited>& pending, bool counting, const std::string& idle);
    // Quits the applications one after the other, or all at once when so chosen.
    // Both return how many were reported.
    int QuitAll(const std::vector<TProgInfo*>& recs);
    int QuitAllAtOnce(const std::vector<TProgInfo*>& recs);
    // Tells the user when the request failed; true then.
    bool Report(const Request& r);

    win::Host& host_;
    const TOptions& options_;
    TEnumProcesses enumProcesses_;
    TWindowList windowList_;
    TWindowTable windowTable_;
    std::map<const TProgInfo*, TRanWith> whatRan_;
};

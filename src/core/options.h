#pragma once
// The options that hold for every registered application: what the options dialog
// edits, what the settings file keeps under [Setting] and [Ignore], and what each
// quit or run command is handed when it starts.
#include <cstdint>
#include <string>
#include <vector>

struct TOptions {
    int32_t QuitTimeout = 5;             // seconds a quit is waited for
    bool AllClose = false;               // quit-all first asks every other application to close
    bool EachRun = true;                 // run-all waits for each program to be ready
    std::vector<std::string> IgnoreMemo; // windows whose title contains one are left alone
    // Options off by default and stored only while on, so that a file written
    // with them off stays byte for byte what it always was.
    bool QuitAtOnce = false;  // quit-all tells every application to quit before waiting
    bool SkipRunning = false; // run-all leaves out applications that are running
    // Run-all starts only what the quit commands ended since the last run-all.
    bool RunLastQuit = false;
    // A program still running after the quit request is sent what Windows sends at
    // log-off (WM_QUERYENDSESSION, then WM_ENDSESSION), as the Restart Manager does.
    bool EndSession = false;
    // A program that asks its user something (a dialog of its own) is waited for
    // without the time-out running until the dialog is answered.
    bool WaitDialogs = false;
    // A program given on the command line (dropped on the quit-all shortcut) is
    // waited for, with everything it starts, and then what the quit ended is
    // started again.
    bool RestoreAfter = false;
    // The hot keys the options dialog writes into the three desktop shortcuts, as
    // the shell link and the hot-key control hold them: the virtual key in the low
    // byte, the HOTKEYF_ modifiers in the high byte; 0 for none.
    uint16_t QuitHotKey = 0;
    uint16_t RunHotKey = 0;
    uint16_t ShutdownHotKey = 0;
};

// Whether the quit commands record what they end for a later start: the run-all
// that starts only that, or the wait for a dropped program, needs the record.
inline bool KeepsLastQuitRecord(const TOptions& options) {
    return options.RunLastQuit || options.RestoreAfter;
}

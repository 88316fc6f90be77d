#pragma once
// When the wait for a program that was asked to quit takes its further steps, free
// of any platform call: the Win32 side reads the facts and hands them to these rules.
namespace quit_rules {

// What is known of the window a program was asked to quit through.
struct AskedWindow {
    bool Asked = false;      // the request went to a window (not the quit parameter)
    bool Exists = false;     // the window is still there
    bool WasVisible = false; // it was visible when the request was made
    bool Visible = false;    // it is visible now
};

// Whether a program whose process still runs is now sent the end-session messages:
// as soon as it is seen to live on without the window it was asked through (gone,
// or hidden since the request), otherwise once half the time-out has been counted.
bool EndSessionDue(const AskedWindow& window, long long countedMs, long long limitMs);

// Whether a top-level window of the program is a dialog of its own that asks the
// user something: visible, enabled, owned by one of the program's windows, and not
// there yet when the program was asked to quit.
bool IsOwnDialog(bool visible, bool enabled, bool ownedByProgram, bool seenBeforeRequest);

} // namespace quit_rules

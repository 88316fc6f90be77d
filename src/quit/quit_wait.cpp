#include "quit/quit_wait.h"

#include "quit/wait_rules.h"
#include "quit/window_table.h"

#include <algorithm>

namespace {

// How often the program's windows are walked for a dialog of its own: often enough
// to stop the time-out at once as a person sees it, rarely enough to cost nothing.
constexpr long long kDialogLookMs = 50;
// How long a dialog that was found is brought to the front again until it is seen
// there: the activation of another window still on its way may push it back, but a
// user who then turns to another window is left alone.
constexpr long long kBringToFrontMs = 1000;

} // namespace

TQuitWait::TQuitWait(const TOptions& options, HWND window, uint32_t processId,
                     std::vector<HWND> before)
    : options_(options), window_(window), wasVisible_(window && IsWindowVisible(window)),
      processId_(processId), before_(std::move(before)), sinceDialogLookMs_(kDialogLookMs) {
    // A process that cannot be opened (it runs with higher rights) is waited for
    // as designed: whether it lives on cannot be seen.
    if (processId_ != 0)
        process_.reset(OpenProcess(SYNCHRONIZE, FALSE, processId_));
}

// Only the end-session step looks past the window to the process.
bool TQuitWait::ProcessRuns() const {
    return options_.EndSession && process_ &&
           WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

TQuitWait::Result TQuitWait::Check(long long elapsedMs) {
    const bool windowThere = window_ && IsWindow(window_);
    if (!windowThere && !ProcessRuns())
        return Result::Gone;
    if (options_.WaitDialogs && processId_ != 0)
        LookForDialog(elapsedMs);
    if (!dialog_)
        countedMs_ += elapsedMs;
    const long long limitMs = static_cast<long long>(options_.QuitTimeout) * 1000;
    if (countedMs_ >= limitMs)
        return Result::TimedOut;
    if (ProcessRuns() && !sessionAsked_ && !dialog_) {
        quit_rules::AskedWindow asked;
        asked.Asked = window_ != nullptr;
        asked.Exists = windowThere;
        asked.WasVisible = wasVisible_;
        asked.Visible = windowThere && IsWindowVisible(window_);
        if (quit_rules::EndSessionDue(asked, countedMs_, limitMs))
            AskToEndSession();
    }
    // A refusal needs nothing more: the program is reported when the time runs out,
    // unless it quits by itself before.
    if (ask_ && ask_->Poll() != TEndSessionAsk::State::Waiting)
        ask_.reset();
    return Result::Waiting;
}

void TQuitWait::AskToEndSession() {
    sessionAsked_ = true;
    ask_ = std::make_unique<TEndSessionAsk>(processId_);
}

void TQuitWait::LookForDialog(long long elapsedMs) {
    if (dialog_ && IsWindow(dialog_) && IsWindowVisible(dialog_)) {
        BringToFront(elapsedMs);
        return;
    }
    dialog_ = nullptr;
    sinceDialogLookMs_ += elapsedMs;
    if (sinceDialogLookMs_ < kDialogLookMs)
        return;
    sinceDialogLookMs_ = 0;
    for (HWND hwnd : TopLevelWindowsOf(processId_)) {
        HWND owner = GetWindow(hwnd, GW_OWNER);
        DWORD ownerPid = 0;
        if (owner)
            GetWindowThreadProcessId(owner, &ownerPid);
        const bool seen = std::find(before_.begin(), before_.end(), hwnd) != before_.end();
        if (quit_rules::IsOwnDialog(IsWindowVisible(hwnd) != FALSE, IsWindowEnabled(hwnd) != FALSE,
                                    owner && ownerPid == processId_, seen)) {
            dialog_ = hwnd;
            sinceDialogFoundMs_ = 0;
            nextBringMs_ = 0;
            BringToFront(0);
            return;
        }
    }
}

void TQuitWait::BringToFront(long long elapsedMs) {
    // The user is to answer it: it may be hidden behind other windows. An activation
    // takes a moment to arrive, so it is asked for again only after a look's time;
    // and one that was still on its way may push the dialog back after it came to
    // the front, so the dialog is kept there for the whole first second.
    sinceDialogFoundMs_ += elapsedMs;
    if (sinceDialogFoundMs_ > kBringToFrontMs)
        return;
    if (GetForegroundWindow() != dialog_ && sinceDialogFoundMs_ >= nextBringMs_) {
        nextBringMs_ = sinceDialogFoundMs_ + kDialogLookMs;
        SetForegroundWindow(dialog_);
    }
}

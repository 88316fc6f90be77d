#include "quit/end_session.h"

#include "quit/window_table.h"

#include <map>

namespace {

// The asks still waiting for answers, by the number their callbacks carry. An
// answer that arrives after its ask has ended (the wait ran out) finds nothing here
// and is dropped, so no callback ever reaches a destroyed ask.
std::map<ULONG_PTR, TEndSessionAsk*>& LiveAsks() {
    static std::map<ULONG_PTR, TEndSessionAsk*> asks;
    return asks;
}

ULONG_PTR g_nextId = 0;

} // namespace

TEndSessionAsk::TEndSessionAsk(uint32_t processId) : id_(++g_nextId) {
    const std::vector<HWND> windows = TopLevelWindowsOf(processId);
    // The answers arrive in a callback that must not throw: room for every one of
    // them is made here, and the ask is known to the callback only once nothing
    // more can fail.
    agreed_.reserve(windows.size());
    LiveAsks()[id_] = this;
    for (HWND hwnd : windows) {
        // A window that cannot be asked (it has just gone) has nothing to say.
        if (SendMessageCallbackA(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, Answered, id_))
            ++asked_;
    }
}

TEndSessionAsk::~TEndSessionAsk() {
    LiveAsks().erase(id_);
}

void CALLBACK TEndSessionAsk::Answered(HWND hwnd, UINT, ULONG_PTR data, LRESULT result) {
    auto it = LiveAsks().find(data);
    if (it == LiveAsks().end())
        return;
    TEndSessionAsk& ask = *it->second;
    ++ask.answered_;
    if (result)
        ask.agreed_.push_back(hwnd);
    else
        ask.refused_ = true;
}

TEndSessionAsk::State TEndSessionAsk::Poll() {
    if (state_ != State::Waiting || answered_ < asked_)
        return state_;
    // As at log-off: the session ends only when no window refused, and the windows
    // that agreed to an end that does not come are told that it goes on.
    state_ = refused_ ? State::Refused : State::Agreed;
    for (HWND hwnd : agreed_)
        SendNotifyMessageA(hwnd, WM_ENDSESSION, refused_ ? FALSE : TRUE, ENDSESSION_CLOSEAPP);
    LiveAsks().erase(id_);
    return state_;
}

#pragma once
// The end-session step: what Windows sends a program when the session ends, sent to
// one program that did not quit when asked, as the Restart Manager does to make such
// programs quit gracefully. Nothing here waits for the program: its answers arrive
// while the caller processes its own queue, so that a program that does not answer
// never holds up the caller's windows.
#include <windows.h>

#include <cstdint>
#include <vector>

class TEndSessionAsk {
  public:
    enum class State {
        Waiting, // not every window has answered yet
        Agreed,  // every window agreed and has been told that the session ends
        Refused, // a window refused; those that agreed were told it goes on
    };

    // Asks every top-level window of the process whether the session may end.
    explicit TEndSessionAsk(uint32_t processId);
    TEndSessionAsk(const TEndSessionAsk&) = delete;
    TEndSessionAsk& operator=(const TEndSessionAsk&) = delete;
    ~TEndSessionAsk();

    // Takes the answers that have arrived; once all are in, sends WM_ENDSESSION.
    State Poll();

  private:
    static void CALLBACK Answered(HWND hwnd, UINT msg, ULONG_PTR data, LRESULT result);

    ULONG_PTR id_;
    size_t asked_ = 0;
    size_t answered_ = 0;
    bool refused_ = false;
    std::vector<HWND> agreed_;
    State state_ = State::Waiting;
};

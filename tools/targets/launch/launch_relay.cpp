// launch_relay.exe: starts one program through RunProgram, as VakoQuit would.
//
//   launch_relay.exe SHOW PROGRAM [ARG]
//
// Builds an entry with Show = SHOW, Program = PROGRAM and Arg = ARG (one argument;
// quote it to pass several words), starts it without waiting and ends. A test
// starts this program with a start-up information of its choice, so that what
// RunProgram hands on from its own start can be checked. Exit code 0, or 2 when
// the arguments are missing.
#include "launch/run_procedure.h"

#include <windows.h>

#include <cstdlib>

namespace {

class QuietHost : public win::Host {
  public:
    void SetBusy(bool) override {}
    void SetStatusText(const std::string&) override {}
    void ProcessMessages() override {}
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    TProgInfo entry;
    entry.Name = "relay";
    entry.Show = std::atoi(argv[1]);
    entry.Program = argv[2];
    entry.Arg = argc > 3 ? argv[3] : "";
    QuietHost host;
    launch::RunProgram(host, entry, false);
    return 0;
}

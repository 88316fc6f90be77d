#pragma once
// The command line VakoQuit understands: "-q" runs quit-all and ends, "-r" runs
// run-all and ends, "-s" runs quit-all and shuts Windows down when every program
// quit, and a program file (or a shortcut to one) as first argument is started
// after quit-all. This is only the reading of the arguments.
#include <string>
#include <vector>

struct TCommandLine {
    bool QuitSwitch = false;
    bool RunSwitch = false;
    bool ShutdownSwitch = false;
    bool HasArg1 = false;
    std::string Arg1; // the only argument that can name a program to start
};

// Whether `arg` is the switch for `letter` (lower case): "-" or "/" followed by
// exactly that letter in either case. "-quit" or a bare "q" is no switch.
bool IsSwitch(const std::string& arg, char letter);

// `args` as the system split them, argument 0 (our own path) first; argument 0 is
// not looked at. Switches count wherever they stand.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

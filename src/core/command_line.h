#pragma once
// The command line VakoQuit understands: "-q" runs quit-all and ends, "-r" runs
// run-all and ends, "-s" runs quit-all and shuts Windows down when every program
// quit, and a program file (or a shortcut to one) is started after quit-all. This
// is only the reading of the arguments.
#include <string>
#include <vector>

struct TCommandLine {
    bool QuitSwitch = false;
    bool RunSwitch = false;
    bool ShutdownSwitch = false;
    bool HasProgramArg = false;
    // The first argument that is no switch, wherever it stands: the shell starts the
    // quit-all shortcut with a file dropped on it as `-q "<file>"`.
    std::string ProgramArg;
};

// Whether `arg` is the switch for `letter` (lower case): "-" or "/" followed by
// exactly that letter in either case. "-quit" or a bare "q" is no switch.
bool IsSwitch(const std::string& arg, char letter);

// Whether `arg` has the form of a switch, known or not: "-" or "/" followed by one
// letter. Such an argument never names the program to start.
bool IsAnySwitch(const std::string& arg);

// `args` as the system split them, argument 0 (our own path) first; argument 0 is
// not looked at. Switches count wherever they stand.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

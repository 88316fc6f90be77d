#include "core/command_line.h"

#include "core/text.h"

// Both switch characters and the letter are single-byte, and a two-byte character
// after the switch character makes the argument too long: a byte test is a
// character test here.
bool IsAnySwitch(const std::string& arg) {
    if (arg.size() != 2 || (arg[0] != '-' && arg[0] != '/'))
        return false;
    const char c = text::LowerAscii(arg)[1];
    return c >= 'a' && c <= 'z';
}

bool IsSwitch(const std::string& arg, char letter) {
    return IsAnySwitch(arg) && text::LowerAscii(arg)[1] == letter;
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine cl;
    for (size_t i = 1; i < args.size(); ++i) {
        if (IsSwitch(args[i], 'q'))
            cl.QuitSwitch = true;
        else if (IsSwitch(args[i], 'r'))
            cl.RunSwitch = true;
        else if (IsSwitch(args[i], 's'))
            cl.ShutdownSwitch = true;
        else if (!cl.HasProgramArg && !IsAnySwitch(args[i])) {
            cl.HasProgramArg = true;
            cl.ProgramArg = args[i];
        }
    }
    return cl;
}

#include "core/command_line.h"

bool IsSwitch(const std::string& arg, char letter) {
    // Both switch characters and the letter are single-byte, and a two-byte
    // character after the switch character makes the argument too long: a byte
    // test is a character test here.
    if (arg.size() != 2 || (arg[0] != '-' && arg[0] != '/'))
        return false;
    char c = arg[1];
    if (c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
    return c == letter;
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine cl;
    for (size_t i = 1; i < args.size(); ++i) {
        if (IsSwitch(args[i], 'q'))
            cl.QuitSwitch = true;
        if (IsSwitch(args[i], 'r'))
            cl.RunSwitch = true;
        if (IsSwitch(args[i], 's'))
            cl.ShutdownSwitch = true;
    }
    if (args.size() > 1) {
        cl.HasArg1 = true;
        cl.Arg1 = args[1];
    }
    return cl;
}

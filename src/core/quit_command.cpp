#include "core/quit_command.h"

#include "core/text.h"

namespace {

constexpr size_t kMaxNameLength = 255;

// Cuts to at most max bytes without splitting a double-byte character.
std::string CutAtCharacter(const std::string& s, size_t max) {
    size_t i = 0;
    while (i < s.size()) {
        size_t len =
            (text::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
        if (i + len > max)
            break;
        i += len;
    }
    return s.substr(0, i);
}

// Hexadecimal digits only, either case, and the value must fit 32 bits;
// anything else is not a number and reads as 0.
uint32_t HexOrZero(const std::string& s) {
    if (s.empty())
        return 0;
    uint64_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return 0;
        v = v * 16 + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull)
            return 0;
    }
    return static_cast<uint32_t>(v);
}

} // namespace

std::string MakeQuitCommand(uint32_t message, uint32_t wParam, const std::string& className,
                            const std::string& title) {
    return QuitCommandString(message, wParam, WindowIdent(className, title));
}

std::string WindowIdent(const std::string& className, const std::string& title) {
    bool byClass = !text::Trim(className).empty() && className[0] != '#';
    return (byClass ? "C:" : "T:") + CutAtCharacter(byClass ? className : title, kMaxNameLength);
}

std::string QuitCommandString(uint32_t message, uint32_t wParam, const std::string& windowIdent) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s = message == kQuitWmCommand ? "C:" : "S:";
    for (int shift = 28; shift >= 0; shift -= 4)
        s += kDigits[(wParam >> shift) & 0xF];
    return s + "," + windowIdent;
}

TQuitCommand ReadQuitCommand(const std::string& s) {
    size_t comma = s.find(',');
    std::string commandPart = s.substr(0, comma);
    std::string windowPart = comma == std::string::npos ? std::string() : s.substr(comma + 1);

    TQuitCommand c;
    c.Message =
        (!commandPart.empty() && commandPart[0] == 'C') ? kQuitWmCommand : kQuitWmSysCommand;
    c.Value = HexOrZero(commandPart.size() > 2 ? commandPart.substr(2) : std::string());
    c.ByClass = !windowPart.empty() && windowPart[0] == 'C';
    c.Name = text::Trim(windowPart.size() > 2 ? windowPart.substr(2) : std::string());
    return c;
}

bool QuitWindowMatches(const TQuitCommand& command, const std::string& classOrTitle) {
    return !command.Name.empty() && text::StartsWith(classOrTitle, command.Name);
}

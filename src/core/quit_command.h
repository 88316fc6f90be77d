#pragma once
// The text form of a captured quit command, as the record's QuitCom holds it:
//   <C|S>:<8 upper-case hex digits>,<C|T>:<window name>
// "C:0000E141,C:MainFrame" is a WM_COMMAND 0xE141 addressed to a window of class
// MainFrame; "S:0000F060,T:Setup" a system-menu close addressed to a window titled
// Setup. Only the first comma separates, so a title may contain commas.
#include <cstdint>
#include <string>

constexpr uint32_t kQuitWmCommand = 0x0111;
constexpr uint32_t kQuitWmSysCommand = 0x0112;

struct TQuitCommand {
    uint32_t Message = kQuitWmSysCommand; // WM_COMMAND or WM_SYSCOMMAND
    uint32_t Value = 0;                   // the wParam to post
    bool ByClass = false;                 // the window is named by class, else by title
    std::string Name;                     // trimmed; empty names no window
};

// Makes the string for a command (WM_COMMAND, otherwise taken as WM_SYSCOMMAND)
// with its wParam, addressed to a window with this class and title. The window is
// named by class unless the class is one of the system's numbered classes ("#...")
// or blank; then by its title. The name is kept as the system returned it, at most
// 255 characters.
std::string MakeQuitCommand(uint32_t message, uint32_t wParam, const std::string& className,
                            const std::string& title);

// The window part alone: "C:" and the class name, or "T:" and the title under the
// same rule, at most 255 characters of name.
std::string WindowIdent(const std::string& className, const std::string& title);
// The whole string from the command and a window part made by WindowIdent.
std::string QuitCommandString(uint32_t message, uint32_t wParam, const std::string& windowIdent);

// Reads a string of that form; it may come hand-edited from the settings file, so
// anything is accepted: invalid hexadecimal reads as 0, any command kind other
// than "C" as WM_SYSCOMMAND, any window kind other than "C" as a title.
TQuitCommand ReadQuitCommand(const std::string& s);

// Whether a window's class name (or title) is the one the command names: it begins
// with the name, case-sensitively. An empty name matches nothing.
bool QuitWindowMatches(const TQuitCommand& command, const std::string& classOrTitle);
